#include "filteropts/forms/OptionsQuellmarkTab.h"

#include "clientcommon/HandlerGuard.h"
#include "common/UncName.h"
#include "filteropts/FieldChecks.h"
#include "filteropts/NumberText.h"
#include "filteropts/QuellmarkFields.h"
#include "filteropts/forms/FieldLeaveChecks.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace filteropts {

namespace {

const std::array<QString, 3> kMassTypes = {QStringLiteral("m/z"), QStringLiteral("MH+"), QStringLiteral("Mr")};

template <std::size_t N>
QGroupBox* optionFrame(int index, const QString& caption, OptionGroup<N>& group, const char* name,
                       const std::array<QString, N>& captions, QWidget* parent, bool inRow = false) {
    auto* frame = newFrame(index, caption, parent);
    group = newOptionGroup<N>(name, captions, frame);
    QBoxLayout* layout = inRow ? static_cast<QBoxLayout*>(new QHBoxLayout(frame)) : new QVBoxLayout(frame);
    for (QRadioButton* b : group.item) layout->addWidget(b);
    return frame;
}

}  // namespace

OptionsQuellmarkTab::OptionsQuellmarkTab(const OptionsDialogContext& context, QWidget* parent)
    : OptionsTab(kQuellmark, context, parent) {
    buildFrames();
    tavrel::connectGuarded(txtQuellmarkOptionsPath, &QLineEdit::textChanged, this,
                           QStringLiteral("txtQuellmarkOptionsPath_Change"),
                           &OptionsQuellmarkTab::txtQuellmarkOptionsPath_Change);
    tavrel::connectGuarded(cmdQuellmarkOptionsPath, &QPushButton::clicked, this,
                           QStringLiteral("cmdQuellmarkOptionsPath_Click"),
                           &OptionsQuellmarkTab::cmdQuellmarkOptionsPath_Click);
    tavrel::connectGuarded(cmdEditQuellmarkOptions, &QPushButton::clicked, this,
                           QStringLiteral("cmdEditQuellmarkOptions_Click"),
                           &OptionsQuellmarkTab::cmdEditQuellmarkOptions_Click);
    tavrel::connectGuarded(cmdSaveQuellmarkOptions, &QPushButton::clicked, this,
                           QStringLiteral("cmdSaveQuellmarkOptions_Click"),
                           &OptionsQuellmarkTab::cmdSaveQuellmarkOptions_Click);
    tavrel::connectGuarded(cboQuellmarkDataFormat, &QComboBox::currentIndexChanged, this,
                           QStringLiteral("cboQuellmarkDataFormat_Click"),
                           &OptionsQuellmarkTab::cboQuellmarkDataFormat_Click);
    QObject::connect(optQuellmarkMergeMultipleSamples.group, &QButtonGroup::idToggled, this,
                     tavrel::guarded(QStringLiteral("optQuellmarkMergeMultipleSamples_Click"), [this](int i, bool on) {
                         if (on) optQuellmarkMergeMultipleSamples_Click(i);
                     }));
    tavrel::connectGuarded(chkQuellmarkProjectSave, &QCheckBox::toggled, this,
                           QStringLiteral("chkQuellmarkProjectSave_Click"),
                           &OptionsQuellmarkTab::chkQuellmarkProjectSave_Click);
    QObject::connect(optQuellmarkQuantHits.group, &QButtonGroup::idToggled, this,
                     tavrel::guarded(QStringLiteral("optQuellmarkQuantHits_Click"), [this](int i, bool on) {
                         if (on) optQuellmarkQuantHits_Click(i);
                     }));
}

void OptionsQuellmarkTab::buildFrames() {
    auto* file = newFrame(13, QStringLiteral("Sorvex Quellmark Processing Options"), this);
    txtQuellmarkOptionsPath = newLineEdit("txtQuellmarkOptionsPath", file);
    cmdQuellmarkOptionsPath = newButton("cmdQuellmarkOptionsPath", QStringLiteral("..."), file);
    cmdEditQuellmarkOptions = newButton("cmdEditQuellmarkOptions", QStringLiteral("Edit ..."), file);
    cmdSaveQuellmarkOptions = newButton("cmdSaveQuellmarkOptions", QStringLiteral("Save As ..."), file);
    auto* fileRow = new QHBoxLayout(file);
    fileRow->addWidget(txtQuellmarkOptionsPath, 1);
    for (QPushButton* b : {cmdQuellmarkOptionsPath, cmdEditQuellmarkOptions, cmdSaveQuellmarkOptions}) fileRow->addWidget(b);

    auto* format = newFrame(14, QStringLiteral("Data File Format"), this);
    cboQuellmarkDataFormat = newComboBox("cboQuellmarkDataFormat", {}, format);
    (new QVBoxLayout(format))->addWidget(cboQuellmarkDataFormat);

    const std::array<QString, 2> mergeCaptions = {QStringLiteral("Merge all samples into single search"),
                                                  QStringLiteral("Separate search for each sample")};
    auto* samples = optionFrame(15, QStringLiteral("Multi-Sample Files"), optQuellmarkMergeMultipleSamples,
                                "optQuellmarkMergeMultipleSamples", mergeCaptions, this);
    frameTextData = optionFrame(16, QStringLiteral("Text Data File (MS only)"), optQuellmarkIsCentroided,
                                "optQuellmarkIsCentroided",
                                {QStringLiteral("Centroided peak list"), QStringLiteral("Profile / continuum")}, this);

    auto* range = newFrame(17, QStringLiteral("Scan Range (multi-scan files)"), this);
    txtQuellmarkRangeStart = newLineEdit("txtQuellmarkRangeStart", range);
    txtQuellmarkRangeEnd = newLineEdit("txtQuellmarkRangeEnd", range);
    cboQuellmarkRangeUnits = newComboBox("cboQuellmarkRangeUnits", {}, range);
    auto* rangeRow = new QHBoxLayout(range);
    rangeRow->addWidget(newLabel(QStringLiteral("Start"), range));
    rangeRow->addWidget(txtQuellmarkRangeStart);
    rangeRow->addWidget(newLabel(QStringLiteral("End"), range));
    rangeRow->addWidget(txtQuellmarkRangeEnd);
    rangeRow->addWidget(newLabel(QStringLiteral("Units"), range));
    rangeRow->addWidget(cboQuellmarkRangeUnits);

    framePmfOutput = optionFrame(18, QStringLiteral("Output PMF Masses as"), optQuellmarkMSOutput, "optQuellmarkMSOutput",
                                 kMassTypes, this, true);
    auto* msmsOutput = optionFrame(19, QStringLiteral("Output MS/MS Fragments as"), optQuellmarkMSMSOutput,
                                   "optQuellmarkMSMSOutput", kMassTypes, this, true);

    auto* peakList = newFrame(20, QStringLiteral("Peak List Format"), this);
    cboQuellmarkPeakListFormat = newComboBox("cboQuellmarkPeakListFormat", {}, peakList);
    (new QVBoxLayout(peakList))->addWidget(cboQuellmarkPeakListFormat);

    frameProject = newFrame(21, QStringLiteral("Quellmark Project File"), this);
    chkQuellmarkProjectSave = newCheckBox("chkQuellmarkProjectSave", QStringLiteral("Save"), frameProject);
    (new QVBoxLayout(frameProject))->addWidget(chkQuellmarkProjectSave);

    frameQuantitation = newFrame(23, QStringLiteral("Quantitate Protein Hits"), this);
    optQuellmarkQuantHits = newOptionGroup<3>(
        "optQuellmarkQuantHits", {QStringLiteral("None"), QStringLiteral("All"), QStringLiteral("Range from")},
        frameQuantitation);
    for (int i = 0; i < 2; ++i)
        txtQuellmarkQuantRange[i] = newLineEdit(arrayMemberName("txtQuellmarkQuantRange", i).toLatin1().constData(),
                                                frameQuantitation);
    auto* quantGrid = new QGridLayout(frameQuantitation);
    quantGrid->addWidget(optQuellmarkQuantHits.item[0], 0, 0);
    quantGrid->addWidget(optQuellmarkQuantHits.item[1], 0, 1);
    quantGrid->addWidget(optQuellmarkQuantHits.item[2], 1, 0);
    quantGrid->addWidget(txtQuellmarkQuantRange[0], 1, 1);
    quantGrid->addWidget(newLabel(QStringLiteral("to"), frameQuantitation), 1, 2);
    quantGrid->addWidget(txtQuellmarkQuantRange[1], 1, 3);

    frameIntensity = optionFrame(24, QStringLiteral("Intensity values"), optQuellmarkIntensityType,
                                 "optQuellmarkIntensityType", {QStringLiteral("Area"), QStringLiteral("S/N")}, this, true);

    // The state a control shows when the string does not set it.
    optQuellmarkMergeMultipleSamples.choose(0);
    optQuellmarkIsCentroided.choose(1);
    optQuellmarkMSOutput.choose(0);
    optQuellmarkMSMSOutput.choose(0);
    optQuellmarkQuantHits.choose(1);
    optQuellmarkIntensityType.choose(0);
    chkQuellmarkProjectSave->setChecked(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(file, 0, 0, 1, 2);
    grid->addWidget(format, 1, 0);
    grid->addWidget(samples, 1, 1);
    grid->addWidget(frameTextData, 2, 0);
    grid->addWidget(range, 2, 1);
    grid->addWidget(framePmfOutput, 3, 0);
    grid->addWidget(msmsOutput, 3, 1);
    grid->addWidget(peakList, 4, 0);
    grid->addWidget(frameProject, 4, 1);
    grid->addWidget(frameQuantitation, 5, 0);
    grid->addWidget(frameIntensity, 5, 1);
    grid->setRowStretch(6, 1);
}

void OptionsQuellmarkTab::fillDataFormats(int storedCode) {
    for (const QuellmarkDataFormat& format : quellmarkDataFormats(context().components.quellmarkSession))
        cboQuellmarkDataFormat->addItem(format.label, format.code);
    const int match = cboQuellmarkDataFormat->findData(storedCode);
    cboQuellmarkDataFormat->setCurrentIndex(match >= 0 ? match : 0);
}

void OptionsQuellmarkTab::loadFields(const OptionReading& r) {
    using namespace quellmark;
    const auto index = [&](int field) { return fieldIndex(kQuellmark, field, r.fields[field]); };
    const auto yes = [&](int field) { return fieldYesNo(kQuellmark, field, r.fields[field]); };
    txtQuellmarkOptionsPath->setText(common::modUncName_GetLocalPathFromUnc(r.fields[OptionsPath]));
    txtQuellmarkOptionsPath_Change();
    storedDataFormat_ = r.fields[DataFormat];
    if (libraryPresent()) fillDataFormats(index(DataFormat));
    optQuellmarkMergeMultipleSamples.choose(yes(MergeMultipleSamples) ? 0 : 1);
    optQuellmarkIsCentroided.choose(yes(IsCentroided) ? 0 : 1);
    cboQuellmarkRangeUnits->addItems({QStringLiteral("Seconds"), QStringLiteral("Minutes"), QStringLiteral("Scan number")});
    cboQuellmarkRangeUnits->setCurrentIndex(1);
    cboQuellmarkPeakListFormat->addItems({QStringLiteral("QPL"), QStringLiteral("Comprehensive")});
    if (libraryVersion() >= 2.1) cboQuellmarkPeakListFormat->addItem(QStringLiteral("mzData"));
    cboQuellmarkPeakListFormat->setCurrentIndex(0);

    txtQuellmarkRangeStart->setText(r.fields[RangeStart]);
    txtQuellmarkRangeEnd->setText(r.fields[RangeEnd]);
    cboQuellmarkRangeUnits->setCurrentIndex(index(RangeUnits));
    optQuellmarkMSOutput.choose(index(MSOutput));
    optQuellmarkMSMSOutput.choose(index(MSMSOutput));
    const int peakList = index(PeakListFormat);
    cboQuellmarkPeakListFormat->setCurrentIndex(peakList < cboQuellmarkPeakListFormat->count() ? peakList : 0);
    chkQuellmarkProjectSave->setChecked(index(ProjectSave) == 1);
    if (const auto hits = readQuantHits(r.fields[quellmark::QuantHits])) {
        optQuellmarkQuantHits.choose(static_cast<int>(hits->choice));
        if (hits->choice == QuantHitsChoice::Range) {
            txtQuellmarkQuantRange[0]->setText(hits->first);
            txtQuellmarkQuantRange[1]->setText(hits->last);
        }
    }
    optQuellmarkIntensityType.choose(yes(IntensityType) ? 0 : 1);

    if (libraryPresent()) cboQuellmarkDataFormat_Click();
    optQuellmarkQuantHits_Click(optQuellmarkQuantHits.chosen());
    chkQuellmarkProjectSave_Click();
    applyLibraryVersion();
    if (optQuellmarkMergeMultipleSamples.chosen() == 0) optQuellmarkMergeMultipleSamples_Click(0);
}

QStringList OptionsQuellmarkTab::fields() const {
    const auto chosenOr2 = [](int chosen) { return QString::number(chosen == 0 || chosen == 1 ? chosen : 2); };
    const int hits = optQuellmarkQuantHits.chosen();
    const QString dataFormat = cboQuellmarkDataFormat->currentIndex() >= 0
                                   ? QString::number(cboQuellmarkDataFormat->currentData().toInt())
                                   : storedDataFormat_;
    return {common::modUncName_GetUncPath(txtQuellmarkOptionsPath->text()),
            dataFormat,
            yesNoText(optQuellmarkMergeMultipleSamples.chosen() == 0),
            yesNoText(optQuellmarkIsCentroided.chosen() == 0),
            txtQuellmarkRangeStart->text(),
            txtQuellmarkRangeEnd->text(),
            QString::number(cboQuellmarkRangeUnits->currentIndex()),
            chosenOr2(optQuellmarkMSOutput.chosen()),
            chosenOr2(optQuellmarkMSMSOutput.chosen()),
            QString::number(cboQuellmarkPeakListFormat->currentIndex()),
            checkText(chkQuellmarkProjectSave->isChecked()),
            composeQuantHits(hits < 0 ? std::nullopt : std::optional(static_cast<QuantHitsChoice>(hits)),
                             txtQuellmarkQuantRange[0]->text(), txtQuellmarkQuantRange[1]->text()),
            yesNoText(optQuellmarkIntensityType.chosen() == 0)};
}

QString OptionsQuellmarkTab::rangeCheck() {
    if (optQuellmarkQuantHits.chosen() != 2) return {};
    return checkQuantRange(txtQuellmarkQuantRange[0]->text(), txtQuellmarkQuantRange[1]->text());
}

void OptionsQuellmarkTab::watchFields(FieldLeaveChecks& checks) {
    OptionsTab::watchFields(checks);
    for (QLineEdit* box : txtQuellmarkQuantRange) checks.watch(box, LeaveCheck::Integer);
}

}  // namespace filteropts
