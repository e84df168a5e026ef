#pragma once
// Tab " Sorvex Quellmark": how the Quellmark library turns raw files into peak
// lists, and the processing-options file it takes its peak picking from.
#include "filteropts/QuellmarkLibraryCalls.h"
#include "filteropts/forms/OptionsControls.h"
#include "filteropts/forms/OptionsTab.h"

namespace filteropts {

class OptionsQuellmarkTab : public OptionsTab {
public:
    OptionsQuellmarkTab(const OptionsDialogContext& context, QWidget* parent);

    QStringList fields() const override;
    QString rangeCheck() override;
    void watchFields(FieldLeaveChecks& checks) override;

    // Interlocks (OptionsQuellmarkInterlocks.cpp).
    void cboQuellmarkDataFormat_Click();
    void optQuellmarkMergeMultipleSamples_Click(int index);
    void chkQuellmarkProjectSave_Click();
    void optQuellmarkQuantHits_Click(int index);

    // The processing-options file (OptionsQuellmarkFiles.cpp).
    void txtQuellmarkOptionsPath_Change();
    void cmdQuellmarkOptionsPath_Click();
    void cmdEditQuellmarkOptions_Click();
    void cmdSaveQuellmarkOptions_Click();
    bool holdsProcessingOptions() const { return optionsFile_.isHeld(); }

    QLineEdit* txtQuellmarkOptionsPath;
    QPushButton* cmdQuellmarkOptionsPath;
    QPushButton* cmdEditQuellmarkOptions;
    QPushButton* cmdSaveQuellmarkOptions;
    QComboBox* cboQuellmarkDataFormat;
    OptionGroup<2> optQuellmarkMergeMultipleSamples;
    QGroupBox* frameTextData;  // Frame(16)
    OptionGroup<2> optQuellmarkIsCentroided;
    QLineEdit* txtQuellmarkRangeStart;
    QLineEdit* txtQuellmarkRangeEnd;
    QComboBox* cboQuellmarkRangeUnits;
    QGroupBox* framePmfOutput;  // Frame(18)
    OptionGroup<3> optQuellmarkMSOutput;
    OptionGroup<3> optQuellmarkMSMSOutput;
    QComboBox* cboQuellmarkPeakListFormat;
    QGroupBox* frameProject;  // Frame(21)
    QCheckBox* chkQuellmarkProjectSave;
    QGroupBox* frameQuantitation;  // Frame(23)
    OptionGroup<3> optQuellmarkQuantHits;
    std::array<QLineEdit*, 2> txtQuellmarkQuantRange{};
    QGroupBox* frameIntensity;  // Frame(24)
    OptionGroup<2> optQuellmarkIntensityType;

protected:
    void loadFields(const OptionReading& reading) override;

private:
    void buildFrames();
    void fillDataFormats(int storedCode);
    void applyLibraryVersion();
    double libraryVersion() const;
    bool libraryPresent() const { return context().components.quellmarkPresent; }

    QuellmarkOptionsFile optionsFile_;
    QString storedDataFormat_;  // kept when the library lists no formats
};

}  // namespace filteropts
