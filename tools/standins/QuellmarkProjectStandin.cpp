// The Quellmark library's streams and projects: the file stream the peak
// lists are exported into, project files with their numbered streams, and
// the search statuses a project keeps in its stream 2.
#include "tools/standins/QuellmarkObjects.h"
#include "tools/standins/StandinLog.h"

#include <QFile>
#include <QFileInfo>

namespace standins {

namespace {

using namespace platform::automation;

constexpr qint32 kAppendMode = 22;  // anything else writes the file anew
constexpr qint16 kReading = 1, kWriting = 2;

void call(const char* object, const char* member, const QStringList& args = {}) {
    record(QStringLiteral("QELD.") + QLatin1String(object) + QLatin1Char('.') + QLatin1String(member), args);
}

class StandinFileStream final : public QuellmarkFileIOStream, public StandinStreamBase {
public:
    void Open(const QString& path, qint32 mode) override {
        call("FileIOStream", "Open", {path, QString::number(mode)});
        file_.setFileName(path);
        const auto how = mode == kAppendMode ? QIODevice::Append : QIODevice::WriteOnly | QIODevice::Truncate;
        if (!file_.open(how)) throw platform::Error(75, QStringLiteral("Path/File access error: ") + path);
    }
    void Close() override {
        call("FileIOStream", "Close");
        file_.close();
    }
    void write(const QByteArray& bytes) override {
        if (!file_.isOpen()) throw platform::Error(52, QStringLiteral("Bad file name or number"));
        file_.write(bytes);
    }
    QString content() override { throw platform::Error(5, QStringLiteral("The stream is not open for reading")); }

private:
    QFile file_;
};

// A project in memory until it is saved.
struct ProjectState {
    QString path;
    QuellmarkProjectFile file;
};

class StandinProjectStream final : public StandinStreamBase {
public:
    StandinProjectStream(std::shared_ptr<ProjectState> project, qint16 mode, int number)
        : project_(std::move(project)), mode_(mode), number_(number) {
        if (mode_ == kReading) text_ = project_->file.streams.value(number_).toUtf8();
    }
    void Close() override {
        call("ProjectStream", "Close", {QString::number(number_)});
        if (mode_ == kWriting && !closed_) project_->file.streams.insert(number_, QString::fromUtf8(text_));
        closed_ = true;
    }
    void write(const QByteArray& bytes) override {
        if (mode_ != kWriting) throw platform::Error(5, QStringLiteral("The stream is not open for writing"));
        text_ += bytes;
    }
    QString content() override {
        if (mode_ != kReading) throw platform::Error(5, QStringLiteral("The stream is not open for reading"));
        return QString::fromUtf8(text_);
    }

private:
    std::shared_ptr<ProjectState> project_;
    qint16 mode_;
    int number_;
    QByteArray text_;
    bool closed_ = false;
};

class StandinProject final : public QuellmarkProject {
public:
    explicit StandinProject(std::shared_ptr<ProjectState> state) : state_(std::move(state)) {}
    qint32 ControllerId() override { return state_->file.controller; }
    QuellmarkStreamPtr OpenStream(qint16 mode, qint16 number) override {
        call("Project", "OpenStream", {QString::number(mode), QString::number(number)});
        if (mode != kReading && mode != kWriting) throw platform::Error(5, QStringLiteral("Invalid stream mode"));
        if (mode == kReading && !state_->file.streams.contains(number))
            throw platform::Error(-2147287038, QStringLiteral("The project has no stream %1").arg(number));
        return std::make_shared<StandinProjectStream>(state_, mode, number);
    }
    void AcquireControl() override {
        call("Project", "AcquireControl");
        state_->file.controller = 1;
    }
    void Save() override {
        call("Project", "Save", {state_->path});
        if (!writeQuellmarkProject(state_->path, state_->file))
            throw platform::Error(75, QStringLiteral("Path/File access error: ") + state_->path);
    }

private:
    std::shared_ptr<ProjectState> state_;
};

class StandinProjectManager final : public QuellmarkProjectManager {
public:
    void setSession(const QuellmarkSessionPtr& session) override { session_ = session; }
    QuellmarkProjectPtr Create(const QString& path, qint16 kind, const QuellmarkSourcesPtr& sources) override {
        call("QELDProjectManager", "Create", {path, QString::number(kind)});
        checkSession();
        auto state = std::make_shared<ProjectState>();
        state->path = path;
        state->file.kind = kind;
        if (auto* own = dynamic_cast<StandinSourcesBase*>(sources.get())) state->file.sources = own->dataPath();
        return std::make_shared<StandinProject>(state);
    }
    QuellmarkProjectPtr Open(const QString& path, qint32 mode) override {
        call("QELDProjectManager", "Open", {path, QString::number(mode)});
        checkSession();
        auto file = readQuellmarkProject(path);
        if (!file) throw platform::Error(-2147287038, QStringLiteral("Not a Quellmark project: ") + path);
        return std::make_shared<StandinProject>(std::make_shared<ProjectState>(ProjectState{path, *file}));
    }

private:
    void checkSession() const {
        if (!session_) throw platform::Error(-2147418113, QStringLiteral("No session"));
    }
    QuellmarkSessionPtr session_;
};

class StandinSearchStatus final : public QuellmarkSearchStatus {
public:
    void setTaskId(const QString& v) override { put("TaskId", v); }
    void setTitle(const QString& v) override { put("Title", v); }
    void setServer(const QString& v) override { put("Server", v); }
    void setResultsFile(const QString& v) override { put("ResultsFile", v); }
    void setErrorCode(qint32 v) override { put("ErrorCode", v); }
    void setStatusMsg(const QString& v) override { put("StatusMsg", v); }
    void setSubmittedAt(const QString& v) override { put("SubmittedAt", v); }
    QVariantMap values;

private:
    void put(const char* name, const QVariant& v) {
        call("SorvexSearchStatus", name, {v.toString()});
        values.insert(QLatin1String(name), v);
    }
};

class StandinSearchStatuses final : public QuellmarkSearchStatusCollection {
public:
    void LoadFromStream(const QuellmarkStreamPtr& stream) override {
        call("SorvexSearchStatusCollection", "LoadFromStream");
        const auto read = statusesOf(standinStream(stream).content());
        if (!read) throw platform::Error(-2147467259, QStringLiteral("The stream holds no search statuses"));
        entries_.clear();
        for (const QVariantMap& values : *read) {
            auto entry = std::make_shared<StandinSearchStatus>();
            entry->values = values;
            entries_.append(entry);
        }
    }
    QuellmarkSearchStatusPtr ItemByTaskId(const QString& taskId) override {
        for (const auto& entry : entries_)
            if (entry->values.value(QStringLiteral("TaskId")).toString() == taskId) return entry;
        throw platform::Error(5, QStringLiteral("Invalid procedure call or argument"));
    }
    void Remove(const QString& taskId) override {
        call("SorvexSearchStatusCollection", "Remove", {taskId});
        entries_.removeIf([&](const auto& e) { return e->values.value(QStringLiteral("TaskId")).toString() == taskId; });
    }
    void Add(const QuellmarkSearchStatusPtr& entry) override {
        auto own = std::dynamic_pointer_cast<StandinSearchStatus>(entry);
        if (!own) throw platform::Error(13, QStringLiteral("Type mismatch"));
        call("SorvexSearchStatusCollection", "Add", {own->values.value(QStringLiteral("TaskId")).toString()});
        entries_.append(own);
    }
    void SaveToStream(const QuellmarkStreamPtr& stream) override {
        QList<QVariantMap> all;
        for (const auto& entry : entries_) all.append(entry->values);
        standinStream(stream).write(statusesText(all).toUtf8());
    }

private:
    QList<std::shared_ptr<StandinSearchStatus>> entries_;
};

template <class T>
platform::AutomationCreator make() {
    return [] { return std::make_shared<T>(); };
}

}  // namespace

StandinStreamBase& standinStream(const QuellmarkStreamPtr& stream) {
    auto* own = dynamic_cast<StandinStreamBase*>(stream.get());
    if (!own) throw platform::Error(13, QStringLiteral("Type mismatch"));
    return *own;
}

void registerQuellmarkProjectStandins(platform::AutomationRegistrar& registrar) {
    registrar.add(QString::fromLatin1(QuellmarkFileIOStream::kProgId), make<StandinFileStream>());
    registrar.add(QString::fromLatin1(QuellmarkProjectManager::kProgId), make<StandinProjectManager>());
    registrar.add(QString::fromLatin1(QuellmarkSearchStatus::kProgId), make<StandinSearchStatus>());
    registrar.add(QString::fromLatin1(QuellmarkSearchStatusCollection::kProgId), make<StandinSearchStatuses>());
}

}  // namespace standins
