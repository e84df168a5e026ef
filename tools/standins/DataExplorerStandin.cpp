// The Data Explorer automation server over a Voyager fixture.
#include "platform/AutomationComponents.h"
#include "tools/standins/FixtureLines.h"
#include "tools/standins/StandinLog.h"
#include "tools/standins/Standins.h"

namespace standins {

namespace {

using namespace platform::automation;

struct VoyagerFile {
    qint16 spectrumType = 0;
    double precursor = 0;
    QString name, comments;
    qint32 documents = 1;
    DataExplorerPeakTable peaks;
};

void call(const QString& member, const QStringList& args = {}) { record(QStringLiteral("DataExplorer.") + member, args); }

class StandinSpecSetup final : public DataExplorerSpecSetup {
public:
    void setNoiseFilterCoefficient(double v) override { call(QStringLiteral("NoiseFilterCoefficient"), {numberArg(v)}); }
    void setSmoothFilterWidth(double v) override { call(QStringLiteral("SmoothFilterWidth"), {numberArg(v)}); }
    void setNoiseReductionStdev(double v) override { call(QStringLiteral("NoiseReductionStdev"), {numberArg(v)}); }
    void setPeakFilterType(qint16 v) override { call(QStringLiteral("PeakFilterType"), {QString::number(v)}); }
    void setPeakFilterChargeState(qint16 v) override {
        call(QStringLiteral("PeakFilterChargeState"), {QString::number(v)});
    }
};

class StandinSpecView final : public DataExplorerSpecView {
public:
    explicit StandinSpecView(const VoyagerFile& file) : file_(file) {}
    qint16 SpectrumType() override { return file_.spectrumType; }
    void CorrectBaseline() override { call(QStringLiteral("CorrectBaseline")); }
    void FilterNoise(qint16 kind) override { call(QStringLiteral("FilterNoise"), {QString::number(kind)}); }
    void FilterPeaks() override { call(QStringLiteral("FilterPeaks")); }
    qint32 GetPeakData(qint16 a, qint16 b, qint16 c, qint16 d, DataExplorerPeakTable& table) override {
        call(QStringLiteral("GetPeakData"), {QString::number(a), QString::number(b), QString::number(c), QString::number(d)});
        table = file_.peaks;
        return static_cast<qint32>(table.size());
    }

private:
    const VoyagerFile& file_;
};

class StandinDocument final : public DataExplorerDocument {
public:
    explicit StandinDocument(VoyagerFile file) : file_(std::move(file)) {}
    qint32 CollectionCount() override { return file_.documents; }
    std::shared_ptr<DataExplorerSpecView> SpecView() override { return std::make_shared<StandinSpecView>(file_); }
    std::shared_ptr<DataExplorerSpecSetup> SpecSetup() override { return std::make_shared<StandinSpecSetup>(); }
    void GetSetting(qint16 setting, qint16 index, double& value) override {
        call(QStringLiteral("GetSetting"), {QString::number(setting), QString::number(index)});
        if (setting == 14 && index == 0) value = file_.precursor;
    }
    void RunAssignedMacro(qint16 button) override { call(QStringLiteral("RunAssignedMacro"), {QString::number(button)}); }
    QString SampleComments() override { return file_.comments; }
    QString SampleName() override { return file_.name; }
    void Close() override { call(QStringLiteral("Close")); }

private:
    VoyagerFile file_;
};

class StandinApplication final : public DataExplorerApplication {
public:
    void setRestoreSettingsFromFile(bool v) override {
        call(QStringLiteral("RestoreSettingsFromFile"), {v ? "True" : "False"});
    }
    void setEnableProcessingHistory(bool v) override {
        call(QStringLiteral("EnableProcessingHistory"), {v ? "True" : "False"});
    }
    std::shared_ptr<DataExplorerDocument> OpenDocument(const QString& path) override {
        call(QStringLiteral("Open"), {path});
        const auto lines = readFixture(path, kVoyagerHeader);
        if (!lines) throw platform::Error(-2147467259, QStringLiteral("Cannot open ") + path);
        VoyagerFile file;
        for (const QString& line : *lines) {
            const QString key = keywordOf(line), rest = restOf(line);
            if (key == u"spectrum-type") file.spectrumType = static_cast<qint16>(rest.toInt());
            else if (key == u"precursor") file.precursor = rest.toDouble();
            else if (key == u"name") file.name = rest;
            else if (key == u"comments") file.comments = rest;
            else if (key == u"documents") file.documents = rest.toInt();
            else if (key == u"peak") {
                const QStringList v = rest.split(QLatin1Char(' '), Qt::SkipEmptyParts);
                const double row = static_cast<double>(file.peaks.size());
                file.peaks.append({row, 0, v.value(0).toDouble(), v.value(1).toDouble(), 0, 0, 0});
            }
        }
        return std::make_shared<StandinDocument>(std::move(file));
    }
};

}  // namespace

void registerDataExplorerStandin(platform::AutomationRegistrar& registrar) {
    registrar.add(QString::fromLatin1(DataExplorerApplication::kProgId),
                  [] { return std::make_shared<StandinApplication>(); });
}

}  // namespace standins
