#pragma once
// The Status and Event Log pages over a task database of the test's engine,
// shown offscreen.
#include "status/tests/StatusDbFixture.h"

#include "status/forms/EventLogPage.h"
#include "status/forms/StatusListModel.h"
#include "status/forms/StatusPage.h"
#include "status/forms/StatusTreeModel.h"
#include "status/forms/StatusTreeView.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>
#include <QVariantList>
#include <QStandardItem>

#include <memory>

namespace statustest {

// Every emission of one signal, its arguments as variants.
class Emissions : public QObject {
public:
    template <class Sender, class... Args>
    Emissions(Sender* sender, void (Sender::*signal)(Args...)) {
        QObject::connect(sender, signal, this, [this](Args... args) {
            calls.append(QVariantList{QVariant::fromValue(std::decay_t<Args>(args))...});
        });
    }
    qsizetype size() const { return calls.size(); }
    const QVariantList& operator[](qsizetype i) const { return calls[i]; }

    QList<QVariantList> calls;
};

class StatusPageTest : public StatusDb {
protected:
    void SetUp() override {
        StatusDb::SetUp();
        if (IsSkipped()) return;
        page = std::make_unique<tavrel::StatusPage>();
        page->resize(1200, 700);
        page->runResultDrag = [this] { ++dragsStarted; };
        page->frmMain_SetStatusButtonToolTips();
        page->modGlobal_InitStatusColumns();
    }
    void TearDown() override {
        page.reset();
        StatusDb::TearDown();
    }

    // Start-up's part: the tree, the first refresh, the page on screen.
    void start() {
        page->frmMain_BuildStatusTree();
        page->RefreshStatus();
        page->show();
    }
    QStandardItem* node(const QString& key) const { return page->treeModel()->item(key); }
    QModelIndex indexOf(const QString& key) const { return page->treeModel()->indexFromItem(node(key)); }
    QString image(const QString& key) const { return tavrel::StatusTreeModel::imageOf(node(key)); }
    void click(const QString& key) {
        page->tvwStatus->setCurrentIndex(indexOf(key));  // the list follows the selection
    }
    QStringList childKeys(const QString& key) const {
        QStringList keys;
        QStandardItem* n = node(key);
        for (int i = 0; n && i < n->rowCount(); ++i) keys << tavrel::StatusTreeModel::keyOf(n->child(i));
        return keys;
    }
    QStringList listColumn(int column) const {
        QStringList texts;
        for (int r = 0; r < page->listModel()->rowCount(); ++r)
            texts << page->listModel()->index(r, column).data().toString();
        return texts;
    }
    QPoint pointOf(const QString& key) const { return page->tvwStatus->visualRect(indexOf(key)).center(); }
    // A left click on the node as the mouse makes it.
    void mouseClick(const QString& key) {
        QWidget* viewport = page->tvwStatus->viewport();
        const QPointF at = pointOf(key);
        const QPointF global = viewport->mapToGlobal(at);
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &press);
        QApplication::sendEvent(viewport, &release);
    }

    std::unique_ptr<tavrel::StatusPage> page;
    int dragsStarted = 0;
};

}  // namespace statustest
