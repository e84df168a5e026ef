// The task's external commands. The line the user typed is split into a
// program and its arguments with shell-like quoting, placeholders are put in
// inside each argument, and the program runs without a shell: a file name or
// user name holding ";", "$(...)", quotes, blanks or line breaks reaches the
// command as one argument and starts nothing else.
#include "jobs/JobErrors.h"
#include "jobs/JobPlaceholders.h"
#include "jobs/clsJob.h"
#include "platform/CommandLine.h"
#include "platform/Process.h"
#include "service/EventLog.h"
#include "service/Globals.h"

namespace tavrelsvc {

namespace {

struct ActionColumns {
    QString command;
    bool wait = false;
    bool halt = false;
};

ActionColumns columnsOf(const clsJob& job, const QString& kind) {
    static const struct {
        const char16_t* kind;
        common::TaskStageId stage;
    } kinds[] = {{u"PreTask", common::TaskStageId::PreTask},
                 {u"PreSearch", common::TaskStageId::PreSearch},
                 {u"PostSearch", common::TaskStageId::PostSearch},
                 {u"PostTask", common::TaskStageId::PostTask}};
    for (const auto& k : kinds) {
        if (kind != QStringView(k.kind)) continue;
        const common::TaskStage& stage = job.settings.stage(k.stage);
        return {stage.command, stage.wait != 0, stage.halt != 0};
    }
    return {};
}

// A command that cannot be run at all answers this instead of an exit code,
// so a waited-for, halting command that never ran stops the task as one that
// failed does.
constexpr qint32 kNotStarted = -1;

}  // namespace

std::optional<bool> clsJob::RunExternalAction(const QString& kind, const QString& resultFilePath,
                                              const QString& resultUrl) {
    try {
        const ActionColumns action = columnsOf(*this, kind);
        if (action.command.trimmed().isEmpty()) return true;

        const platform::SplitCommand split = platform::splitCommandLine(action.command);
        qint32 exitCode = kNotStarted;
        if (!split.ok() || split.arguments.isEmpty()) {
            log(EventError, QStringLiteral("Cannot run ") + action.command + QStringLiteral(": ") +
                                (split.ok() ? QStringLiteral("no program named") : split.error));
        } else {
            QStringList arguments = split.arguments;
            if (action.command.contains(QLatin1Char('>')) && action.command.contains(QLatin1Char('<'))) {
                substituteFirstOccurrences(arguments, actionPlaceholderEntries());
                if (kind == u"PreSearch" || kind == u"PostSearch")
                    substituteFirstOccurrences(arguments, filePlaceholderEntries());
                if (kind == u"PostSearch" && !resultFilePath.isEmpty())
                    substituteFirstOccurrences(arguments, resultPlaceholderEntries(resultFilePath, resultUrl));
            }
            exitCode = RunCommandLine(arguments, action.command, action.wait);
        }
        if (action.wait && action.halt && exitCode != 0) {
            CancelTask();
            return false;
        }
        return true;
    } catch (const std::exception& e) {
        log(EventError, jobErrorText(QStringLiteral("(TVS1036) "), e));
        return std::nullopt;
    }
}

qint32 clsJob::RunCommandLine(const QStringList& arguments, const QString& commandLine, bool wait) {
    try {
        const QString program = arguments.first();
        const QStringList rest = arguments.mid(1);
        if (program.isEmpty()) throw platform::Error(53, QStringLiteral("File not found"));
        if (!wait) {
            try {
                platform::Process::startDetached(program, rest);
            } catch (const platform::Error& e) {
                log(EventError, QStringLiteral("CreateProcessA failed for ") + commandLine + QStringLiteral(": ") +
                                    e.description());
                return kNotStarted;
            }
            return 0;
        }
        platform::Process process;
        try {
            process.start(program, rest);
        } catch (const platform::Error& e) {
            log(EventError,
                QStringLiteral("CreateProcessA failed for ") + commandLine + QStringLiteral(": ") + e.description());
            return kNotStarted;
        }
        // Other jobs and the host's poll run while this command is waited for;
        // this job stays alive even if it is cancelled meanwhile.
        ++tickDepth_;
        const bool ended = process.waitForFinishedServingEvents(-1, [] { return ShuttingDown; });
        --tickDepth_;
        if (!ended) return 0;  // the service shuts down
        const qint32 code = process.exitCode();
        if (code != 0)
            log(EventWarning, QStringLiteral("Return value from ") + commandLine + QStringLiteral(" was ") +
                                  QString::number(code));
        return code;
    } catch (const std::exception& e) {
        log(EventError, jobErrorText(QStringLiteral("(TVS1026) "), e));
        return kNotStarted;
    }
}

}  // namespace tavrelsvc
