// The Quellmark project after submission and completion: each search's
// status, and the Quellmark program that imports a finished search into the
// project and quantitates it, started and polled once per tick.
#include "common/ComponentChecks.h"
#include "convert/ImportLog.h"
#include "convert/ImportQuellmarkOptions.h"
#include "convert/ImportQuellmarkQuant.h"
#include "jobs/JobImportContext.h"
#include "jobs/JobQuellmark.h"
#include "jobs/clsJob.h"
#include "platform/ExitCodes.h"
#include "platform/Process.h"
#include "service/Preferences.h"
#include "service/Probes.h"

#include <QFile>
#include <QFileInfo>

namespace tavrelsvc {

bool clsJob_UpdateQuellmarkProjectStatus(clsJob& job) {
    return updateQuellmarkProjectStatus(job.QuellmarkProjectPath, job.SearchStatusRecord, QuellmarkSession,
                                        jobImportContext(job));
}

bool clsJob_QuellmarkQuantitateInit(clsJob& job) {
    const PeakListJobContext context = jobImportContext(job);
    try {
        const QString project = job.QuellmarkProjectPath;
        if (!QFileInfo(project).isFile()) {
            importLog(context, EventError, QStringLiteral("Sorvex Quellmark project file not found: ") + project);
            return false;
        }
        QuellmarkQuantRequest request;
        request.program = common::quellmarkProgramPath(QuellmarkFolder);
        request.projectPath = project;
        request.taskId = job.sorvex_task_id;
        request.quantitation = readQuellmarkOptions(job.settings.filter_options).quantitation();
        request.quantitationMethod = job.QuantitationMethod;
        request.canQuantitate = QuellmarkCanQuantitate;
        request.acceptsLogin = QuellmarkAcceptsLogin;
        request.userName = SorvexUserName;
        request.password = SorvexPassword;
        const QuellmarkQuantCommand command = quellmarkQuantCommand(request);
        job.QuantImportOnly = command.importOnly;
        if (!command.importOnly) importLog(context, EventInfo, QStringLiteral("Begin Sorvex Quellmark quantitation"));

        // An error file of an earlier run must not speak for this one.
        QFile::remove(quellmarkErrorFile(project));
        platform::ProcessOptions options;
        if (!command.password.isEmpty())
            options.extraEnvironment << QLatin1String(kQuellmarkPasswordVariable) + QLatin1Char('=') + command.password;
        auto process = std::make_unique<platform::Process>();
        try {
            process->start(command.program, command.arguments, options);
        } catch (const platform::Error&) {
            importLog(context, EventError, QStringLiteral("Failed to execute Quellmark using command line: ") + command.text());
            return false;
        }
        clsJob_CloseQuantProcessHandles(job);
        job.QuantProcess = std::move(process);
        job.setJob_quanting(true);
        return true;
    } catch (const std::exception& e) {
        importLogError(context, QStringLiteral("(TVS1082) "), e);
        return false;
    }
}

void clsJob_QuellmarkQuantitateService(clsJob& job) {
    const PeakListJobContext context = jobImportContext(job);
    try {
        if (job.PleasePause) {
            // The program finishes its work on its own.
            job.setJob_quanting(false);
            clsJob_CloseQuantProcessHandles(job);
            if (!job.QuantImportOnly)
                importLog(context, EventWarning, QStringLiteral("Sorvex Quellmark quantitation still in progress"));
            job.PleasePause = clsJob::False;
            job.PauseTask();
            return;
        }
        int exitCode = -1;
        if (job.QuantProcess) {
            job.QuantProcess->waitForFinished(0);  // takes notice of an end the event loop has not seen yet
            exitCode = job.QuantProcess->exitCode();
        }
        if (exitCode == platform::exitcodes::StillActive) return job.TimerOn();
        if (exitCode == 0) {
            if (!job.QuantImportOnly) importLog(context, EventInfo, QStringLiteral("End Sorvex Quellmark quantitation"));
        } else {
            const QString errorFile = quellmarkErrorFile(job.QuellmarkProjectPath);
            if (QFileInfo::exists(errorFile)) {
                const QString prefix = job.QuantImportOnly ? QStringLiteral("Sorvex Quellmark search import error: ")
                                                           : QStringLiteral("Sorvex Quellmark quantitation error: ");
                importLog(context, EventError, prefix + firstUtf16Line(errorFile));
            } else {
                importLog(context, EventError, QStringLiteral("Sorvex Quellmark exit without error message, presume crashed"));
            }
        }
    } catch (const std::exception& e) {
        importLogError(context, QStringLiteral("(TVS1083) "), e);
    }
    job.setJob_quanting(false);
    clsJob_CloseQuantProcessHandles(job);
    job.TimerOn();
}

void clsJob_CloseQuantProcessHandles(clsJob& job) {
    if (!job.QuantProcess) return;
    job.QuantProcess->release();
    job.QuantProcess.reset();
}

}  // namespace tavrelsvc
