#pragma once
// What the parameter editor saves: the values of its controls, and the rules
// that turn them into the lines of a parameter file (which keys, in which
// order, which only for MS/MS searches, which only when set).
// SaveParameterFile of the main window fills ParameterSetValues from its
// controls and hands it to writeParameterFile; the overwrite question and
// the editor's label and dirty flag stay with the form.
#include "common/ParameterFile.h"

#include <QLatin1StringView>

namespace tavrel {

// The keys of a parameter file, in the order the editor writes them.
namespace ParamKey {
inline constexpr QLatin1StringView COM{"COM"};
inline constexpr QLatin1StringView SEG{"SEG"};
inline constexpr QLatin1StringView TOL{"TOL"};
inline constexpr QLatin1StringView TOLU{"TOLU"};
inline constexpr QLatin1StringView ITOL{"ITOL"};
inline constexpr QLatin1StringView ITOLU{"ITOLU"};
inline constexpr QLatin1StringView PFA{"PFA"};
inline constexpr QLatin1StringView DB{"DB"};
inline constexpr QLatin1StringView MODS{"MODS"};
inline constexpr QLatin1StringView MASS{"MASS"};
inline constexpr QLatin1StringView CLE{"CLE"};
inline constexpr QLatin1StringView SEARCH{"SEARCH"};
inline constexpr QLatin1StringView REPTYPE{"REPTYPE"};
inline constexpr QLatin1StringView USERNAME{"USERNAME"};
inline constexpr QLatin1StringView USEREMAIL{"USEREMAIL"};
inline constexpr QLatin1StringView CHARGE{"CHARGE"};
inline constexpr QLatin1StringView REPORT{"REPORT"};
inline constexpr QLatin1StringView FORMAT{"FORMAT"};
inline constexpr QLatin1StringView IT_MODS{"IT_MODS"};
inline constexpr QLatin1StringView TAXONOMY{"TAXONOMY"};
inline constexpr QLatin1StringView INSTRUMENT{"INSTRUMENT"};
inline constexpr QLatin1StringView PEP_ISOTOPE_ERROR{"PEP_ISOTOPE_ERROR"};
inline constexpr QLatin1StringView DECOY{"DECOY"};
inline constexpr QLatin1StringView ERRORTOLERANT{"ERRORTOLERANT"};
inline constexpr QLatin1StringView QUANTITATION{"QUANTITATION"};
}  // namespace ParamKey

// Values of the few keys whose text the editor fixes rather than the user.
namespace ParamValue {
inline constexpr QLatin1StringView Monoisotopic{"Monoisotopic"};
inline constexpr QLatin1StringView Average{"Average"};
inline constexpr QLatin1StringView Mis{"MIS"};
inline constexpr QLatin1StringView Pmf{"PMF"};
inline constexpr QLatin1StringView Peptide{"Peptide"};
inline constexpr QLatin1StringView Protein{"Protein"};
inline constexpr QLatin1StringView FlagSet{"1"};
}  // namespace ParamValue

// A drop-down list's choice: its text and its position (-1 when none).
struct ParameterChoice {
    QString text;
    int index = -1;
};

struct ParameterSetValues {
    QString com;        // txtParamCOM
    QString seg;        // txtParamSEG
    QString tol;        // txtParamTOL
    QString tolu;       // cboParamTOLU
    QString itol;       // txtParamITOL
    QString itolu;      // cboParamITOLU
    QString pfa;        // cboParamPFA
    QStringList db;     // selected entries of lstParamDB, in list order
    QStringList mods;   // every entry of lstParamMODS
    bool massAverage = false;  // optParamMASS(1)
    QString cle;        // cboParamCLE
    bool msms = false;  // chkParamSEARCH
    QString username;   // txtParamUSERNAME
    QString useremail;  // txtParamUSEREMAIL
    QString charge;     // cboParamCHARGE
    QString report;     // cboParamREPORT
    QString format;     // cboParamFORMAT
    QStringList itMods; // every entry of lstParamIT_MODS
    QString taxonomy;   // cboParamTAXONOMY
    QString instrument; // cboParamINSTRUMENT
    ParameterChoice pepIsotopeError;  // cboParamPEP_ISOTOPE_ERROR
    bool decoy = false;               // chkParamDECOY
    bool errorTolerant = false;       // chkParamERRORTOLERANT
    ParameterChoice quantitation;     // cboParamQUANTITATION

    // modGlobal_IsVersionAtLeast(ServerVersion, "2.2"); False while the
    // version is unknown. Older servers need REPTYPE after SEARCH.
    bool serverAtLeast2_2 = false;
};

// The file's lines in writing order. MS/MS-only keys follow the MS/MS box
// alone, whatever the controls hold; DECOY and ERRORTOLERANT appear only when
// set. A list entry holding "," is refused: it would read back as two entries.
std::optional<ParameterFileError> parameterFileLines(const ParameterSetValues& values, const QString& path,
                                                     QList<ParameterLine>& out);

// The file-level half of SaveParameterFile: builds the lines and writes them
// atomically. The caller asks the overwrite question first and, on
// CannotCreate, shows "Cannot save file. Is <file> read-only?".
std::optional<ParameterFileError> writeParameterFile(const QString& path, const ParameterSetValues& values);

}  // namespace tavrel
