#pragma once
// The parameter editor's controls as values: every control of the
// "&Parameter Editor" tab under its own name, with what it shows (items,
// choice, selection, text, tick) and whether it is enabled. The model
// changes these; the page only mirrors them onto its widgets.
#include <QList>
#include <QString>
#include <QStringList>

namespace tavrel {

struct TextControl {
    QString text;
    bool enabled = true;
    bool operator==(const TextControl&) const = default;
};

struct CheckControl {
    bool checked = false;
    bool enabled = true;
    bool operator==(const CheckControl&) const = default;
};

struct LabelControl {
    QString caption;
    bool enabled = true;
    bool operator==(const LabelControl&) const = default;
};

// A drop-down list (or a display-only list box, whose current is unused).
struct ListControl {
    QStringList items;
    int current = -1;  // the chosen entry, -1 for none
    bool enabled = true;
    QString currentText() const { return current >= 0 && current < items.size() ? items[current] : QString(); }
    bool operator==(const ListControl&) const = default;
};

// The database list: several entries may be selected; current is the entry
// holding the focus.
struct MultiListControl {
    QStringList items;
    QList<bool> selected;  // one flag per item
    int current = -1;
    bool enabled = true;
    QStringList selectedItems() const;
    int selectedCount() const;
    bool operator==(const MultiListControl&) const = default;
};

// The two option buttons optParamMASS(0) "Monoisotopic" and (1) "Average".
struct OptionControl {
    int chosen = 0;
    bool enabled = true;
    bool operator==(const OptionControl&) const = default;
};

struct ParameterEditorState {
    // Frame "Parameter set".
    LabelControl lblParamFilename{QStringLiteral("Filename:")};
    QString lblParamPfileTag = QStringLiteral("Untitled");  // full path of the current file

    // Frame "All Searches".
    TextControl txtParamCOM;
    TextControl txtParamUSERNAME;
    TextControl txtParamUSEREMAIL;
    MultiListControl lstParamDB;
    ListControl lstParamMODS;
    ListControl lstParamIT_MODS;
    TextControl txtParamSEG;
    TextControl txtParamTOL;
    ListControl cboParamTOLU;
    ListControl cboParamPFA;
    ListControl cboParamCLE;
    OptionControl optParamMASS;
    CheckControl chkParamSEARCH;
    ListControl cboParamCHARGE;
    ListControl cboParamREPORT;
    ListControl cboParamTAXONOMY;
    CheckControl chkParamDECOY;

    // Frame "MS/MS": enabled only for an MS/MS ions search.
    LabelControl lblParamFORMAT{QStringLiteral("Data format")};
    ListControl cboParamFORMAT;
    LabelControl lblParamITOL{QStringLiteral("MS/MS tol. \u00B1")};
    TextControl txtParamITOL;
    ListControl cboParamITOLU;
    LabelControl lblParamINSTRUMENT{QStringLiteral("Instrument")};
    ListControl cboParamINSTRUMENT;
    LabelControl lblParamPEP_ISOTOPE_ERROR{QStringLiteral("# 13C")};
    ListControl cboParamPEP_ISOTOPE_ERROR;
    LabelControl lblParamQUANTITATION{QStringLiteral("Quantitation")};
    ListControl cboParamQUANTITATION;
    CheckControl chkParamERRORTOLERANT;

    // Hidden: the "[OPTIONS]" lines of the server's document.
    QStringList cboParamOPTIONS;

    bool operator==(const ParameterEditorState&) const = default;
};

}  // namespace tavrel
