#include "servicehost/ServiceUnit.h"

#include "servicehost/ServiceSwitches.h"
#include "servicehost/frmMain.h"

#include <QRegularExpression>
#include <QStringList>

namespace tavrelsvc {

namespace {

// Seconds between a failure and the next start: a database or server that is
// down for a moment is not hammered.
constexpr int kRestartSec = 30;

bool isUserName(const QString& name) {
    static const QRegularExpression pattern(QStringLiteral("^[a-z_][a-z0-9_-]{0,31}$"));
    return pattern.match(name).hasMatch();
}

// A value systemd reads as it is written: "%" starts a specifier.
QString literal(QString text) { return text.replace(QLatin1Char('%'), QStringLiteral("%%")); }

// A double-quoted word of a command line or an assignment.
QString quoted(const QString& text, bool commandLine) {
    QString out = literal(text);
    out.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\""));
    if (commandLine) out.replace(QLatin1Char('$'), QStringLiteral("$$"));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

// The program folder as a state directory: systemd keeps those below /var/lib.
QString stateDirectoryOf(const QString& folder) {
    static const QRegularExpression simple(QStringLiteral("^/var/lib/([A-Za-z0-9._-]+(/[A-Za-z0-9._-]+)*)$"));
    const auto m = simple.match(folder);
    return m.hasMatch() ? m.captured(1) : QString();
}

bool pathProblem(const QString& what, const QString& path, QString* problem) {
    if (!path.startsWith(QLatin1Char('/'))) {
        *problem = QStringLiteral("%1 %2 is not an absolute path").arg(what, path);
        return true;
    }
    if (path.contains(QLatin1Char('\n')) || path.contains(QLatin1Char('\r'))) {
        *problem = QStringLiteral("%1 holds a line break, which a unit cannot hold").arg(what);
        return true;
    }
    return false;
}

}  // namespace

QString serviceUnitText(const ServiceUnitValues& v, QString* problem) {
    QString ignored;
    if (!problem) problem = &ignored;
    if (v.user == u"root" || v.group == u"root") {
        *problem = QStringLiteral("the service never runs as root, since task rows carry commands that it runs; "
                                  "the program folder %1 must belong to the service's own user and group")
                       .arg(v.programFolder);
        return QString();
    }
    if (!isUserName(v.user) || !isUserName(v.group)) {
        *problem = QStringLiteral("\"%1:%2\" is no user and group name a unit can run as").arg(v.user, v.group);
        return QString();
    }
    if (pathProblem(QStringLiteral("the program"), v.program, problem) ||
        pathProblem(QStringLiteral("the program folder"), v.programFolder, problem))
        return QString();

    QStringList lines = {
        QStringLiteral("[Unit]"),
        QStringLiteral("Description=") + ServiceDisplayName,
        QStringLiteral("Wants=network-online.target"),
        QStringLiteral("After=network-online.target postgresql.service"),
        QString(),
        QStringLiteral("[Service]"),
        QStringLiteral("Type=simple"),
        QStringLiteral("User=") + v.user,
        QStringLiteral("Group=") + v.group,
        QStringLiteral("Environment=") + quoted(QStringLiteral("TAVREL_HOME=") + v.programFolder, false),
        QStringLiteral("ExecStart=") + quoted(v.program, true) + QLatin1Char(' ') + ServiceModeSwitch,
        QStringLiteral("Restart=on-failure"),
        QStringLiteral("RestartSec=%1").arg(kRestartSec),
        QStringLiteral("TimeoutStopSec=10"),
        // What it makes, the group of the program folder shares, nobody else.
        QStringLiteral("UMask=0007"),
    };
    if (const QString state = stateDirectoryOf(v.programFolder); !state.isEmpty()) {
        lines << QStringLiteral("StateDirectory=") + state << QStringLiteral("StateDirectoryMode=2770");
    }
    // Protections that leave data folders readable, the program folder and
    // peak-list folders writable, and task commands runnable.
    lines << QStringLiteral("NoNewPrivileges=yes") << QStringLiteral("CapabilityBoundingSet=")
          << QStringLiteral("PrivateTmp=yes") << QStringLiteral("PrivateDevices=yes")
          << QStringLiteral("ProtectSystem=full") << QStringLiteral("ProtectKernelTunables=yes")
          << QStringLiteral("ProtectKernelModules=yes") << QStringLiteral("ProtectKernelLogs=yes")
          << QStringLiteral("ProtectControlGroups=yes") << QStringLiteral("ProtectClock=yes")
          << QStringLiteral("ProtectHostname=yes") << QStringLiteral("RestrictSUIDSGID=yes")
          << QStringLiteral("RestrictRealtime=yes") << QStringLiteral("RestrictNamespaces=yes")
          << QStringLiteral("LockPersonality=yes")
          << QStringLiteral("RestrictAddressFamilies=AF_UNIX AF_INET AF_INET6")
          << QStringLiteral("SystemCallArchitectures=native") << QString() << QStringLiteral("[Install]")
          << QStringLiteral("WantedBy=multi-user.target");
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

}  // namespace tavrelsvc
