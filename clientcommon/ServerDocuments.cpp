#include "clientcommon/ServerDocuments.h"

#include "common/AtomicSave.h"
#include "clientcommon/Globals.h"
#include "clientcommon/HttpGet.h"
#include "common/Secrets.h"
#include "clientcommon/ServerLogin.h"
#include "common/ServerReplies.h"
#include "common/VersionText.h"
#include "platform/Cp1252.h"
#include "platform/MessageBox.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QRegularExpression>


namespace tavrel {

namespace {

QString withSession(const QString& path, const QString& separator) {
    return ServerSessionID.isEmpty() ? path : path + separator + QStringLiteral("sessionID=") + ServerSessionID;
}

void showBox(const QString& text) {
    platform::MsgBox(common::maskSecrets(text), platform::vbOKOnly, QStringLiteral("Sorvex Tavrel"));
}

}  // namespace

bool modGlobal_GetServerParameters(const QString& serverUrl) {
    const QByteArray document = modGlobal_GetHttpDocWithLogin(serverUrl, withSession(QStringLiteral("get_params.pl"), "?"));
    if (document.isEmpty()) return false;
    if (!document.contains("[MODS]") || !document.contains("[DB]") || !document.contains("[CLE]")) {
        showBox(QStringLiteral("Unable to retrieve Sorvex server parameters from\r\n") + serverUrl +
                QStringLiteral("\r\nThe returned document was:\r\n") + platform::fromCp1252(document));
        return false;
    }
    const QString folder = ProgramFolder.isEmpty() ? platform::resolveProgramFolder() : ProgramFolder;
    const QString path = QDir(folder).filePath(kServerDataFileName);
    const QString failure = common::saveFileAtomically(path, "\"" + document + "\"\r\n");
    if (!failure.isEmpty()) {
        showBox(QStringLiteral("Unable to write ") + QDir::toNativeSeparators(path) + QStringLiteral(": ") + failure);
        return false;
    }
    return true;
}

bool modGlobal_GetServerVersion(const QString& serverUrl) {
    const QString reply = platform::fromCp1252(
        modGlobal_GetHttpDocWithLogin(serverUrl, withSession(QStringLiteral("client.pl?create_task_id"), "&")));
    if (reply.isEmpty()) return false;
    QString taskId, actionString;
    const QStringList lines = common::splitReplyLines(reply);
    const bool singleWord = !reply.contains(QLatin1Char('=')) && reply.trimmed().split(QRegularExpression(QStringLiteral("\\s+"))).size() == 1;
    for (const QString& line : lines) {
        QString key, value;
        if (const auto kv = common::splitKeyLine(line)) {
            key = kv->first.toLower();
            value = kv->second;
        } else if (singleWord && !line.trimmed().isEmpty()) {
            key = line.trimmed().toLower();
        } else {
            continue;
        }
        if (key == QLatin1String("problem") || key == QLatin1String("searchcontrol-error")) return false;
        if (key == QLatin1String("taskid")) taskId = value;
        else if (key == QLatin1String("actionstring")) actionString = value;
    }
    if (taskId.isEmpty() || taskId == QLatin1String("0") || actionString.isEmpty()) return false;

    ServerVersion =
        platform::fromCp1252(modGlobal_GetHttpDocWithLogin(serverUrl, withSession(QStringLiteral("client.pl?version"), "&")));
    const qsizetype at = ServerVersion.indexOf(QStringLiteral("Version"));
    // The text after "Version" and the one character that follows it; without
    // "Version" the first seven characters go.
    const qsizetype start = at < 0 ? 7 : at + 8;
    if (ServerVersion.size() - start < 0) return false;
    QString version = ServerVersion.mid(start);
    while (!version.isEmpty() && version.back().unicode() <= 32) version.chop(1);
    ServerVersion = version;
    return true;
}

bool modGlobal_ProbeGetErrorScript(const QString& serverUrl) {
    QByteArray document;
    if (!modGlobal_HttpGet(serverUrl + QStringLiteral("ms-geterror.exe?1"), false, document)) return false;
    return document.contains("Out of memory") || document.contains("Message number no longer used");
}

bool modGlobal_IsVersionAtLeast(const QString& a, const QString& b) { return common::isVersionAtLeast(a, b); }

}  // namespace tavrel
