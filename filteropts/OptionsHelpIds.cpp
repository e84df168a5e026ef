#include "filteropts/OptionsHelpIds.h"

namespace filteropts {

// Counted up from the dialog's number in steps that skip the hexadecimal digits
// A to F, in the order of the controls' names with a few appended at the end.
const QList<ControlHelpId>& optionsControlHelpIds() {
    static const QList<ControlHelpId> ids = {
        {"cboCharge", 20481}, {"cboQuellmarkDataFormat", 20482}, {"cboVoyagerMacro", 20483},
        {"cboVoyagerNoiseFilter", 20484}, {"chkCalcCharge", 20485}, {"chkSciexCharge", 20486},
        {"chkSciexDiscardCharge5plus", 20488}, {"chkSciexGetChargeFromSurvey", 20489},
        {"chkSciexMSMSCentroidEnable", 20496}, {"chkSciexMSMSSmoothDeisotope", 20497},
        {"chkVoyagerBaseline", 20498}, {"chkVoyagerMacro", 20499}, {"chkVoyagerMonoisotopic", 20500},
        {"chkVoyagerNoise", 20501}, {"chkVoyagerSngleCharge", 20502}, {"cmdCancel", 20503},
        {"cmdQuellmarkOptionsPath", 20504}, {"cmdEditQuellmarkOptions", 20505}, {"cmdOK", 20512},
        {"cmdPklPathBrowse", 20513}, {"cmdSaveQuellmarkOptions", 20514}, {"cmdTemplate", 20515},
        {"optQuellmarkIsCentroided", 20516}, {"optQuellmarkMergeMultipleSamples", 20517},
        {"optSciexMergeMultipleSamples", 20518}, {"optVoyagerIntensity", 20519}, {"optVoyagerProcess", 20520},
        {"SSTab1", 20521}, {"txtAASequence", 20528}, {"txtQuellmarkOptionsPath", 20529}, {"txtFirstScan", 20530},
        {"txtGroup", 20531}, {"txtInter", 20532}, {"txtLastScan", 20533}, {"txtMaxMass", 20534},
        {"txtMinMass", 20535}, {"txtMinPeaks", 20536}, {"txtMinScan", 20537}, {"txtOptString", 20544},
        {"txtPklPath", 20545}, {"txtSciexIDASurveyHeightPerc", 20546}, {"txtSciexIDASurveyMergeDist", 20547},
        {"txtSciexMSMSAveMaxCycBetween", 20548}, {"txtSciexMSMSAveMaxPrecusor", 20549},
        {"txtSciexMSMSAveMinCyclesPerGp", 20550}, {"txtSciexMSMSAveMinPrecusor", 20551},
        {"txtSciexMSMSAveNeedXPeaks", 20553}, {"txtSciexMSMSAvePrecusorTol", 20560},
        {"txtSciexMSMSCentroidHeightPerc", 20561}, {"txtSciexMSMSCentroidMergeDist", 20562},
        {"txtSciexMSMSThresholdPerc", 20563}, {"txtTemplate", 20564}, {"txtVoyagerIntensityInterval", 20565},
        {"txtVoyagerIntensityNumber", 20566}, {"txtVoyagerNoiseParam", 20567}, {"txtThreshold", 20568},
        {"txtQuellmarkRangeStart", 20569}, {"txtQuellmarkRangeEnd", 20569}, {"cboQuellmarkRangeUnits", 20576},
        {"optQuellmarkMSOutput", 20577}, {"optQuellmarkMSMSOutput", 20578}, {"cboQuellmarkPeakListFormat", 20579},
        {"chkQuellmarkProjectSave", 20580}, {"txtExtractMSn", 20581}, {"txtTS2SorvexOptionsMinMass", 20582},
        {"txtTS2SorvexOptionsMaxMass", 20583}, {"txtTS2SorvexOptionsS2N", 20584},
        {"chkTS2SorvexOptionsMonoisotopic", 20585}, {"optQuellmarkQuantHits", 20592},
        {"txtQuellmarkQuantRange", 20593}, {"optQuellmarkIntensityType", 20594},
    };
    return ids;
}

}  // namespace filteropts
