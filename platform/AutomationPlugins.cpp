#include "platform/AutomationPlugins.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QSet>

#include <exception>
#include <mutex>

namespace platform {

namespace {

using EntryPoint = void (*)(AutomationRegistrar&);

class FactoryRegistrar final : public AutomationRegistrar {
public:
    void add(const QString& progId, AutomationCreator creator) override {
        registerAutomationComponent(progId, std::move(creator));
        ++count;
    }
    int count = 0;
};

std::mutex& loadMutex() {
    static std::mutex m;
    return m;
}

// Libraries stay loaded for the life of the process: the objects they make
// may outlive any scope that loaded them.
QSet<QString>& loadedFiles() {
    static QSet<QString> files;
    return files;
}

void loadFile(const QString& path, AutomationPluginReport& report) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty()) {
        report.problems << path + QStringLiteral(": no such file");
        return;
    }
    if (loadedFiles().contains(canonical)) return;
    QLibrary library(canonical);
    if (!library.load()) {
        report.problems << canonical + QStringLiteral(": ") + library.errorString();
        return;
    }
    const auto entry = reinterpret_cast<EntryPoint>(library.resolve(kAutomationPluginEntry));
    if (!entry) {
        report.problems << canonical + QStringLiteral(": no entry point ") + QLatin1String(kAutomationPluginEntry);
        return;
    }
    FactoryRegistrar registrar;
    try {
        entry(registrar);
    } catch (const std::exception& e) {
        report.problems << canonical + QStringLiteral(": ") + QString::fromLocal8Bit(e.what());
        return;
    } catch (...) {
        report.problems << canonical + QStringLiteral(": the plug-in failed while registering");
        return;
    }
    loadedFiles().insert(canonical);
    report.loaded << canonical;
}

void loadEntry(const QString& entry, AutomationPluginReport& report) {
    const QFileInfo info(entry);
    if (!info.isDir()) return loadFile(entry, report);
    const QDir folder(entry);
    QStringList names = folder.entryList({QStringLiteral("*.so")}, QDir::Files, QDir::Name);
    for (const QString& name : names) loadFile(folder.filePath(name), report);
}

}  // namespace

AutomationPluginReport loadAutomationPluginsFrom(const QString& fileOrFolder) {
    AutomationPluginReport report;
    std::lock_guard lock(loadMutex());
    loadEntry(fileOrFolder, report);
    return report;
}

AutomationPluginReport loadAutomationPlugins() {
    AutomationPluginReport report;
    QStringList entries;
    if (QCoreApplication::instance()) {
        const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/automation");
        if (QFileInfo(beside).isDir()) entries << beside;
    }
    const QString listed = qEnvironmentVariable(kAutomationPluginsVariable);
    for (const QString& entry : listed.split(QLatin1Char(':'), Qt::SkipEmptyParts)) entries << entry;
    std::lock_guard lock(loadMutex());
    for (const QString& entry : entries) loadEntry(entry, report);
    return report;
}

}  // namespace platform
