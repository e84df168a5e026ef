#include "client/Launchers.h"

#include "common/ComponentChecks.h"
#include "clientcommon/Globals.h"
#include "common/Secrets.h"
#include "clientcommon/forms/DesktopLauncher.h"
#include "platform/MessageBox.h"
#include "platform/ShellAssoc.h"

#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace tavrel {

namespace {

void warn(const QString& text) {
    platform::MsgBox(common::maskSecrets(text), platform::vbOKOnly | platform::vbExclamation,
                     QStringLiteral("Sorvex Tavrel"));
}

QUrl asUrl(const QString& text) {
    const QUrl url(text);
    return url.scheme().isEmpty() ? QUrl::fromLocalFile(text) : url;
}

}  // namespace

long InvokeBrowser(const QString& url) {
    if (openOnDesktop(asUrl(url))) return kShellOpened;
    // The desktop did not take the address: the program that opens HTML files, started with it.
    QString program;
    const long found = platform::FindAssociatedProgram(QStringLiteral(".html"), &program);
    if (found <= 32 || program.isEmpty()) {
        warn(QStringLiteral("No association found between *.html and a web browser (error code ") +
             QString::number(found) + QStringLiteral(")\n\nThe address:\n") + url +
             QStringLiteral("\n\nInstall xdg-utils and a web browser (for example firefox-esr) to open results and "
                            "help pages from here, or copy the address into a browser."));
        return found;
    }
    if (!QProcess::startDetached(program, {url})) {
        const long code = QFileInfo(program).exists() ? platform::SE_ERR_NOASSOC : platform::SE_ERR_FNF;
        warn(QStringLiteral("Cannot open default web browser (error code ") + QString::number(code) +
             QStringLiteral(")\n\nThe address:\n") + url);
        return code;
    }
    return kShellOpened;
}

long InvokeQuellmark(const QString& sProjectPath) {
    if (openOnDesktop(asUrl(sProjectPath))) return kShellOpened;
    // The Quellmark program as the probes find it, started with the project.
    long code = platform::SE_ERR_FNF;
    if (QFileInfo::exists(sProjectPath)) {
        const QString program = common::findQuellmarkProgram().path;
        code = platform::SE_ERR_NOASSOC;
        if (!program.isEmpty()) {
            if (QProcess::startDetached(program, {sProjectPath})) return kShellOpened;
            if (!QFileInfo(program).exists()) code = platform::SE_ERR_FNF;
        }
    }
    warn(QStringLiteral("Cannot launch Sorvex Quellmark (error code ") + QString::number(code) + QStringLiteral(")"));
    return code;
}

}  // namespace tavrel
