#include "jobs/JobPlaceholders.h"

#include "jobs/JobErrors.h"
#include "jobs/clsJob.h"
#include "service/EventLog.h"
#include "service/Globals.h"

namespace tavrelsvc {

QString joinPlaceholderEntry(const QString& placeholder, const QString& value) {
    return placeholder + QChar(0) + value;
}

PlaceholderEntry splitPlaceholderEntry(const QString& entry) {
    const qsizetype at = entry.indexOf(QChar(0));
    if (at < 0) return {entry, QString()};
    return {entry.left(at), entry.mid(at + 1)};
}

namespace {
// With `asOperand`, a value that would open the text with "-" is written
// "./" first, so that the command it is an argument of never reads it as
// an option: for a file name or a relative path that names the same file.
bool replaceFirst(QString& text, const PlaceholderEntry& entry, bool asOperand = false) {
    if (entry.placeholder.isEmpty()) return false;
    const qsizetype at = text.indexOf(entry.placeholder, 0, Qt::CaseInsensitive);
    if (at < 0) return false;
    const bool wouldBeOption = asOperand && at == 0 && entry.value.startsWith(QLatin1Char('-'));
    text.replace(at, entry.placeholder.size(), wouldBeOption ? QStringLiteral("./") + entry.value : entry.value);
    return true;
}
}  // namespace

void substituteFirstOccurrences(QString& text, const QList<PlaceholderEntry>& entries) {
    for (const auto& entry : entries) replaceFirst(text, entry);
}

void substituteFirstOccurrences(QStringList& arguments, const QList<PlaceholderEntry>& entries) {
    for (const auto& entry : entries) {
        for (QString& argument : arguments)
            if (replaceFirst(argument, entry, true)) break;
    }
}

QList<PlaceholderEntry> resultPlaceholderEntries(const QString& resultFilePath, const QString& resultUrl) {
    const qsizetype slash = resultFilePath.lastIndexOf(QLatin1Char('/'));
    return {{QStringLiteral("<resulturl>"), resultUrl},
            {QStringLiteral("<resultfilepath>"), resultFilePath},
            {QStringLiteral("<resultfilename>"), slash < 0 ? resultFilePath : resultFilePath.mid(slash + 1)}};
}

void clsJob::BuildPlaceholders() {
    actionPlaceholders_.clear();
    try {
        actionPlaceholders_ << joinPlaceholderEntry(QStringLiteral("<taskname>"), settings.task_label)
                            << joinPlaceholderEntry(QStringLiteral("<parameters>"), settings.parameter_set)
                            << joinPlaceholderEntry(QStringLiteral("<localhost>"), LocalComputerName)
                            << joinPlaceholderEntry(QStringLiteral("<localuser>"), LocalUserName)
                            << joinPlaceholderEntry(QStringLiteral("<gkr_user_name>"), gkr_user_name);
        if (!ServerUser) throw platform::Error(9, QStringLiteral("Subscript out of range"));
        actionPlaceholders_ << joinPlaceholderEntry(QStringLiteral("<sorvex_user_id>"), QString::number(ServerUser->user_id))
                            << joinPlaceholderEntry(QStringLiteral("<sorvex_user_name>"), ServerUser->user_name)
                            << joinPlaceholderEntry(QStringLiteral("<sorvex_user_full_name>"), ServerUser->full_name)
                            << joinPlaceholderEntry(QStringLiteral("<sorvex_user_email>"), ServerUser->email);
    } catch (const std::exception& e) {
        log(EventError, jobErrorText(QStringLiteral("(TVS1028) "), e), false);
    }
}

QList<PlaceholderEntry> clsJob::actionPlaceholderEntries() const {
    QList<PlaceholderEntry> out;
    for (const QString& entry : actionPlaceholders_) out << splitPlaceholderEntry(entry);
    return out;
}

QList<PlaceholderEntry> clsJob::filePlaceholderEntries() const {
    QList<PlaceholderEntry> out;
    if (!dataFile_.isEmpty()) out << PlaceholderEntry{QStringLiteral("<datafilename>"), dataFile_};
    if (!dataPath_.isEmpty()) out << PlaceholderEntry{QStringLiteral("<datafilepath>"), dataPath_};
    QString peakList = StoredPeakList;
    qint64 sample = 0;
    if (filesList_.isOpen() && !filesList_.eof() && !filesList_.bof()) {
        try {
            peakList = filesList_.value(QStringLiteral("peak_list")).toString();
            sample = filesList_.value(QStringLiteral("sample_number")).toLongLong();
        } catch (const platform::Error&) {
        }
    }
    if (!peakList.isEmpty()) out << PlaceholderEntry{QStringLiteral("<cachedpeaklist>"), peakList};
    if (sample > 0) out << PlaceholderEntry{QStringLiteral("<samplenumber>"), QString::number(sample)};
    return out;
}

}  // namespace tavrelsvc
