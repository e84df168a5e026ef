#include "search/SearchForm.h"

#include "common/StringBuilder.h"
#include "convert/PeakListCache.h"
#include "common/ParameterFile.h"
#include "platform/Cp1252.h"
#include "platform/Error.h"

#include <QFile>

namespace tavrelsvc {

namespace {

const QByteArray kCrLf = "\r\n";
const QByteArray kDisposition = "Content-Disposition: form-data; name=\"";

QByteArray bytes(const QString& text) { return platform::toCp1252(text); }

void refuseBoundary(const QString& value, const QString& what) {
    if (holdsFormBoundary(bytes(value)))
        throw platform::Error(platform::errnum::InvalidProcedureCall,
                              what + QStringLiteral(" holds the search form's boundary text; it cannot be sent"));
}

// The first occurrence of `placeholder`, letter case ignored, becomes `value`.
void replaceFirst(QString& title, const QString& placeholder, const QString& value) {
    const qsizetype at = title.indexOf(placeholder, 0, Qt::CaseInsensitive);
    if (at >= 0) title.replace(at, placeholder.size(), value);
}

}  // namespace

QByteArray searchFormPart(const QString& name, const QString& value) {
    return "--" + SearchFormBoundary + kCrLf + kDisposition + formHeaderText(name) + '"' + kCrLf + kCrLf + bytes(value) +
           kCrLf;
}

QByteArray formHeaderText(const QString& text) {
    QByteArray out = bytes(text);
    out.replace('"', "%22");
    out.replace('\r', "%0D");
    out.replace('\n', "%0A");
    return out;
}

bool holdsFormBoundary(QByteArrayView bytes) { return bytes.contains(QByteArray("--" + SearchFormBoundary)); }

std::pair<QString, QString> splitPlaceholder(const QString& entry) {
    const qsizetype nul = entry.indexOf(QChar(0));
    if (nul < 0) return {entry, QString()};
    return {entry.left(nul), entry.mid(nul + 1)};
}

std::optional<SearchFormHeadResult> clsJob_BuildSearchForm(const SearchFormInput& in, const SearchJobContext& job) {
    try {
        common::clsStringBuilder form;
        form.add(searchFormPart(QStringLiteral("FORMVER"), QStringLiteral("1.01")));
        if (in.sorvex_user_id) form.add(searchFormPart(QStringLiteral("USERID"), QString::number(in.taskUserId)));
        if (in.import_filter == common::FilterQuellmark && in.multiSiteMods)
            form.add(searchFormPart(QStringLiteral("MULTI_SITE_MODS"), QStringLiteral("1")));

        const tavrel::ParameterFileLines file =
            tavrel::readParameterFileLines(in.parameter_set, tavrel::ParameterLineRule::RejectLinesWithoutEquals);
        if (!file.ok()) throw file.error->toError();
        SearchFormHeadResult out;
        for (const tavrel::ParameterLine& line : file.lines) {
            QString value = line.value;
            refuseBoundary(line.key + QLatin1Char('=') + value, QStringLiteral("The parameter line ") + line.key);
            if (line.key == QLatin1String("COM")) {
                out.TitleTemplate = value;
                continue;
            }
            if (line.key == QLatin1String("QUANTITATION")) out.QuantitationMethod = value;
            if (line.key == QLatin1String("USERNAME") || line.key == QLatin1String("USEREMAIL")) {
                for (const QString& entry : in.ActionPlaceholders) {
                    const auto [name, replacement] = splitPlaceholder(entry);
                    if (name == value) {
                        value = replacement;
                        break;
                    }
                }
            }
            form.add(searchFormPart(line.key, value));
        }
        out.SearchFormHead = form.GetContent();
        return out;
    } catch (const platform::Error& e) {
        job.logTask(EventError, e.report(QStringLiteral("(TVS1015) ")));
    } catch (const std::exception& e) {
        job.logTask(EventError, QStringLiteral("(TVS1015) 5: ") + QString::fromLocal8Bit(e.what()));
    }
    return std::nullopt;
}

std::optional<SearchTitleResult> clsJob_BuildSearchTitle(const SearchTitleInput& in, const QByteArray& SearchHeader,
                                                         const SearchJobContext& job) {
    try {
        SearchTitleResult out;
        out.FileComment = in.file_comment.isNull() ? QString() : in.file_comment.toString();
        QString title;
        if (!in.TitleTemplate.isEmpty() && !out.FileComment.isEmpty())
            title = in.TitleTemplate + QStringLiteral(" (") + out.FileComment + QLatin1Char(')');
        else if (!in.TitleTemplate.isEmpty())
            title = in.TitleTemplate;
        else
            title = out.FileComment;

        for (const QString& entry : in.ActionPlaceholders) {
            const auto [name, value] = splitPlaceholder(entry);
            if (!name.isEmpty()) replaceFirst(title, name, value);
        }
        replaceFirst(title, QStringLiteral("<datafilename>"), in.Data_file);
        replaceFirst(title, QStringLiteral("<datafilepath>"), in.Data_path);
        if (!in.peak_list.isNull() && !in.peak_list.toString().isEmpty())
            replaceFirst(title, QStringLiteral("<cachedpeaklist>"), in.peak_list.toString());
        if (!in.sample_number.isNull() && in.sample_number.toLongLong() > 0)
            replaceFirst(title, QStringLiteral("<samplenumber>"), QString::number(in.sample_number.toLongLong()));
        out.Search_title = title;
        refuseBoundary(title, QStringLiteral("The search title"));
        if (in.CurrentMethod == kFollowUpMethod) refuseBoundary(in.Data_path, QStringLiteral("The data file's path"));

        common::clsStringBuilder prefix;
        prefix.add(in.SearchFormHead);
        prefix.add(searchFormPart(QStringLiteral("COM"), title));
        const QByteArray open = "--" + SearchFormBoundary + kCrLf + kDisposition + "FILE\"";
        if (in.CurrentMethod != kFollowUpMethod) {
            prefix.add(open + "; filename=\"" + formHeaderText(in.Data_path) + '"' + kCrLf + kCrLf + SearchHeader);
        } else {
            prefix.add(open + kCrLf + kCrLf + bytes(in.Data_path) + kCrLf);
        }
        out.SearchFormPrefix = prefix.GetContent();
        return out;
    } catch (const platform::Error& e) {
        job.log(EventError, e.report(QStringLiteral("(TVS1034) ")));
    } catch (const std::exception& e) {
        job.log(EventError, QStringLiteral("(TVS1034) 5: ") + QString::fromLocal8Bit(e.what()));
    }
    return std::nullopt;
}

QString clsJob_GetFormValue(const QString& name, const QByteArray& text, const QByteArray& SearchFormHead) {
    const QByteArray eol = text.contains(kCrLf) ? kCrLf : QByteArray("\n");
    const QByteArray key = bytes(name).toLower() + '=';
    const QByteArray lower = text.toLower();
    qsizetype at = lower.indexOf(eol + key);
    if (at >= 0) at += eol.size();
    else if (lower.startsWith(key)) at = 0;
    if (at >= 0) {
        const qsizetype start = at + key.size();
        const qsizetype end = text.indexOf(eol, start);
        return platform::fromCp1252(text.mid(start, end < 0 ? -1 : end - start));
    }
    const QByteArray header = (kDisposition + formHeaderText(name) + '"').toLower();
    const qsizetype found = SearchFormHead.toLower().indexOf(header);
    if (found < 0) return QString();
    const qsizetype lineEnd = SearchFormHead.indexOf(kCrLf, found);
    if (lineEnd < 0) return QString();
    const qsizetype start = lineEnd + 4;
    const qsizetype end = SearchFormHead.indexOf(kCrLf, start);
    if (end < 0) return QString();
    return platform::fromCp1252(SearchFormHead.mid(start, end - start));
}

QByteArray clsJob_ReadWholeFile(const QString& path, const SearchJobContext& job) {
    try {
        const qint64 length = textFileLength(path);
        if (length <= 0) return {};
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw platform::Error(platform::errnum::FileNotFound, file.errorString() + QStringLiteral(": ") + path);
        const QByteArray content = file.read(length);
        if (content.size() != length)
            throw platform::Error(62, QStringLiteral("Input past end of file: ") + path);
        return content;
    } catch (const platform::Error& e) {
        job.log(EventError, e.report(QStringLiteral("(TVS1068) ")));
    }
    return {};
}

}  // namespace tavrelsvc
