// The Sciex .WIFF import library over a text fixture.
#include "platform/AutomationComponents.h"
#include "tools/standins/FixtureLines.h"
#include "tools/standins/StandinLog.h"
#include "tools/standins/Standins.h"

#include <QThread>

namespace standins {

namespace {

using namespace platform::automation;

struct WiffSample {
    QString name;
    bool msms = true;
    QStringList result;
    int delayMs = 0;
    std::optional<platform::Error> failure;
};

QList<WiffSample> readWiff(const QString& path) {
    const auto lines = readFixture(path, kWiffHeader);
    if (!lines) throw platform::Error(-2147467259, QStringLiteral("Not a WIFF file: ") + path);
    QList<WiffSample> samples;
    for (const QString& line : *lines) {
        const QString key = keywordOf(line), rest = restOf(line);
        if (key == u"open-fail") throw errorOf(rest);
        if (key == u"sample") {
            samples.append(WiffSample());
            samples.last().name = rest;
        }
        if (samples.isEmpty()) continue;
        WiffSample& s = samples.last();
        if (key == u"msms") s.msms = rest.trimmed() != u"0";
        else if (key == u"result") s.result << rest;
        else if (key == u"delay") s.delayMs = rest.toInt();
        else if (key == u"fail") s.failure = errorOf(rest);
    }
    return samples;
}

const WiffSample& sampleAt(const QList<WiffSample>& samples, qint32 sample) {
    if (sample < 1 || sample > samples.size())
        throw platform::Error(-2147024809, QStringLiteral("No sample %1 in the file").arg(sample));
    return samples[sample - 1];
}

QString exportOf(const WiffSample& s) {
    if (s.delayMs > 0) QThread::msleep(static_cast<unsigned long>(s.delayMs));
    if (s.failure) throw *s.failure;
    return s.result.join(QStringLiteral("\r\n"));
}

class StandinWiffInfo final : public WiffFileInfo {
public:
    QString DllVersion() override {
        const QString v = qEnvironmentVariable(kWiffVersionVariable);
        return v.isEmpty() ? QStringLiteral("1.6b20") : v;
    }
    void setFileNameAndIndex(const QString& file, qint32 sample, qint16 a, qint16 b, qint16 c) override {
        record(QStringLiteral("WiffFileInfo.setFileNameAndIndex"),
               {file, QString::number(sample), QString::number(a), QString::number(b), QString::number(c)});
        samples_ = readWiff(file);
        sample_ = sample;
    }
    qint32 getNumberOfSamples() override { return static_cast<qint32>(samples_.size()); }
    QString GetSampleName() override { return sampleAt(samples_, sample_).name; }
    bool isMSMS() override { return sampleAt(samples_, sample_).msms; }

private:
    QList<WiffSample> samples_;
    qint32 sample_ = 0;
};

class StandinParameters final : public WiffProcessingParameters {
public:
    void SetInfoFromRegistry() override { call("SetInfoFromRegistry", {}); }
    void setDefaultChargeStates(qint16 charge, qint16 v) override {
        call("setDefaultChargeStates", {QString::number(charge), QString::number(v)});
    }
    void setDDESurveyHtPerc(double v) override { call("setDDESurveyHtPerc", {numberArg(v)}); }
    void setDDESurveyMergeDist(double v) override { call("setDDESurveyMergeDist", {numberArg(v)}); }
    void setMSMSAveNeedXPeaks(qint16 v) override { call("setMSMSAveNeedXPeaks", {QString::number(v)}); }
    void setMSMSAveMinPrecursor(double v) override { call("setMSMSAveMinPrecursor", {numberArg(v)}); }
    void setMSMSAveMaxPrecursor(double v) override { call("setMSMSAveMaxPrecursor", {numberArg(v)}); }
    void setMSMSAvePrecursorTol(double v) override { call("setMSMSAvePrecursorTol", {numberArg(v)}); }
    void setMSMSAveMaxCycBetween(qint16 v) override { call("setMSMSAveMaxCycBetween", {QString::number(v)}); }
    void setMSMSAveMinCyclesPerGp(qint16 v) override { call("setMSMSAveMinCyclesPerGp", {QString::number(v)}); }
    void setMSMSCentroidEnable(qint16 v) override { call("setMSMSCentroidEnable", {QString::number(v)}); }
    void setMSMSCentroidHtPerc(double v) override { call("setMSMSCentroidHtPerc", {numberArg(v)}); }
    void setMSMSCentroidMergeDist(double v) override { call("setMSMSCentroidMergeDist", {numberArg(v)}); }
    void setMSMSThresholdPerc(double v) override { call("setMSMSThresholdPerc", {numberArg(v)}); }
    void setDDEAutoDetermineCharge(qint16 v) override { call("setDDEAutoDetermineCharge", {QString::number(v)}); }
    void setDiscardHighCharges(qint16 v) override { call("setDiscardHighCharges", {QString::number(v)}); }
    void setMSMSSmoothCentroid(bool v) override { call("setMSMSSmoothCentroid", {v ? "True" : "False"}); }
    void setMSMSDeisotope(bool v) override { call("setMSMSDeisotope", {v ? "True" : "False"}); }

private:
    static void call(const char* member, const QStringList& args) {
        record(QStringLiteral("ProcessingParameters.") + QLatin1String(member), args);
    }
};

class StandinOptions final : public WiffOptions4Tavrel {
public:
    void Set_Params_Strings(const QString& values, const QString& keys) override {
        record(QStringLiteral("Options4Tavrel.Set_Params_Strings"), {values, keys});
    }
    WiffParametersPtr Get_Params_Object() override { return std::make_shared<StandinParameters>(); }
};

class StandinExportMS final : public WiffExportMS {
public:
    void DoExportFile(const QString& file, qint32 sample, const WiffParametersPtr&) override {
        record(QStringLiteral("MExportMSToSorvex.DoExportFile"), {file, QString::number(sample)});
        result_ = exportOf(sampleAt(readWiff(file), sample));
    }
    QString getResultString() override { return result_; }

private:
    QString result_;
};

class StandinExportMSMS final : public WiffExportMSMS {
public:
    void DoExport(const QString& file, qint32 sample, const WiffParametersPtr&, const platform::AutomationObjectPtr& none,
                  qint16 flag) override {
        record(QStringLiteral("MExportMSMSToSorvex.DoExport"),
               {file, QString::number(sample), none ? "object" : "Nothing", QString::number(flag)});
        const QList<WiffSample> samples = readWiff(file);
        QStringList texts;
        if (sample == -1) {
            for (const WiffSample& s : samples) texts << exportOf(s);
        } else {
            texts << exportOf(sampleAt(samples, sample));
        }
        result_ = texts.join(QStringLiteral("\r\n"));
    }
    QString getResultString() override { return result_; }

private:
    QString result_;
};

template <class T>
platform::AutomationCreator make() {
    return [] { return std::make_shared<T>(); };
}

}  // namespace

void registerWiffStandins(platform::AutomationRegistrar& registrar) {
    registrar.add(QString::fromLatin1(WiffFileInfo::kProgId), make<StandinWiffInfo>());
    registrar.add(QString::fromLatin1(WiffProcessingParameters::kProgId), make<StandinParameters>());
    registrar.add(QString::fromLatin1(WiffOptions4Tavrel::kProgId), make<StandinOptions>());
    registrar.add(QString::fromLatin1(WiffExportMS::kProgId), make<StandinExportMS>());
    registrar.add(QString::fromLatin1(WiffExportMSMS::kProgId), make<StandinExportMSMS>());
}

}  // namespace standins
