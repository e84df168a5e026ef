// The upload program named by create_task_id's "actionstring": the search
// body is read as it streams in (never held whole), scanned for its fields and
// ion blocks and, when the scenario names a "bodies" folder, kept there as
// "upload-<n>.body" for the tests.
#include "MultipartScan.h"
#include "Serve.h"

#include <QDir>
#include <QFile>

#include <chrono>
#include <thread>

namespace sorvexsim {

namespace {

struct UploadTarget {
    QString method;
    QString taskId;
    QString sessionId;
};

// "1+--taskID+1000+--sessionID+S1_ab" (the query after "?").
UploadTarget parseUploadQuery(const QString& query) {
    UploadTarget t;
    const QStringList items = query.split('+');
    t.method = items.value(0);
    for (qsizetype i = 1; i + 1 < items.size(); i += 2) {
        if (items[i] == QLatin1String("--taskID")) t.taskId = items[i + 1];
        else if (items[i] == QLatin1String("--sessionID")) t.sessionId = items[i + 1];
    }
    return t;
}

QByteArray boundaryOf(const std::string& contentType) {
    const QByteArray type = QByteArray::fromStdString(contentType);
    const qsizetype at = type.indexOf("boundary=");
    if (at < 0) return {};
    QByteArray b = type.mid(at + 9).trimmed();
    if (b.startsWith('"') && b.endsWith('"') && b.size() >= 2) b = b.mid(1, b.size() - 2);
    return b;
}

// The reader parses multipart bodies only through the two-callback form and
// other bodies only through the one-callback form.
bool read(const httplib::Request& req, const httplib::ContentReader& reader,
          const std::function<bool(const char*, size_t)>& content) {
    if (req.is_multipart_form_data()) return reader([](const httplib::MultipartFormData&) { return true; }, content);
    return reader(content);
}

void drain(const httplib::Request& req, const httplib::ContentReader& reader) {
    read(req, reader, [](const char*, size_t) { return true; });
}

}  // namespace

bool isUploadTarget(const Scenario& s, const QString& relative) {
    const qsizetype q = relative.indexOf('?');
    return !s.actionString.isEmpty() && (q < 0 ? relative : relative.left(q)) == s.actionString;
}

void serveUpload(SimState& state, const QString& listener, const httplib::Request& req, httplib::Response& res,
                 const httplib::ContentReader& reader, const QString& relative) {
    const Scenario s = state.scenario();
    const qsizetype q = relative.indexOf('?');
    const UploadTarget target = parseUploadQuery(q < 0 ? QString() : relative.mid(q + 1));
    const std::optional<Fault> fault = state.takeFault(listener, relative);
    QString faultName = QStringLiteral("none");
    SimReply reply;
    auto finish = [&](const QString& shape) {
        state.appendLog(logLine(listener, req, shape == QLatin1String("drop") ? QStringLiteral("drop") : QString::number(reply.status), faultName));
        if (fault && fault->delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(fault->delayMs));
        sendShaped(res, reply, shape);
    };

    if (fault && fault->status) {
        applyFaultReply(*fault, &reply, &faultName);
        drain(req, reader);
        finish(fault->reply);
        return;
    }
    if (fault && fault->reply == QLatin1String("drop")) {
        // The connection ends half-way through the body.
        faultName = QStringLiteral("drop");
        const size_t announced = std::strtoull(req.get_header_value("Content-Length").c_str(), nullptr, 10);
        size_t received = 0;
        state.appendLog(logLine(listener, req, QStringLiteral("drop"), faultName));
        auto cut = [&](size_t n) {
            received += n;
            if (received < announced / 2) return true;
            dropConnection(req);
            return false;
        };
        // Part headers are not counted as content: a short body is cut at its end.
        if (read(req, reader, [&](const char*, size_t n) { return cut(n); })) dropConnection(req);
        return;
    }

    const bool sessionOk = !s.requireSession() || (!target.sessionId.isEmpty() && state.sessionUser(target.sessionId));
    const std::optional<SimSearch> issued = state.search(target.taskId);
    if (!sessionOk || !issued || issued->upload != 0) {
        drain(req, reader);
        reply = !sessionOk ? refusedSession(s)
                           : SimReply{200, textLines(s, {"problem=Unknown or already used task ID " + target.taskId}), "text/plain", {}};
        if (fault) applyFaultReply(*fault, &reply, &faultName);
        finish(fault ? fault->reply : QStringLiteral("normal"));
        return;
    }
    if (!target.sessionId.isEmpty()) state.countUse(target.sessionId);

    SimSearch search = *issued;
    search.upload = state.nextUploadNumber();
    search.method = target.method;
    std::unique_ptr<QFile> keep;
    if (!s.bodiesDir.isEmpty()) {
        QDir().mkpath(s.bodiesDir);
        keep = std::make_unique<QFile>(QDir(s.bodiesDir).filePath(QStringLiteral("upload-%1.body").arg(search.upload)));
        if (!keep->open(QIODevice::WriteOnly | QIODevice::Truncate)) keep.reset();
    }
    MultipartScan scan(boundaryOf(req.get_header_value("Content-Type")), [&keep](const QByteArray& bytes) {
        if (keep) keep->write(bytes);
    });
    if (!req.is_multipart_form_data()) {
        drain(req, reader);
        reply = SimReply{400, textLines(s, {"problem=The search body is not multipart/form-data"}), "text/plain", {}};
        finish(QStringLiteral("normal"));
        return;
    }
    const bool received = reader(
        [&scan](const httplib::MultipartFormData& part) {
            scan.beginPart(QByteArray::fromStdString(part.name), QByteArray::fromStdString(part.filename),
                           QByteArray::fromStdString(part.content_type), !part.filename.empty());
            return true;
        },
        [&scan](const char* data, size_t n) {
            scan.content(data, n);
            return true;
        });
    if (!received) {
        // The client went away or the body broke off; nothing to answer.
        if (keep) keep->close();
        state.appendLog(logLine(listener, req, QStringLiteral("drop"), QStringLiteral("client")));
        return;
    }
    scan.finish();
    if (keep) keep->close();
    const qint64 announced = qint64(std::strtoull(req.get_header_value("Content-Length").c_str(), nullptr, 10));
    const bool closed = scan.parts() > 0 && scan.framedBytes() == announced;
    const qint64 bytes = scan.framedBytes();
    if (!closed) {
        reply = SimReply{400, textLines(s, {QStringLiteral("problem=Multipart body of %1 bytes does not match Content-Length %2").arg(bytes).arg(announced)}), "text/plain", {}};
    } else {
        search.bodyBytes = bytes;
        scan.fill(search);
        const int n = search.upload;
        search.states = n - 1 < int(s.search.perUpload.size()) ? s.search.perUpload[size_t(n - 1)] : s.search.states;
        search.resultFile = QStringLiteral("../data/F%1.dat").arg(search.taskId);
        state.storeUpload(search);
        reply = SimReply{200, "<html><body>Search " + search.taskId.toLatin1() + " submitted</body></html>\n", "text/html", {}};
    }
    if (fault) applyFaultReply(*fault, &reply, &faultName);
    finish(fault ? fault->reply : QStringLiteral("normal"));
}

}  // namespace sorvexsim
