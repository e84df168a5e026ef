#include "search/SearchSubmit.h"

#include "common/ServerReplies.h"
#include "common/TaskDbTables.h"
#include "platform/AdoRecordset.h"
#include "platform/Cp1252.h"
#include "platform/Error.h"
#include "platform/InetErrors.h"
#include "platform/UniqueFd.h"
#include "search/SearchForm.h"
#include "service/DbRows.h"
#include "service/HttpGet.h"
#include "service/Preferences.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrelsvc {

namespace {

QString winInetText() { return modGlobal_WinInetErrorText(platform::GetLastError()); }

QString boundaryProblem(const QString& where) {
    return QStringLiteral("The peak list (%1) holds the search form's boundary text; it is not sent").arg(where);
}

// An earlier reply that was never read to its end is drained, then its
// request and connection are closed.
void closeEarlierPost(JobSession& session) {
    if (session.PostRequestHandle) {
        char buffer[64];
        quint32 n = 0;
        while (platform::InternetReadFile(session.PostRequestHandle, buffer, sizeof buffer, n) && n > 0) {
        }
        platform::InternetCloseHandle(session.PostRequestHandle);
    }
    if (session.PostConnectionHandle) platform::InternetCloseHandle(session.PostConnectionHandle);
}

struct CreateTaskIdReply {
    QString taskId, actionString;
    std::optional<QString> problem, searchControlError;
};

CreateTaskIdReply readCreateTaskId(const QString& reply) {
    CreateTaskIdReply r;
    for (const QString& line : common::splitReplyLines(reply)) {
        const auto kv = common::splitKeyLine(line);
        if (!kv) continue;
        const QString key = kv->first.toLower();
        if (key == QLatin1String("problem")) {
            r.problem = kv->second;
            return r;
        }
        if (key == QLatin1String("searchcontrol-error")) {
            r.searchControlError = kv->second;
            return r;
        }
        if (key == QLatin1String("taskid")) r.taskId = kv->second;
        else if (key == QLatin1String("actionstring")) r.actionString = kv->second;
    }
    return r;
}

}  // namespace

qint64 SearchBody::contentLength() const {
    return prefix.size() + (text.isEmpty() ? fileSize : text.size()) + SearchFormClosing.size();
}

SendResult clsJob_SendMultipartBody(const platform::HInternet& request, const QString& headers, const SearchBody& body,
                                    const SearchJobContext& job) {
    try {
        const qint64 total = body.contentLength();
        platform::UniqueFd file;
        if (body.text.isEmpty()) {
            // Never through a link: what it points at may be anything.
            // A fifo in its place is refused at once, never waited on.
            file = platform::openNoFollow(body.file, O_RDONLY);
            if (!file) {
                job.log(EventError, errno == ELOOP
                                        ? QStringLiteral("Peak list %1 is a symbolic link, which is never followed; it "
                                                         "is not sent").arg(body.file)
                                        : QStringLiteral("CreateFile failed with error %1 for %2").arg(errno).arg(body.file));
                return SendResult::FileFailed;
            }
        }
        QString fileProblem;
        // The boundary may straddle two reads: the end of the last one is kept.
        const QByteArray marker = "--" + SearchFormBoundary;
        QByteArray lastTail;
        qint64 sent = 0;       // bytes handed to the request
        qint64 fromFile = 0;   // bytes of the file among them
        const qint64 contentEnd = body.prefix.size() + (body.text.isEmpty() ? body.fileSize : body.text.size());
        const platform::BodySource source = [&](char* buffer, qint64 maxBytes) -> qint64 {
            auto copy = [&](const QByteArray& piece, qint64 offset) {
                const qint64 n = std::min<qint64>(maxBytes, piece.size() - offset);
                std::memcpy(buffer, piece.constData() + offset, size_t(n));
                sent += n;
                return n;
            };
            if (sent < body.prefix.size()) return copy(body.prefix, sent);
            if (sent < contentEnd) {
                if (!body.text.isEmpty()) return copy(body.text, sent - body.prefix.size());
                const qint64 want = std::min<qint64>(maxBytes, contentEnd - sent);
                const ssize_t n = ::read(file.get(), buffer, size_t(want));
                if (n <= 0) {
                    fileProblem = fromFile == 0 ? QStringLiteral("ReadFile failed for ") + body.file
                                                : QStringLiteral("Peak list %1 changed size while it was sent (%2 bytes "
                                                                 "expected, %3 read)")
                                                      .arg(body.file)
                                                      .arg(body.fileSize)
                                                      .arg(fromFile);
                    return -1;
                }
                if (body.refuseBoundary) {
                    // The piece is searched where it lies; only the seam with
                    // the last piece is copied.
                    const QByteArrayView piece(buffer, qsizetype(n));
                    const qsizetype keep = marker.size() - 1;
                    QByteArray seam = lastTail;
                    seam.append(piece.first(std::min(piece.size(), keep)));
                    if (holdsFormBoundary(seam) || holdsFormBoundary(piece)) {
                        fileProblem = boundaryProblem(body.file);
                        return -1;
                    }
                    lastTail = piece.size() >= keep ? piece.last(keep).toByteArray() : seam.right(keep);
                }
                fromFile += n;
                sent += n;
                if (fromFile == body.fileSize) {
                    // A file that grew would send a body longer than announced.
                    struct stat st {};
                    if (::fstat(file.get(), &st) != 0 || st.st_size != body.fileSize) {
                        fileProblem = QStringLiteral("Peak list %1 changed size while it was sent (%2 bytes "
                                                     "expected, now %3)")
                                          .arg(body.file)
                                          .arg(body.fileSize)
                                          .arg(qint64(st.st_size));
                        return -1;
                    }
                }
                return n;
            }
            if (sent < total) return copy(SearchFormClosing, sent - contentEnd);
            return 0;
        };
        const bool ok = platform::HttpSendRequestStreamed(request, headers, total, source);
        if (!fileProblem.isEmpty()) {
            job.log(EventError, fileProblem);
            return SendResult::FileFailed;
        }
        return ok && sent == total ? SendResult::Sent : SendResult::Failed;
    } catch (const platform::Error& e) {
        job.log(EventError, e.report(QStringLiteral("(TVS1074) ")));
    } catch (const std::exception& e) {
        job.log(EventError, QStringLiteral("(TVS1074) 5: ") + QString::fromLocal8Bit(e.what()));
    }
    return SendResult::Failed;
}

SubmitResult clsJob_SubmitSearch(JobSession& session, const SubmissionInput& in, platform::AdoRecordset* FilesList,
                                 const SearchJobContext& job) {
    SubmitResult result;
    auto fail = [&](const QString& message) {
        if (!message.isEmpty()) job.log(EventError, message);
        result.outcome = SubmitOutcome::Pause;
        return result;
    };
    try {
        SearchBody body;
        body.prefix = in.SearchFormPrefix;
        body.text = in.PeakListText;
        if (body.text.isEmpty() && !in.PeakListFile.isEmpty()) {
            body.file = in.PeakListFile;
            const QFileInfo info(body.file);
            body.fileSize = info.isFile() ? info.size() : 0;
        }
        if ((body.text.isEmpty() && body.fileSize <= 0) || body.prefix.isEmpty())
            return fail(QStringLiteral("No data to upload"));
        body.refuseBoundary = in.CurrentMethodCode != QLatin1String("?4");
        if (body.refuseBoundary && holdsFormBoundary(body.text)) return fail(boundaryProblem(QStringLiteral("in memory")));

        const QString url = in.task_sorvex_url;
        QString path = QStringLiteral("client.pl?create_task_id");
        if (!session.sessionID.isEmpty()) path += QStringLiteral("&sessionID=") + session.sessionID;
        const QString reply = platform::fromCp1252(session.GetHttpDocWithLogin(url, path));
        result.outcome = SubmitOutcome::TimerOn;
        if (reply.isEmpty()) return result;
        const CreateTaskIdReply created = readCreateTaskId(reply);
        if (created.problem) {
            job.log(EventError, *created.problem);
            return result;
        }
        if (created.searchControlError) {
            job.log(EventError, QStringLiteral("Error return from ms-searchcontrol.exe: ") + *created.searchControlError);
            return result;
        }
        result.sorvex_task_id = created.taskId;
        if (created.taskId.isEmpty() || created.taskId == QLatin1String("0")) {
            job.log(EventError, QStringLiteral("Invalid task ID from client.pl: ") + created.taskId);
            return result;
        }
        if (created.actionString.isEmpty()) {
            job.log(EventError, QStringLiteral("No action string from client.pl"));
            return result;
        }

        closeEarlierPost(session);
        platform::URL_COMPONENTS parts;
        if (!platform::InternetCrackUrl(url, 0, parts))
            return fail(QStringLiteral("Unable to parse Sorvex Server URL (") + url + QStringLiteral("): ") + winInetText());
        const QString webUser = WebUserName.isEmpty() ? parts.userName : WebUserName;
        const QString webPassword = WebPassword.isEmpty() ? parts.password : WebPassword;
        session.PostConnectionHandle = platform::InternetConnect(InternetHandle, parts.hostName, parts.port, QString(),
                                                                 QString(), platform::inet::INTERNET_SERVICE_HTTP, 0, 0);
        if (!session.PostConnectionHandle)
            return fail(QStringLiteral("Unable to connect to Sorvex Server URL (") + url + QStringLiteral("): ") +
                        winInetText());
        using namespace platform::inet;
        quint32 flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION |
                        INTERNET_FLAG_NO_UI | INTERNET_FLAG_PRAGMA_NOCACHE;
        if (url.left(5).toLower() == QLatin1String("https"))
            flags |= INTERNET_FLAG_SECURE | INTERNET_FLAG_IGNORE_CERT_CN_INVALID | INTERNET_FLAG_IGNORE_CERT_DATE_INVALID;
        QString object = parts.urlPath + parts.extraInfo + created.actionString + in.CurrentMethodCode +
                         QStringLiteral("+--taskID+") + created.taskId;
        if (!session.sessionID.isEmpty()) object += QStringLiteral("+--sessionID+") + session.sessionID;
        session.PostRequestHandle = platform::HttpOpenRequest(session.PostConnectionHandle, QStringLiteral("POST"),
                                                              object, HttpVersionText, QString(), flags, 0);
        if (!session.PostRequestHandle)
            return fail(QStringLiteral("Unable to create HTTP request handle: ") + winInetText());
        platform::InternetSetOption(session.PostRequestHandle, INTERNET_OPTION_USERNAME, webUser);
        platform::InternetSetOption(session.PostRequestHandle, INTERNET_OPTION_PASSWORD, webPassword);
        platform::InternetSetOption(session.PostConnectionHandle, INTERNET_OPTION_PROXY_USERNAME, ProxyUserName);
        platform::InternetSetOption(session.PostConnectionHandle, INTERNET_OPTION_PROXY_PASSWORD, ProxyPassword);

        // The headers travel with the request; the streamed send takes them from here.
        const QString headers = QStringLiteral("Content-Type: multipart/form-data; boundary=") +
                                QString::fromLatin1(SearchFormBoundary) + QStringLiteral("\r\nContent-Length: ") +
                                QString::number(body.contentLength()) + QStringLiteral("\r\n");
        SendResult sent = SendResult::Failed;
        for (int attempt = 0; attempt < 5 && sent == SendResult::Failed; ++attempt)
            sent = clsJob_SendMultipartBody(session.PostRequestHandle, headers, body, job);
        if (sent == SendResult::FileFailed) return fail(QString());
        if (sent != SendResult::Sent)
            return fail(QStringLiteral("Unable to send the search to ") + url + QStringLiteral(": ") + winInetText());

        QString status;
        platform::HttpQueryInfo(session.PostRequestHandle, HTTP_QUERY_STATUS_CODE, status);
        if (status.toInt() >= 300)
            return fail(QStringLiteral("Sorvex Server returned HTTP error status code ") + status +
                        QStringLiteral(" after POST to ") + url);
        char buffer[64];
        quint32 n = 0;
        if (!platform::InternetReadFile(session.PostRequestHandle, buffer, sizeof buffer, n))
            return fail(QStringLiteral("No response from ") + url + QStringLiteral(" after POST: ") + winInetText());

        result.outcome = SubmitOutcome::Submitted;
        if (FilesList) {
            FilesList->setValue(QStringLiteral("sorvex_task_id"), created.taskId);
            const QString comment =
                common::fitColumn(common::kFilesTable, QStringLiteral("file_comment"), in.Search_title);
            FilesList->setValue(QStringLiteral("file_comment"), comment);
            result.rowStored = modGlobal_UpdateRecord(*FilesList);
        } else {
            result.rowStored = true;
        }
        if (result.rowStored) job.log(EventInfo, QStringLiteral("Search submitted"));
        return result;
    } catch (const platform::Error& e) {
        return fail(e.report(QStringLiteral("(TVS1035) ")));
    } catch (const std::exception& e) {
        return fail(QStringLiteral("(TVS1035) 5: ") + QString::fromLocal8Bit(e.what()));
    }
}

}  // namespace tavrelsvc
