// Writes the task database's tables as SQL scripts: "task-db-sql FOLDER"
// writes both engines' scripts into FOLDER (the tree keeps them in sql/);
// "task-db-sql postgresql" or "task-db-sql sqlite" prints one.
#include "common/TaskDbScript.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: task-db-sql FOLDER | postgresql | sqlite\n");
        return 2;
    }
    const QString what = QString::fromLocal8Bit(argv[1]);
    if (what == u"postgresql" || what == u"sqlite") {
        std::fputs(common::taskDbScript(what == u"postgresql").toUtf8().constData(), stdout);
        return 0;
    }
    for (const bool postgres : {true, false}) {
        QFile file(QDir(what).filePath(common::taskDbScriptFileName(postgres)));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(common::taskDbScript(postgres).toUtf8()) < 0) {
            std::fprintf(stderr, "task-db-sql: %s: %s\n", qPrintable(file.fileName()), qPrintable(file.errorString()));
            return 1;
        }
    }
    return 0;
}
