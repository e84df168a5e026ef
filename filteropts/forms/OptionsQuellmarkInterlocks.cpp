// The Quellmark tab's interlocks: what the data format, the merge choice and
// the project box enable, and what an older library cannot do.
#include "filteropts/forms/OptionsQuellmarkTab.h"

#include "filteropts/QuellmarkFields.h"

namespace filteropts {

double OptionsQuellmarkTab::libraryVersion() const {
    return libraryVersionNumber(context().components.quellmarkVersion);
}

void OptionsQuellmarkTab::applyLibraryVersion() {
    const double version = libraryVersion();
    if (version < 2) {
        // Before 2.0 the library wrote m/z for peptides and could not give Mr
        // for fragments, nor save a project.
        if (optQuellmarkMSMSOutput.chosen() == 2) optQuellmarkMSMSOutput.choose(0);
        optQuellmarkMSMSOutput.item[2]->setEnabled(false);
        optQuellmarkMSOutput.choose(0);
        optQuellmarkMSOutput.setEnabled(false);
        framePmfOutput->setEnabled(false);
        chkQuellmarkProjectSave->setChecked(false);
        chkQuellmarkProjectSave->setEnabled(false);
        frameProject->setEnabled(false);
    }
    if (version < 2.3) {
        optQuellmarkIntensityType.setEnabled(false);
        frameIntensity->setEnabled(false);
    }
}

void OptionsQuellmarkTab::cboQuellmarkDataFormat_Click() {
    if (!libraryPresent()) return;
    const bool textData = cboQuellmarkDataFormat->currentData().toInt() == 0;
    frameTextData->setEnabled(textData);
    optQuellmarkIsCentroided.setEnabled(textData);
}

void OptionsQuellmarkTab::optQuellmarkMergeMultipleSamples_Click(int index) {
    if (index == 0) {
        // One search for all samples leaves no project per sample to save.
        chkQuellmarkProjectSave->setChecked(false);
        chkQuellmarkProjectSave->setEnabled(false);
        chkQuellmarkProjectSave_Click();
    } else if (libraryVersion() >= 2) {
        chkQuellmarkProjectSave->setEnabled(true);
    }
}

void OptionsQuellmarkTab::chkQuellmarkProjectSave_Click() {
    const bool quantitation = libraryVersion() >= 2.3 && context().components.quellmarkQuantitation &&
                              chkQuellmarkProjectSave->isChecked();
    frameQuantitation->setEnabled(quantitation);
    optQuellmarkQuantHits.setEnabled(quantitation);
    const bool range = quantitation && optQuellmarkQuantHits.chosen() == 2;
    for (QLineEdit* box : txtQuellmarkQuantRange) box->setEnabled(range);
}

void OptionsQuellmarkTab::optQuellmarkQuantHits_Click(int index) {
    for (QLineEdit* box : txtQuellmarkQuantRange) box->setEnabled(index == 2);
}

}  // namespace filteropts
