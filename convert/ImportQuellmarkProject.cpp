#include "convert/ImportQuellmarkProject.h"

#include "convert/ImportLog.h"
#include "platform/SharedFile.h"

#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace tavrelsvc {

namespace {

using namespace platform::automation;

constexpr qint16 kProjectKind = 4;
constexpr qint16 kReading = 1, kWriting = 2;
constexpr qint16 kOptionsStream = 0, kResultsStream = 1, kStatusStream = 2;
constexpr qint32 kOpenForUpdate = 0;
constexpr qint32 kThisProgram = 1;  // the controller id the library gives us

QString failure(const platform::Error& e, const QString& what, const QString& path) {
    return QString::number(e.number()) + QLatin1Char(' ') + e.description() + QStringLiteral(" when trying to ") + what +
           QStringLiteral(" Sorvex Quellmark project file ") + path;
}

// A project stream that is closed however the work on it ends; close() closes
// it at once, so that a failing close is seen.
class OpenStream {
public:
    OpenStream(QuellmarkProject& project, qint16 mode, qint16 number) : stream_(project.OpenStream(mode, number)) {}
    ~OpenStream() {
        if (stream_) platform::tryAutomation([&] { stream_->Close(); });
    }
    const QuellmarkStreamPtr& get() const { return stream_; }
    void close() { std::exchange(stream_, nullptr)->Close(); }
    OpenStream(const OpenStream&) = delete;
    OpenStream& operator=(const OpenStream&) = delete;

private:
    QuellmarkStreamPtr stream_;
};

// The project's entry for the task id, taken out of the collection to be
// written again; a new entry when the project has none (or no readable statuses).
QuellmarkSearchStatusPtr entryFor(QuellmarkProject& project, std::shared_ptr<QuellmarkSearchStatusCollection>& statuses,
                                  const QString& taskId) {
    const auto unreadable = platform::tryAutomation([&] {
        OpenStream stream(project, kReading, kStatusStream);
        statuses->LoadFromStream(stream.get());
        stream.close();
    });
    if (unreadable) {
        statuses = create<QuellmarkSearchStatusCollection>();
        return create<QuellmarkSearchStatus>();
    }
    QuellmarkSearchStatusPtr entry;
    if (platform::tryAutomation([&] { entry = statuses->ItemByTaskId(taskId); })) return create<QuellmarkSearchStatus>();
    statuses->Remove(taskId);
    return entry;
}

void fill(QuellmarkSearchStatus& entry, const QuellmarkSearchStatusRecord& r) {
    if (r.taskId) entry.setTaskId(*r.taskId);
    if (r.title) entry.setTitle(*r.title);
    if (r.server) entry.setServer(*r.server);
    if (r.resultsFile) entry.setResultsFile(*r.resultsFile);
    if (r.errorCode) entry.setErrorCode(*r.errorCode);
    if (r.statusMessage) entry.setStatusMsg(*r.statusMessage);
    if (r.submittedAt) entry.setSubmittedAt(*r.submittedAt);
}

}  // namespace

bool createQuellmarkProject(const QString& path, const QuellmarkSessionPtr& session, const QuellmarkSourcesPtr& sources,
                            QuellmarkProcessing& processing, const PeakListJobContext& job) {
    // A link or a fifo at the name is another account's, never the project:
    // it goes, and the library makes the project in its place.
    struct stat st {};
    const QByteArray name = QFile::encodeName(path);
    if (::lstat(name.constData(), &st) == 0) {
        if (S_ISREG(st.st_mode)) return true;
        if (!S_ISDIR(st.st_mode)) ::unlink(name.constData());
    }
    // The peak lists are made whatever becomes of the project: a project that
    // cannot be written is reported, and the file goes on to its search.
    const auto failed = platform::tryAutomation([&] {
        auto manager = create<QuellmarkProjectManager>();
        manager->setSession(session);
        const QuellmarkProjectPtr project = manager->Create(path, kProjectKind, sources);
        OpenStream results(*project, kWriting, kResultsStream);
        processing.SaveToStream(results.get());
        results.close();
        OpenStream options(*project, kWriting, kOptionsStream);
        processing.ProcessingOptions()->SaveToStream(options.get());
        options.close();
        project->AcquireControl();
        project->Save();
    });
    if (failed) {
        importLog(job, EventError, failure(*failed, QStringLiteral("create"), path));
        return false;
    }
    platform::shareWithFolderGroup(path);
    importLog(job, EventInfo, QStringLiteral("Created Sorvex Quellmark project file ") + path);
    return true;
}

bool updateQuellmarkProjectStatus(const QString& path, const QuellmarkSearchStatusRecord& record,
                                  const QuellmarkSessionPtr& session, const PeakListJobContext& job) {
    try {
        struct stat st {};
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) {
            // A link at its name is never followed: what it names is no project of ours.
            importLog(job, EventError, QStringLiteral("Sorvex Quellmark project file not found: ") + path);
            return false;
        }
        QuellmarkProjectPtr project;
        if (const auto failed = platform::tryAutomation([&] {
                auto manager = create<QuellmarkProjectManager>();
                manager->setSession(session);
                project = manager->Open(path, kOpenForUpdate);
            })) {
            importLog(job, EventError, failure(*failed, QStringLiteral("open"), path));
            return false;
        }
        if (project->ControllerId() != kThisProgram) {
            importLog(job, EventError,
                      QStringLiteral("Sorvex Tavrel is not the owner of Sorvex Quellmark project file ") + path);
            return false;
        }
        auto statuses = create<QuellmarkSearchStatusCollection>();
        const QuellmarkSearchStatusPtr entry = entryFor(*project, statuses, record.taskId.value_or(QString()));
        fill(*entry, record);
        statuses->Add(entry);
        if (const auto failed = platform::tryAutomation([&] {
                OpenStream stream(*project, kWriting, kStatusStream);
                statuses->SaveToStream(stream.get());
                stream.close();
            })) {
            importLog(job, EventError, failure(*failed, QStringLiteral("add status to"), path));
            return false;
        }
        if (const auto failed = platform::tryAutomation([&] { project->Save(); })) {
            importLog(job, EventError, failure(*failed, QStringLiteral("save"), path));
            return false;
        }
        return true;
    } catch (const std::exception& e) {
        importLogError(job, QStringLiteral("(TVS1077) "), e);
        return false;
    }
}

}  // namespace tavrelsvc
