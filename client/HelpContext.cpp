#include "client/HelpContext.h"

#include "client/Launchers.h"
#include "platform/ProgramFolder.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMenu>
#include <QWidget>

namespace tavrel {

namespace {

QString windowOfId(int contextId) {
    for (const HelpWindow& w : helpWindows())
        if (contextId >= w.base && contextId < w.base + 4096) return QLatin1String(w.window);
    return QString();
}

}  // namespace

void setHelpContextIds(QWidget* window) {
    const QString name = window->objectName();
    for (const HelpWindow& w : helpWindows())
        if (name == QLatin1String(w.window)) window->setProperty(kHelpContextProperty, w.base);
    for (QObject* child : window->findChildren<QObject*>()) {
        const int id = helpContextId(name, child->objectName());
        if (id != 0) child->setProperty(kHelpContextProperty, id);
    }
}

// An installed client keeps its pages in the shared data folder; a client
// run from its build tree finds them beside itself.
QString helpFolder() {
    const QString installed = platform::installedDataFolder();
    if (!installed.isEmpty()) return QDir(installed).filePath(QStringLiteral("help"));
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("help"));
}

QUrl helpTopicUrl(int contextId) {
    const QString window = windowOfId(contextId);
    if (window.isEmpty()) return helpIndexUrl();
    QUrl url = QUrl::fromLocalFile(QDir(helpFolder()).filePath(window + QStringLiteral(".html")));
    url.setFragment(QString::number(contextId));
    return url;
}

QUrl helpIndexUrl() { return QUrl::fromLocalFile(QDir(helpFolder()).filePath(QStringLiteral("index.html"))); }

int helpContextOf(const QObject* object) {
    for (const QObject* o = object; o; o = o->parent()) {
        const QVariant id = o->property(kHelpContextProperty);
        if (id.isValid() && id.toInt() != 0) return id.toInt();
    }
    return 0;
}

// The road of result pages, so that help opens wherever results do.
bool showHelpTopic(const QUrl& url) { return InvokeBrowser(url.toString()) > 32; }

bool HelpKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1)
        return QObject::eventFilter(watched, event);
    // The highlighted item of an open menu, else the focused control, else the window.
    int id = 0;
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget()))
        if (QAction* action = menu->activeAction()) id = helpContextOf(action);
    if (id == 0) id = helpContextOf(QApplication::focusWidget());
    if (id == 0) id = helpContextOf(QApplication::activeWindow());
    if (id == 0) return QObject::eventFilter(watched, event);
    showHelpTopic(helpTopicUrl(id));
    return true;
}

}  // namespace tavrel
