#pragma once
// The user's own desktop in private folders for one scope: XDG_CONFIG_HOME,
// XDG_CONFIG_DIRS, XDG_DATA_HOME and XDG_DATA_DIRS name empty folders, so no
// association of the computer or of the account running the tests answers;
// entry() and list() add a desktop entry and an association list.
#include "platform/testsupport/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace testsupport {

struct PrivateDesktop {
    QTemporaryDir dir;
    EnvGuard config{"XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("config"))};
    EnvGuard configDirs{"XDG_CONFIG_DIRS", QFile::encodeName(dir.filePath("etc"))};
    EnvGuard data{"XDG_DATA_HOME", QFile::encodeName(dir.filePath("data"))};
    EnvGuard dataDirs{"XDG_DATA_DIRS", QFile::encodeName(dir.filePath("share"))};
    EnvGuard desktop{"XDG_CURRENT_DESKTOP", std::nullopt};
    // The system's MIME database stays (file types are looked up in the data
    // folders too); its applications do not.
    bool mime = QDir().mkpath(dir.filePath("share")) &&
                QFile::link(QStringLiteral("/usr/share/mime"), dir.filePath("share/mime"));

    // data/applications/<id> with the Exec line.
    void entry(const QString& id, const QByteArray& exec) {
        writeFile(dir.filePath("data/applications/" + id), "[Desktop Entry]\nType=Application\nExec=" + exec + "\n");
    }
    // A file below the folders ("config/mimeapps.list", "share/applications/mimeinfo.cache").
    void list(const QString& relative, const QByteArray& text) { writeFile(dir.filePath(relative), text); }
    // The user's mimeapps.list: web pages open with the entry.
    void browser(const QString& id) { list("config/mimeapps.list", "[Default Applications]\ntext/html=" + id.toUtf8() + "\n"); }
};

}  // namespace testsupport
