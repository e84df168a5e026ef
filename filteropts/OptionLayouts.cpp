#include "filteropts/OptionLayouts.h"

#include <stdexcept>

namespace filteropts {

namespace {

using F = ValueForm;
using C = LeaveCheck;

// One row: control, array index, meaning, form, check, list size, read from,
// ticked field required, completion.
FieldSpec row(const char* control, const char* meaning, F form, C check, int listSize = 0, int readFrom = 0,
              const char* completion = nullptr, int requiresTicked = -1) {
    return {control, -1, meaning, form, check, listSize, readFrom, requiresTicked, completion};
}
FieldSpec item(const char* control, int index, const char* meaning, F form, int readFrom = 0,
               const char* completion = nullptr) {
    return {control, index, meaning, form, C::None, 0, readFrom, -1, completion};
}

QList<LayoutSpec> makeLayouts() {
    LayoutSpec lcq{kLcq, "extract_msn", true, 8, false, {
        row("txtFirstScan", "first scan", F::Number, C::Integer),
        row("txtLastScan", "last scan", F::Number, C::Integer),
        row("txtMinMass", "minimum mass", F::Number, C::Real),
        row("txtMaxMass", "maximum mass", F::Number, C::Real),
        row("txtGroup", "grouping tolerance", F::Number, C::Real),
        row("txtInter", "intermediate scans", F::Number, C::Integer),
        row("txtMinScan", "minimum scans per group", F::Number, C::Integer),
        row("cboCharge", "precursor charge: AUTO, 1 to 4", F::ListIndex, C::None, 5),
        // Fields 8 to 12 came with version 2 of the extractor: read only from
        // strings that have all of them.
        row("chkCalcCharge", "calculate charge", F::CheckBox, C::None, 0, 13, "0"),
        row("txtMinPeaks", "minimum peaks", F::Number, C::Integer, 0, 13, "0"),
        row("txtTemplate", "charge template file (.tpl)", F::Path, C::Comma, 0, 13, ""),
        row("txtAASequence", "amino-acid sequence", F::Letters, C::Letters, 0, 13, ""),
        row("txtOptString", "option letters", F::Letters, C::Letters, 0, 13, ""),
        row("txtThreshold", "threshold", F::Number, C::Integer, 0, 15, ""),
        row("txtExtractMSn", "extract MSn", F::Number, C::Integer, 0, 15, ""),
    }};
    LayoutSpec masslynx{kMassLynx, "Micromass .spl", false, 0, false, {
        row("txtPklPath", "folder of the samples' .PKL peak lists", F::Path, C::Comma),
    }};
    LayoutSpec analyst{kAnalyst, "Sciex Analyst", true, 16, true, {
        item("chkSciexCharge", 0, "default precursor charge 1+", F::CheckBox),
        item("chkSciexCharge", 1, "default precursor charge 2+", F::CheckBox),
        item("chkSciexCharge", 2, "default precursor charge 3+", F::CheckBox),
        item("chkSciexCharge", 3, "default precursor charge 4+", F::CheckBox),
        row("txtSciexIDASurveyHeightPerc", "IDA survey centroid: percentage height", F::Number, C::Real),
        row("txtSciexIDASurveyMergeDist", "IDA survey centroid: merge distance (amu)", F::Number, C::Real),
        row("txtSciexMSMSAveNeedXPeaks", "MS-MS averaging: fewest peaks of a spectrum", F::Number, C::Integer),
        row("txtSciexMSMSAveMinPrecusor", "MS-MS averaging: minimum precursor mass", F::Number, C::Real),
        row("txtSciexMSMSAveMaxPrecusor", "MS-MS averaging: maximum precursor mass", F::Number, C::Real),
        row("txtSciexMSMSAvePrecusorTol", "precursor mass tolerance for grouping", F::Number, C::Real),
        row("txtSciexMSMSAveMaxCycBetween", "most cycles between groups", F::Number, C::Integer),
        row("txtSciexMSMSAveMinCyclesPerGp", "fewest cycles per group", F::Number, C::Integer),
        row("chkSciexMSMSCentroidEnable", "centroid all MS/MS data", F::CheckBox, C::None),
        row("txtSciexMSMSCentroidHeightPerc", "MS/MS centroid: percentage height", F::Number, C::Real),
        row("txtSciexMSMSCentroidMergeDist", "MS/MS centroid: merge distance (amu)", F::Number, C::Real),
        row("txtSciexMSMSThresholdPerc", "threshold: percentage of the highest peak", F::Number, C::Real),
        row("chkSciexGetChargeFromSurvey", "re-determine the precursor charge", F::CheckBox, C::None, 0, 18, "1"),
        row("optSciexMergeMultipleSamples", "merge all samples into one search", F::YesNo, C::None, 0, 18, "True"),
        row("chkSciexDiscardCharge5plus", "discard precursors of charge 5+ or more", F::CheckBox, C::None, 0, 20, "0"),
        row("chkSciexMSMSSmoothDeisotope", "smooth before centroiding / de-isotope", F::CheckBox, C::None, 0, 20, "0"),
    }};
    LayoutSpec voyager{kVoyager, "Data Explorer", true, 12, false, {
        row("optVoyagerProcess", "settings from the data file, else the default SET file", F::YesNo, C::None),
        row("chkVoyagerMacro", "run the macro of a button", F::CheckBox, C::None),
        row("cboVoyagerMacro", "macro button 1 to 10", F::ListIndex, C::None, 10),
        row("chkVoyagerBaseline", "correct baseline", F::CheckBox, C::None),
        row("chkVoyagerNoise", "apply noise filter", F::CheckBox, C::None),
        row("cboVoyagerNoiseFilter", "noise filter: Default, Noise Filter, Gaussian Smooth, Noise Removal",
            F::ListIndex, C::None, 4),
        row("txtVoyagerNoiseParam", "noise filter parameter", F::Number, C::Real),
        row("chkVoyagerMonoisotopic", "only monoisotopic peaks", F::CheckBox, C::None),
        row("chkVoyagerSngleCharge", "only singly charged peaks", F::CheckBox, C::None),
        row("optVoyagerIntensity", "all peaks, else the most intense per interval", F::YesNo, C::None),
        row("txtVoyagerIntensityNumber", "most intense peaks kept per interval", F::Number, C::Integer),
        row("txtVoyagerIntensityInterval", "interval of that selection (Da)", F::Number, C::Integer),
    }};
    LayoutSpec quellmark{kQuellmark, " Sorvex Quellmark", true, 4, false, {
        row("txtQuellmarkOptionsPath", "processing options file (.opt)", F::Path, C::Comma),
        row("cboQuellmarkDataFormat", "data format code of the Quellmark library", F::Code, C::None),
        row("optQuellmarkMergeMultipleSamples", "merge all samples into one search", F::YesNo, C::None),
        row("optQuellmarkIsCentroided", "text data is a centroided peak list", F::YesNo, C::None),
        // Fields 4 to 10 are read only from strings that have all of them.
        row("txtQuellmarkRangeStart", "scan range start", F::Number, C::Real, 0, 11),
        row("txtQuellmarkRangeEnd", "scan range end", F::Number, C::Real, 0, 11),
        row("cboQuellmarkRangeUnits", "scan range units: Seconds, Minutes, Scan number", F::ListIndex, C::None, 3, 11),
        row("optQuellmarkMSOutput", "PMF masses as m/z, MH+, Mr", F::ListIndex, C::None, 3, 11),
        row("optQuellmarkMSMSOutput", "MS/MS fragments as m/z, MH+, Mr", F::ListIndex, C::None, 3, 11),
        row("cboQuellmarkPeakListFormat", "peak list format: QPL, Comprehensive, mzData", F::ListIndex, C::None, 3, 11),
        row("chkQuellmarkProjectSave", "save the Quellmark project file", F::CheckBox, C::None, 0, 11),
        // Quantitation needs a saved project; without a choice it covers all hits.
        row("optQuellmarkQuantHits", "quantitate hits: 0 none, -1 all, first-last", F::Text, C::None, 0, 12, "-1", 10),
        row("optQuellmarkIntensityType", "quantitation intensities: area, else S/N", F::YesNo, C::None, 0, 13, "True"),
    }};
    LayoutSpec ts2sorvex{kTS2Sorvex, "TS2Sorvex", true, 4, false, {
        row("txtTS2SorvexOptionsMinMass", "minimum peak mass (Da)", F::Number, C::None),
        row("txtTS2SorvexOptionsMaxMass", "upper mass limit below the precursor (Da)", F::Number, C::None),
        row("txtTS2SorvexOptionsS2N", "minimum S/N", F::Number, C::None),
        row("chkTS2SorvexOptionsMonoisotopic", "monoisotopic peaks only", F::CheckBox, C::None),
    }};
    return {lcq, masslynx, analyst, voyager, quellmark, ts2sorvex};
}

const QList<LayoutSpec>& layouts() {
    static const QList<LayoutSpec> all = makeLayouts();
    return all;
}

}  // namespace

const LayoutSpec& layoutOf(int filter) {
    if (!hasOptionString(filter)) throw std::out_of_range("import filter without an option string");
    return layouts()[filter - 1];
}

bool hasOptionString(int filter) { return filter >= kLcq && filter <= kTS2Sorvex; }

QString filterDisplayName(int filter) { return common::importFilterName(filter); }

int filterOfDisplayName(const QString& name) { return common::importFilterIndex(name); }

QString builtInOptions(int filter) { return common::builtInImportFilterOptions(filter); }

QString serviceBuiltInOptions(int filter) {
    if (filter != kQuellmark) return builtInOptions(filter);
    QStringList fields = builtInOptions(filter).split(QLatin1Char(','));
    fields[quellmark::ProjectSave] = QStringLiteral("0");
    return fields.join(QLatin1Char(','));
}

namespace {
QStringList defaultFields(int filter) {
    const LayoutSpec& layout = layoutOf(filter);
    const QString builtIn = builtInOptions(filter);
    return layout.split ? builtIn.split(QLatin1Char(',')) : QStringList{builtIn};
}
}  // namespace

QString fieldDefault(int filter, int field) { return defaultFields(filter).value(field); }

bool fieldHasDefault(int filter, int field) { return field >= 0 && field < defaultFields(filter).size(); }

QString fieldCompletion(int filter, int field) {
    const FieldSpec& layoutField = layoutOf(filter).fields.at(field);
    return layoutField.completion ? QString::fromLatin1(layoutField.completion) : fieldDefault(filter, field);
}

QString fieldFallback(int filter, int field) {
    return fieldHasDefault(filter, field) ? fieldDefault(filter, field) : fieldCompletion(filter, field);
}

}  // namespace filteropts
