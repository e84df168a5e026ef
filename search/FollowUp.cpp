#include "search/FollowUp.h"

#include "common/ServerReplies.h"
#include "common/TaskDbTables.h"
#include "common/TaskRow.h"
#include "common/UncName.h"
#include "platform/AdoConnection.h"
#include "platform/AdoRecordset.h"
#include "platform/Cp1252.h"
#include "platform/Error.h"
#include "platform/SharedFile.h"
#include "search/FollowUpSelection.h"
#include "search/SearchForm.h"
#include "service/DbRows.h"
#include "service/HttpGet.h"
#include "service/Preferences.h"
#include "service/TaskDb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace tavrelsvc {

namespace {

// A value from the server's reply goes into the next search's body: one that
// holds the form's boundary would frame parts of its own, so it is refused.
QByteArray quePart(const QString& name, const QByteArray& value) {
    if (holdsFormBoundary(value))
        throw platform::Error(platform::errnum::InvalidProcedureCall,
                              QStringLiteral("The server's reply holds the search form's boundary text; the queries "
                                             "of the follow-up search cannot be sent"));
    return "--" + SearchFormBoundary + "\r\nContent-Disposition: form-data; name=\"" + name.toLatin1() + "\"\r\n\r\n" +
           value + "\r\n";
}

struct Stop {};  // a store failed: already reported, the task pauses

void storeOrStop(platform::AdoRecordset& rs) {
    if (!modGlobal_UpdateRecord(rs)) throw Stop{};
}

void moveToFile(platform::AdoRecordset& FilesList, qint32 fileNumber) {
    FilesList.moveFirst();
    FilesList.find(QStringLiteral("file_number=") + QString::number(fileNumber));
    if (FilesList.eof())
        throw platform::Error(3021, QStringLiteral("Either BOF or EOF is True: file_number=%1").arg(fileNumber));
}

void rereadFilesList(platform::AdoRecordset& FilesList, qint32 fileNumber) {
    try {
        FilesList.requery();
        if (!FilesList.eof()) FilesList.find(QStringLiteral("file_number=") + QString::number(fileNumber));
    } catch (const platform::Error&) {
        // The next tick reads the list again.
    }
}

}  // namespace

QString intermediateFilePath(const QString& peakListCache, qint32 fileNumber) {
    return QDir(peakListCache).filePath(QString::number(fileNumber) + QStringLiteral(".intermediate"));
}

std::optional<float> probabilityOffset(qint32 fu_score) {
    if (fu_score < 1) return std::nullopt;
    return static_cast<float>((std::log(double(fu_score)) - std::log(20.0)) * 10.0 / std::log(10.0));
}

QDateTime followUpTime(const QDateTime& now, qint32 n, std::optional<common::FollowUpInterval> unit) {
    if (!unit) return common::jetZeroDate();
    switch (*unit) {
    case common::FollowUpInterval::Minutes: return now.addSecs(qint64(n) * 60);
    case common::FollowUpInterval::Hours: return now.addSecs(qint64(n) * 3600);
    case common::FollowUpInterval::Days: return now.addDays(n);
    case common::FollowUpInterval::Weeks: return now.addDays(qint64(n) * 7);
    case common::FollowUpInterval::Months: return now.addMonths(n);
    }
    return common::jetZeroDate();
}

FollowUpResult clsJob_FollowUp(JobSession& session, qint16& code, const FollowUpInput& in,
                               platform::AdoRecordset& FilesList, const SearchJobContext& job) {
    FollowUpResult r;
    SearchResultOutputs& out = r.result;
    SearchResultsRecord& record = r.record;
    try {
        if (code == 51) {
            job.log(EventWarning, QStringLiteral("Server reports too many searches running, trying once more"));
            r.quellmarkStatus = QStringLiteral("Too many searches running");
            if (in.wait) in.wait(LockedOutDelay);
            r.outcome = FollowUpOutcome::EndFileSearch;
            return r;
        }
        if (code < 0) {
            out = {QStringLiteral("<error>"), 0, 0,
                   code == -2 ? QStringLiteral("Search killed") : QStringLiteral("Search Crashed"), QStringLiteral(" "),
                   QStringLiteral(" ")};
        } else {
            const ParseOutcome parsed =
                clsJob_ParseResult(session, in.task_sorvex_url, in.sorvex_task_id, out, record, job);
            if (parsed == ParseOutcome::EmptyReply) {
                r.outcome = FollowUpOutcome::Pause;
                return r;
            }
            if (parsed == ParseOutcome::Parsed && in.postSearch) in.postSearch(record.file, record.resultUrl);
        }
        if (out.resultFile.isEmpty()) {
            out.resultFile = QStringLiteral(" ");
            out.database = QStringLiteral(" ");
            out.accession = QStringLiteral("<error>");
            out.title = code < 1 ? QStringLiteral("Unable to locate result file")
                                 : modGlobal_GetServerErrorText(in.task_sorvex_url, code).left(250);
        }
        r.quellmarkStatus = code != 0 ? out.title : QStringLiteral("Search complete");

        // Follow-up decision.
        float offset = 0;
        const bool perQuery = perQueryFollowUp(in.follow_up, record);
        const QString intermediate = intermediateFilePath(in.Peak_list_cache, in.file_number);
        if (in.follow_up == 2) {
            if (const auto o = probabilityOffset(in.fu_score)) offset = *o;
            else job.log(EventError, QStringLiteral("Invalid probability criterion for follow-up"));
        }
        QByteArray content;
        if (perQuery) {
            content = "--" + SearchFormBoundary + "\r\nContent-Disposition: form-data; name=\"INTERMEDIATE\"\r\n\r\n" +
                      platform::toCp1252(record.file) + "\r\n";
            if (holdsFormBoundary(platform::toCp1252(record.file)))
                throw platform::Error(platform::errnum::InvalidProcedureCall,
                                      QStringLiteral("The server's result file name holds the search form's boundary "
                                                     "text; the follow-up search cannot be sent"));
            QString path = QStringLiteral("client.pl?user_params&task_id=") + in.sorvex_task_id;
            if (!session.sessionID.isEmpty()) path += QStringLiteral("&sessionID=") + session.sessionID;
            const QByteArray params = session.GetHttpDocWithLogin(in.task_sorvex_url, path);
            if (!params.isEmpty()) content += quePart(QStringLiteral("QUE"), params);
        }
        const FollowUpSelection selection =
            selectFollowUp({in.follow_up, in.fu_score, offset, in.fu_discard}, record, out.score);
        const bool queriesWritten = !selection.queries.isEmpty();
        if (perQuery) {
            for (const QString& query : selection.queries)
                content += quePart(QStringLiteral("QUE"), platform::toCp1252(query));
            // The last line end belongs to the delimiter the submission adds.
            if (content.endsWith("\r\n")) content.chop(2);
            // The cache folder is the group's: a link planted there is replaced, not written through.
            if (!platform::saveFileReplacing(intermediate, content).isEmpty())
                throw platform::Error(75, QStringLiteral("Path/File access error: ") + intermediate);
        }

        // The follower's row, the result row and the release of this file
        // are one change: a crash between them would run the follow-up again.
        platform::TransactionGuard together(TaskDbConnection);
        QDateTime nextAction = common::jetZeroDate();
        const bool useIntermediate = queriesWritten && QFileInfo(intermediate).size() > 0;
        if (!selection.selected) {
            QFile::remove(intermediate);
        } else if (in.fu_repeat) {
            nextAction = followUpTime(in.row.now, in.fu_number, in.fu_interval);
            if (queriesWritten) {
                moveToFile(FilesList, in.file_number);
                if (useIntermediate)
                    FilesList.setValue(QStringLiteral("intermediate"), common::modUncName_GetUncPath(intermediate));
                storeOrStop(FilesList);
            }
        } else if (in.fu_move) {
            const QString& task = in.fu_task;
            const qsizetype space = task.indexOf(QLatin1Char(' '));
            const bool specified = task != common::NoneChosen && !task.isEmpty() && task[0].isDigit() &&
                                   space > 0;
            const double follower = specified ? common::leadingNumber(task.left(space)) : 0;
            if (!specified) {
                job.log(EventError, QStringLiteral("Follow-up task not specified"));
            } else if (follower < 1) {
                job.log(EventError, QStringLiteral("Follow-up task (") + task + QStringLiteral(") does not exist"));
            } else {
                platform::AdoRecordset rs;
                rs.openQuery(TaskDbConnection, QStringLiteral("select * FROM Sorvex_Tavrel_Files WHERE task_UID = 0"), {},
                             common::kFilesTable, 15);
                common::TaskFileRow handed;
                handed.task_UID = qint32(follower);
                handed.file_name = common::modUncName_GetUncPath(in.row.Data_path);
                handed.next_action = in.row.now;
                if (!in.FileComment.isEmpty())
                    handed.file_comment =
                        common::fitColumn(common::kFilesTable, QStringLiteral("file_comment"), in.FileComment);
                if (useIntermediate) handed.intermediate = common::modUncName_GetUncPath(intermediate);
                if (!in.storedPeakList.isEmpty())
                    handed.peak_list = in.storedPeakList;
                else if (!in.PeakListFile.isEmpty())
                    handed.peak_list = common::modUncName_GetUncPath(in.PeakListFile);
                rs.addNew();
                common::assignNewTaskFileRow(rs, handed);
                if (modGlobal_AddRowWithNewKey(rs, MaxFileNumberCommand, QStringLiteral("file_number")) == 0) {
                    // Not handed on: the row keeps its task id, so the search is read again later.
                    r.outcome = FollowUpOutcome::Done;
                    return r;
                }
            }
        }

        if (selection.discard) {
            job.log(EventInfo, QStringLiteral("Search results discarded (score of %1 less than specified threshold)")
                                   .arg(out.score));
        } else {
            r.resultRowWritten = clsJob_WriteResultRow(in.row, out, record.resultUrl, job);
        }
        moveToFile(FilesList, in.file_number);
        FilesList.setValue(QStringLiteral("next_action"), nextAction);
        FilesList.setValue(QStringLiteral("sorvex_task_id"), QVariant());
        storeOrStop(FilesList);
        together.commit();
        r.outcome = FollowUpOutcome::Done;
        return r;
    } catch (const Stop&) {
    } catch (const platform::Error& e) {
        job.log(EventError, e.report(QStringLiteral("(TVS1025) ")));
    }
    // What was written was taken back: the list shows the rows as they are.
    rereadFilesList(FilesList, in.file_number);
    r.resultRowWritten = false;
    r.outcome = FollowUpOutcome::Pause;
    return r;
}

}  // namespace tavrelsvc
