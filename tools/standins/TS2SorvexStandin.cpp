// The AB 4000 Series export object over a folder of dataset fixtures.
#include "platform/AutomationComponents.h"
#include "tools/standins/FixtureLines.h"
#include "tools/standins/StandinLog.h"
#include "tools/standins/Standins.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace standins {

namespace {

using namespace platform::automation;

class StandinTS2Sorvex final : public TS2Sorvex, public TS2SorvexDataBrowser {
public:
    // The user's choice in the browser is the store's "data-browser.txt": one
    // descriptor per line; without that file the browser is cancelled.
    bool ShowDataBrowser() override {
        record(QStringLiteral("TS2Sorvex.ShowDataBrowser"));
        QFile choice(QDir(qEnvironmentVariable(kDatasetStoreVariable)).filePath(QStringLiteral("data-browser.txt")));
        if (!choice.open(QIODevice::ReadOnly)) return false;
        chosen_.clear();
        for (const QByteArray& line : choice.readAll().split('\n'))
            if (!line.trimmed().isEmpty()) chosen_ << QString::fromUtf8(line.trimmed());
        return !chosen_.isEmpty();
    }
    QString DescriptorList() override { return chosen_.join(QChar(0)); }

    QString DllVersion() override { return QStringLiteral("1.0 (stand-in)"); }
    void set_minMass(double v) override { put(QStringLiteral("minMass"), numberArg(v)); }
    void set_maxMass(double v) override { put(QStringLiteral("maxMass"), numberArg(v)); }
    void set_S2N(double v) override { put(QStringLiteral("S2N"), numberArg(v)); }
    void set_Monoisotopic(double v) override { put(QStringLiteral("Monoisotopic"), numberArg(v)); }
    void set_Descriptor(const QString& v) override {
        put(QStringLiteral("Descriptor"), v);
        descriptor_ = v;
    }
    void set_JobRunID(const QString& v) override { put(QStringLiteral("JobRunID"), v); }
    void set_JobRunItemID(const QString& v) override { put(QStringLiteral("JobRunItemID"), v); }
    void set_AllSpectra(const QString& v) override { put(QStringLiteral("AllSpectra"), v); }
    void set_MSType(const QString& v) override { put(QStringLiteral("MSType"), v); }

    bool Connect() override {
        record(QStringLiteral("TS2Sorvex.Connect"));
        const auto lines = readFixture(datasetPath(), kDatasetHeader);
        if (!lines) return false;
        for (const QString& line : *lines)
            if (keywordOf(line) == u"connect-error") throw errorOf(restOf(line));
        lines_ = *lines;
        return true;
    }
    bool DoExport(const QString& outputPath) override {
        record(QStringLiteral("TS2Sorvex.DoExport"), {outputPath});
        QByteArray peaks;
        for (const QString& line : lines_) {
            const QString key = keywordOf(line);
            if (key == u"export-error") throw errorOf(restOf(line));
            if (line.trimmed() == u"export false") return false;
            if (key == u"connect-error" || line.isEmpty()) continue;
            peaks += line.toUtf8() + "\r\n";
        }
        QFile out(outputPath);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
        return out.write(peaks) == peaks.size();
    }

private:
    static void put(const QString& property, const QString& value) {
        record(QStringLiteral("TS2Sorvex.") + property, {value});
    }
    QString datasetPath() const {
        QString name = descriptor_;
        name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_.-]")), QStringLiteral("_"));
        return QDir(qEnvironmentVariable(kDatasetStoreVariable)).filePath(name + QStringLiteral(".txt"));
    }

    QString descriptor_;
    QStringList lines_;
    QStringList chosen_;
};

}  // namespace

void registerTS2SorvexStandin(platform::AutomationRegistrar& registrar) {
    registrar.add(QString::fromLatin1(TS2Sorvex::kProgId), [] { return std::make_shared<StandinTS2Sorvex>(); });
}

}  // namespace standins
