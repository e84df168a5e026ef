#pragma once
// The multipart/form-data body of one search (SearchForm): the head built
// once per task from the parameter set, the search title and the parts that
// lead up to the peak list, built per data file, and the lookup of one form
// value. The body is bytes in the 8-bit code page, as it goes on the wire.
#include "common/ImportFilters.h"
#include "search/SearchContext.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

namespace tavrelsvc {

inline const QByteArray SearchFormBoundary = "---------------------------gc0p4Jq49782jU35Frq980";
// Ends every body, written right after the peak list.
inline const QByteArray SearchFormClosing = "\r\n--" + SearchFormBoundary + "--\r\n";
inline const QString kFollowUpMethod = QStringLiteral("Follow-up search of selected queries");
inline const QString kStopMassFileName = QStringLiteral("Sorvex_Tavrel_PMF_stop_masses.txt");

// One part: delimiter, Content-Disposition with the name, empty line, value.
QByteArray searchFormPart(const QString& name, const QString& value);

// A name or file name as it goes inside the quotes of a Content-Disposition
// header: a double quote, CR and LF are written %22, %0D and %0A, so that no
// name can end its header or start one of its own.
QByteArray formHeaderText(const QString& text);

// Whether bytes hold the form's boundary: a value that does could end the
// body early or start a part of its own, so it is never sent.
bool holdsFormBoundary(QByteArrayView bytes);

// ActionPlaceholders entries are "name" + QChar(0) + "value".
std::pair<QString, QString> splitPlaceholder(const QString& entry);

// What the form head is built from.
struct SearchFormInput {
    QString parameter_set;                // local path of the task's .par file
    std::optional<common::ImportFilterIndex> import_filter;  // nothing for a name no filter has
    std::optional<qint32> sorvex_user_id; // the task's; nothing = Null
    qint32 taskUserId = 0;                // user_id of ServerUserList entry 0
    QStringList ActionPlaceholders;
    bool multiSiteMods = false;           // QuellmarkMultiSiteMods of the probe
};

struct SearchFormHeadResult {
    QByteArray SearchFormHead;
    QString TitleTemplate;
    QString QuantitationMethod;
};

// Empty after "(TVS1015) number: text" in the event log (data file " "): the
// parameter set is missing or unreadable, or holds a line without "=" that
// is not blank. The task must not search with such a form.
std::optional<SearchFormHeadResult> clsJob_BuildSearchForm(const SearchFormInput& in, const SearchJobContext& job);

// What the title and the per-file parts are built from.
struct SearchTitleInput {
    QByteArray SearchFormHead;
    QString TitleTemplate;
    QStringList ActionPlaceholders;
    QString Data_file;
    QString Data_path;
    QVariant file_comment;   // of the current Files row; Null = ""
    QVariant peak_list;      // of the current Files row
    QVariant sample_number;  // of the current Files row
    QString CurrentMethod;
};

struct SearchTitleResult {
    QString Search_title;
    QString FileComment;
    QByteArray SearchFormPrefix;
};

// `SearchHeader` starts the FILE content ("FORMAT=Sorvex generic" CR LF for
// the filter "--- None ---" when the file needs it). Empty after
// "(TVS1034) ..." in the event log.
std::optional<SearchTitleResult> clsJob_BuildSearchTitle(const SearchTitleInput& in, const QByteArray& SearchHeader,
                                                         const SearchJobContext& job);

// The value of one search field: a "NAME=value" line of `text` (the peak list
// in memory) wins over the part of the form head. "" when neither has it.
QString clsJob_GetFormValue(const QString& name, const QByteArray& text, const QByteArray& SearchFormHead);

// The whole file up to its last byte that is not Ctrl-Z; "" after
// "(TVS1068) ..." when it cannot be read.
QByteArray clsJob_ReadWholeFile(const QString& path, const SearchJobContext& job);

// Drops the peaks of a PMF peak list within tolerance of a stop mass from
// `stopMassFile`. The list is replaced only by the whole filtered list; on any
// error "(TVS1039) ..." is logged and the list stays as it was.
void clsJob_FilterStopMasses(QByteArray& list, const QByteArray& SearchFormHead, const QString& stopMassFile,
                             const SearchJobContext& job);

}  // namespace tavrelsvc
