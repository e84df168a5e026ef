#pragma once
// The six import-filter option strings, field by field. Each filter that takes
// options stores them as one line of comma-separated fields in a fixed layout;
// the task row, the saved defaults, the options dialog, the service's import
// filters and Pondrel all read and write these layouts, so this table is the
// one place that says what each field is.
//
// Filters are numbered as the filter list shows them: 0 "--- None ---" (no
// options), 1 LCQ / DECA, 2 MassLynx, 3 Analyst .WIFF, 4 Voyager, 5 Quellmark,
// 6 TS2Sorvex. The options dialog shows filter i on tab i - 1.
#include "common/ImportFilters.h"

#include <QList>
#include <QString>

namespace filteropts {

// The filters' numbers are those of the task database's filter list.
enum FilterIndex : int {
    kNoFilter = common::FilterNone,
    kLcq = common::FilterLcq,
    kMassLynx = common::FilterMassLynx,
    kAnalyst = common::FilterAnalyst,
    kVoyager = common::FilterVoyager,
    kQuellmark = common::FilterQuellmark,
    kTS2Sorvex = common::FilterTS2Sorvex,
};
inline constexpr int kFilterCount = common::ImportFilterCount;

// Field numbers by layout, for readers that take single fields.
namespace lcq {
enum Field : int {
    FirstScan, LastScan, MinMass, MaxMass, Group, Inter, MinScan, Charge, CalcCharge, MinPeaks, Template,
    AASequence, OptString, Threshold, ExtractMSn,
};
}
namespace analyst {
enum Field : int {
    Charge1, Charge2, Charge3, Charge4, IDASurveyHeightPerc, IDASurveyMergeDist, MSMSAveNeedXPeaks,
    MSMSAveMinPrecursor, MSMSAveMaxPrecursor, MSMSAvePrecursorTol, MSMSAveMaxCycBetween, MSMSAveMinCyclesPerGp,
    MSMSCentroidEnable, MSMSCentroidHeightPerc, MSMSCentroidMergeDist, MSMSThresholdPerc, GetChargeFromSurvey,
    MergeMultipleSamples, DiscardCharge5plus, MSMSSmoothDeisotope,
};
}
namespace voyager {
enum Field : int {
    Process, Macro, MacroButton, Baseline, Noise, NoiseFilter, NoiseParam, Monoisotopic, SingleCharge, Intensity,
    IntensityNumber, IntensityInterval,
};
}
namespace quellmark {
enum Field : int {
    OptionsPath, DataFormat, MergeMultipleSamples, IsCentroided, RangeStart, RangeEnd, RangeUnits, MSOutput,
    MSMSOutput, PeakListFormat, ProjectSave, QuantHits, IntensityType,
};
}
namespace ts2sorvex {
enum Field : int { MinMass, MaxMass, S2N, Monoisotopic };
}

// What a field holds.
enum class ValueForm {
    Number,     // decimal text; empty means "not given"
    Code,       // an integer code that must be given (Quellmark data format)
    ListIndex,  // 0-based index of an entry of a fixed list
    CheckBox,   // "0" clear, "1" ticked
    YesNo,      // "True" / "False" (readers also take numbers)
    Path,       // a file or folder, stored in UNC form
    Letters,    // letters A to Z only
    Text,       // free text with a syntax of its own
};

// What the options dialog does when the user leaves the field's text box.
enum class LeaveCheck { None, Comma, Letters, Integer, Real };

struct FieldSpec {
    const char* control;  // the dialog control that edits the field
    int controlIndex;     // its index in a control array, -1 for a single control
    const char* meaning;
    ValueForm form;
    LeaveCheck check;
    int listSize;         // ListIndex: entries of the list
    // Shorter strings of earlier versions: the field is read only when the
    // string has at least `readFrom` fields (and, when `requiresTicked` is a field
    // number, that field's check box is ticked); otherwise it takes
    // `completion`, or its default when that is null.
    int readFrom;
    int requiresTicked;
    const char* completion;
};

struct LayoutSpec {
    FilterIndex filter;       // its name and the setting of its saved default: common/ImportFilters.h
    const char* tabCaption;   // its tab of the options dialog
    bool split;               // false: the whole string is one field (MassLynx)
    // Below this many fields the whole string is replaced by the built-in default.
    int wholeDefaultBelow;
    // A colon in field 0 marks the string of a vendor library's own options,
    // which is not of this layout: replaced by the built-in default too.
    bool colonInFirstFieldIsForeign;
    QList<FieldSpec> fields;
};

// The layout of filter 1 to 6; throws std::out_of_range for any other index.
const LayoutSpec& layoutOf(int filter);
// Whether the filter takes an option string (1 to 6).
bool hasOptionString(int filter);

// "--- None ---" and the six filters' names, as stored in the task row's
// import_filter; empty outside 0 to 6.
QString filterDisplayName(int filter);
// The filter of a display name (exact comparison); -1 when none is.
int filterOfDisplayName(const QString& name);

// The built-in option string of the filter (empty for 0 and MassLynx). Its
// fields are the defaults of the layout's fields; the Quellmark string has
// only 11 of its 13 fields, the last two having no default.
QString builtInOptions(int filter);
// The built-in option string the service falls back on for a string it cannot
// read: the filter's built-in string, except that a Quellmark task then saves
// no project file, which nobody asked for.
QString serviceBuiltInOptions(int filter);
// The default text of one field; empty when it has none (fieldHasDefault).
QString fieldDefault(int filter, int field);
bool fieldHasDefault(int filter, int field);

// The text a field takes when a shorter string does not reach it: its
// completion, else its default.
QString fieldCompletion(int filter, int field);
// The text a field takes when what it holds does not fit its value form: its
// default, else its completion.
QString fieldFallback(int filter, int field);

}  // namespace filteropts
