// The Quellmark library over raw-data fixtures (QuellmarkFiles.h): the
// session, the data sources with their samples and scans, the processing
// options, and the processing, whose status moves on with each poll.
#include "tools/standins/FixtureLines.h"
#include "tools/standins/QuellmarkObjects.h"
#include "tools/standins/StandinLog.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>

namespace standins {

namespace {

using namespace platform::automation;

void call(const char* object, const char* member, const QStringList& args = {}) {
    record(QStringLiteral("QELD.") + QLatin1String(object) + QLatin1Char('.') + QLatin1String(member), args);
}

QString flag(bool v) { return v ? QStringLiteral("True") : QStringLiteral("False"); }

class StandinSession final : public QuellmarkAgentMgr {};

class StandinSampleInfo final : public QuellmarkSampleInfo {
public:
    explicit StandinSampleInfo(QuellmarkSampleData s) : s_(std::move(s)) {}
    QString SampleName() override { return s_.name; }
    QString Comment() override { return s_.comment; }

private:
    QuellmarkSampleData s_;
};

class StandinScan final : public QuellmarkScan {
public:
    explicit StandinScan(const QuellmarkScanData& s) : s_(s) {}
    qint32 id() override { return s_.id; }
    // 4 minutes; the seconds otherwise.
    double time(qint16 units) override { return units == 4 ? s_.seconds / 60 : s_.seconds; }

private:
    QuellmarkScanData s_;
};

class StandinScans final : public QuellmarkScans {
public:
    StandinScans(QuellmarkSampleData sample, QList<QuellmarkScanData> scans)
        : sample(std::move(sample)), scans(std::move(scans)) {}
    qint32 Count() override { return static_cast<qint32>(scans.size()); }
    std::shared_ptr<QuellmarkScan> Item(qint32 position) override {
        if (position < 1 || position > scans.size()) throw platform::Error(9, QStringLiteral("Subscript out of range"));
        return std::make_shared<StandinScan>(scans[position - 1]);
    }
    QuellmarkScansPtr Subset(qint32 firstId, qint32 lastId) override {
        call("Scans", "Subset", {QString::number(firstId), QString::number(lastId)});
        QList<QuellmarkScanData> part;
        for (const QuellmarkScanData& s : scans)
            if (s.id >= firstId && s.id <= lastId) part.append(s);
        return std::make_shared<StandinScans>(sample, part);
    }
    QuellmarkSampleData sample;
    QList<QuellmarkScanData> scans;
};

class StandinSourceParams final : public QuellmarkDataSourceParams {
public:
    void setScanType(qint32 v) override { call("DataSourceParams", "ScanType", {QString::number(v)}); }
    void setIsCentroided(const QString& v) override { call("DataSourceParams", "IsCentroided", {v}); }
};

class StandinSources final : public StandinSourcesBase {
public:
    void setSession(std::shared_ptr<QuellmarkAgentMgr> session) override {
        call("DataSourceCollection", "Session", {session ? QStringLiteral("session") : QStringLiteral("Nothing")});
        session_ = std::move(session);
    }
    QVariantList FormatsSupported() override { return {0, 2, 9, 13}; }
    QString GetFormatLabel(qint32 code) override { return QStringLiteral("Stand-in format %1").arg(code); }
    qint32 GetSampleCount(const QString& format, const QString& path) override {
        call("DataSourceCollection", "GetSampleCount", {format, path});
        const QuellmarkData data = read(path);
        if (data.countFailure) throw *data.countFailure;
        return static_cast<qint32>(data.samples.size());
    }
    std::shared_ptr<QuellmarkSampleInfo> GetSampleInfo(const QString& format, const QString& path, qint32 sample) override {
        call("DataSourceCollection", "GetSampleInfo", {format, path, QString::number(sample)});
        return std::make_shared<StandinSampleInfo>(sampleOf(read(path), sample));
    }
    void Open(const QString& format, const QString& path, qint32 sample, const QuellmarkSourceParamsPtr& params) override {
        call("DataSourceCollection", "Open",
             {format, path, QString::number(sample), params ? QStringLiteral("params") : QStringLiteral("Nothing")});
        if (open_) throw platform::Error(-2147418113, QStringLiteral("A sample is open already"));
        const QuellmarkData data = read(path);
        if (data.openFailure) throw *data.openFailure;
        const QuellmarkSampleData s = sampleOf(data, sample);
        open_ = std::make_shared<StandinScans>(s, s.scans);
        path_ = path;
    }
    QuellmarkScansPtr Scans() override {
        if (!open_) throw platform::Error(91, QStringLiteral("Object variable or With block variable not set"));
        return open_;
    }
    void CloseAll() override {
        call("DataSourceCollection", "CloseAll");
        open_.reset();
    }
    QString dataPath() const override { return path_; }

private:
    QuellmarkData read(const QString& path) const {
        if (!session_) throw platform::Error(-2147418113, QStringLiteral("No session"));
        return readQuellmarkData(path);
    }
    static QuellmarkSampleData sampleOf(const QuellmarkData& data, qint32 sample) {
        if (sample < 1 || sample > data.samples.size())
            throw platform::Error(-2147024809, QStringLiteral("No sample %1 in the file").arg(sample));
        return data.samples[sample - 1];
    }
    std::shared_ptr<QuellmarkAgentMgr> session_;
    std::shared_ptr<StandinScans> open_;
    QString path_;
};

class StandinMSMS final : public QuellmarkMSMSOptions {
public:
    double PrecursorMZTolerance() override { return 0.5; }
};

class StandinOptions final : public QuellmarkProcessingOptions {
public:
    void LoadFromFile(const QString& path) override {
        call("ProcessingOptions", "LoadFromFile", {path});
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) throw platform::Error(53, QStringLiteral("File not found: ") + path);
        settings_ = file.readAll();
        path_ = path;
    }
    void SaveToFile(const QString& path) override {
        call("ProcessingOptions", "SaveToFile", {path});
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) throw platform::Error(75, QStringLiteral("Path/File access error"));
        file.write(settings_);
    }
    std::shared_ptr<QuellmarkMSMSOptions> MSMS() override {
        if (path_.isEmpty()) throw platform::Error(440, QStringLiteral("No settings loaded"));
        return std::make_shared<StandinMSMS>();
    }
    void SaveToStream(const QuellmarkStreamPtr& stream) override {
        standinStream(stream).write("options " + QFileInfo(path_).fileName().toUtf8());
    }

private:
    QByteArray settings_;
    QString path_;
};

class StandinFormatOptions final : public QuellmarkPeakListFormatOptions {
public:
    void setFormat(qint16 v) override { put("Format", QString::number(v)); }
    void setProcessingOptionsHeader(bool v) override { put("ProcessingOptionsHeader", flag(v)); }
    qint16 TitleTimeUnits() override { return static_cast<qint16>(values.value(QStringLiteral("TitleTimeUnits"), QStringLiteral("3")).toInt()); }
    void setTitleTimeUnits(qint16 v) override { put("TitleTimeUnits", QString::number(v)); }
    void setTitleIncludeScanLabel(bool v) override { put("TitleIncludeScanLabel", flag(v)); }
    void setTitleIncludeDataSourceName(bool v) override { put("TitleIncludeDataSourceName", flag(v)); }
    void setTitlePrefixPeakListNumber(bool v) override { put("TitlePrefixPeakListNumber", flag(v)); }
    void setPeptideIonsMassType(const QVariant& v) override { put("PeptideIonsMassType", typed(v)); }
    void setFragmentIonsMassType(const QVariant& v) override { put("FragmentIonsMassType", typed(v)); }
    void setSeparateMultiPrecursorCharges(bool v) override { put("SeparateMultiPrecursorCharges", flag(v)); }
    void setAddQPLScansParameter(bool v) override { put("AddQPLScansParameter", flag(v)); }
    void setDechargeFragmentIons(bool v) override { put("DechargeFragmentIons", flag(v)); }
    void setAddQPLRawScansParameter(bool v) override { put("AddQPLRawScansParameter", flag(v)); }
    void setQPLUserParams(bool v) override { put("QPLUserParams", flag(v)); }
    void setQPLSeparateRawFileParams(bool v) override { put("QPLSeparateRawFileParams", flag(v)); }
    void setUseSNRatioAsIntensity(bool v) override { put("UseSNRatioAsIntensity", flag(v)); }

    QMap<QString, QString> values;

private:
    // A text value is recorded in quotes, so "0" and 0 stay apart.
    static QString typed(const QVariant& v) {
        return v.typeId() == QMetaType::QString ? QLatin1Char('"') + v.toString() + QLatin1Char('"') : v.toString();
    }
    void put(const char* name, const QString& value) {
        call("PeakListFormatOptions", name, {value});
        values.insert(QLatin1String(name), value);
    }
};

// The peak lists of the processed scans, in the format the options choose.
QByteArray formatted(const StandinScans& scans, StandinFormatOptions& format) {
    const int kind = format.values.value(QStringLiteral("Format"), QStringLiteral("0")).toInt();
    const bool numbered = format.values.value(QStringLiteral("TitlePrefixPeakListNumber")) == u"True";
    const qint16 units = format.TitleTimeUnits();
    QByteArray out;
    int n = 0;
    for (const QuellmarkScanData& s : scans.scans) {
        if (s.peaks.isEmpty()) continue;
        ++n;
        const QString time = numberArg(units == 4 ? s.seconds / 60 : s.seconds);
        if (kind == 1) {
            out += QStringLiteral("scan %1\t%2\t%3\r\n").arg(s.id).arg(s.precursor).arg(s.charge).toUtf8();
            for (const auto& p : s.peaks) out += (p.first + QLatin1Char('\t') + p.second).toUtf8() + "\r\n";
            out += "\r\n";
        } else if (kind == 3) {
            out += QStringLiteral("<spectrum id=\"%1\" precursor=\"%2\"/>\r\n").arg(s.id).arg(s.precursor).toUtf8();
        } else {
            QString title = scans.sample.name + QStringLiteral(" scan %1 rt %2").arg(s.id).arg(time);
            if (numbered) title = QString::number(n) + QStringLiteral(": ") + title;
            out += "BEGIN IONS\r\nTITLE=" + title.toUtf8() + "\r\nPEPMASS=" + s.precursor.toUtf8() + "\r\n";
            if (s.charge > 0) out += "CHARGE=" + QByteArray::number(s.charge) + "+\r\n";
            for (const auto& p : s.peaks) out += (p.first + QLatin1Char(' ') + p.second).toUtf8() + "\r\n";
            out += "END IONS\r\n";
        }
    }
    return out;
}

class StandinProcessing final : public QuellmarkProcessing {
public:
    StandinProcessing(std::shared_ptr<StandinScans> scans, QuellmarkOptionsPtr options)
        : scans_(std::move(scans)), options_(std::move(options)) {}

    qint32 Status() override {
        const QuellmarkSampleData& s = scans_->sample;
        if (cancelled_) return answer(Cancelled);
        if (!s.holdFile.isEmpty() && QFileInfo::exists(s.holdFile)) return answer(Running);
        const QString word = s.status.section(QLatin1Char(' '), 0, 0);
        if (word == u"finished") {
            const int k = std::max(1, s.status.section(QLatin1Char(' '), 1, 1).toInt());
            return answer(++polls_ >= k ? Finished : Running);
        }
        if (word == u"cancelled") return answer(Cancelled);
        if (word == u"failed") return answer(Failed);
        if (word == u"unknown") return answer(Unknown);
        return answer(word.toInt());
    }
    void CancelProcessing() override {
        call("Processing", "CancelProcessing", {scans_->sample.name});
        cancelled_ = true;
    }
    void ExportPeakLists(const QuellmarkStreamPtr& stream, const QuellmarkFormatOptionsPtr& format) override {
        call("Processing", "ExportPeakLists", {scans_->sample.name});
        if (scans_->sample.exportFailure) throw *scans_->sample.exportFailure;
        standinStream(stream).write(formatted(*scans_, formatOf(format)));
    }
    qint32 Count() override {
        qint32 n = 0;
        for (const QuellmarkScanData& s : scans_->scans) n += s.peaks.isEmpty() ? 0 : 1;
        return n;
    }
    QStringList MergeFormattedPeakData(const QuellmarkFormatOptionsPtr& format) override {
        call("Processing", "MergeFormattedPeakData", {scans_->sample.name});
        QStringList lines = QString::fromUtf8(formatted(*scans_, formatOf(format))).split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        return lines;
    }
    void GetLastError() override {
        const QString rest = scans_->sample.status.section(QLatin1Char(' '), 1);
        throw errorOf(rest.isEmpty() ? QStringLiteral("0 Processing failed") : rest);
    }
    void SaveToStream(const QuellmarkStreamPtr& stream) override {
        standinStream(stream).write(QStringLiteral("processing %1: %2 peak lists").arg(scans_->sample.name).arg(Count()).toUtf8());
    }
    QuellmarkOptionsPtr ProcessingOptions() override { return options_; }

private:
    qint32 answer(qint32 status) {
        call("Processing", "Status", {scans_->sample.name, QString::number(status)});
        return status;
    }
    static StandinFormatOptions& formatOf(const QuellmarkFormatOptionsPtr& format) {
        auto* own = dynamic_cast<StandinFormatOptions*>(format.get());
        if (!own) throw platform::Error(13, QStringLiteral("Type mismatch"));
        return *own;
    }
    std::shared_ptr<StandinScans> scans_;
    QuellmarkOptionsPtr options_;
    int polls_ = 0;
    bool cancelled_ = false;
};

class StandinEngine final : public QuellmarkLibrary {
public:
    QVariantList Version() override {
        const QString text = qEnvironmentVariable(kQuellmarkVersionVariable, QStringLiteral("2.4.0.0"));
        QVariantList numbers;
        for (const QString& part : text.split(QLatin1Char('.'), Qt::SkipEmptyParts)) numbers << part.toInt();
        return numbers;
    }
    void setSession(const QuellmarkSessionPtr& session) override {
        call("Quellmark", "Session", {session ? QStringLiteral("session") : QStringLiteral("Nothing")});
    }
    void setProcessingOptions(const QuellmarkOptionsPtr& options) override {
        call("Quellmark", "ProcessingOptions");
        options_ = options;
    }
    QuellmarkProcessingPtr CreatePeakLists(const QuellmarkScansPtr& scans) override {
        auto own = std::dynamic_pointer_cast<StandinScans>(scans);
        if (!own) throw platform::Error(13, QStringLiteral("Type mismatch"));
        QStringList ids;
        for (const QuellmarkScanData& s : own->scans) ids << QString::number(s.id);
        call("Quellmark", "CreatePeakLists", {own->sample.name, ids.join(QLatin1Char(','))});
        return std::make_shared<StandinProcessing>(own, options_);
    }

private:
    QuellmarkOptionsPtr options_;
};

template <class T>
platform::AutomationCreator make() {
    return [] { return std::make_shared<T>(); };
}

}  // namespace

void registerQuellmarkDataStandins(platform::AutomationRegistrar& registrar) {
    registrar.add(QString::fromLatin1(QuellmarkLibrary::kProgId), make<StandinEngine>());
    registrar.add(QString::fromLatin1(QuellmarkAgentMgr::kProgId), make<StandinSession>());
    registrar.add(QString::fromLatin1(QuellmarkDataSourceCollection::kProgId), make<StandinSources>());
    registrar.add(QString::fromLatin1(QuellmarkDataSourceParams::kProgId), make<StandinSourceParams>());
    registrar.add(QString::fromLatin1(QuellmarkProcessingOptions::kProgId), make<StandinOptions>());
    registrar.add(QString::fromLatin1(QuellmarkPeakListFormatOptions::kProgId), make<StandinFormatOptions>());
}

}  // namespace standins
