#pragma once
// The model of the status tree tvwStatus: the root "Task Database", one node
// per task, the task's placeholder child or its result nodes. Every node is
// found by its key, so a refresh changes only the nodes that differ.
#include "status/StatusNodes.h"
#include "status/TaskNodePlan.h"

#include <QHash>
#include <QStandardItemModel>

namespace tavrel {

class StatusTreeModel : public QStandardItemModel {
    Q_OBJECT
public:
    enum Roles { KeyRole = Qt::UserRole + 1, ImageRole, TagRole };

    explicit StatusTreeModel(QObject* parent = nullptr);

    // Empties the tree and adds the root node.
    QStandardItem* resetToRoot();
    QStandardItem* rootNode() const { return nodes_.value(RootNodeKey); }
    QStandardItem* item(const QString& key) const { return nodes_.value(key); }
    using QStandardItemModel::item;

    // Task nodes appended under the root in the given order, each with its
    // placeholder child.
    void addTaskNodes(const QList<TaskNodeEntry>& entries);
    void removeNode(const QString& key);
    // True when the image changed.
    bool setImage(QStandardItem* node, const QString& imageKey);

    // The image of every task node, by task_UID.
    const QHash<qint32, QString>& taskImages() const { return taskImages_; }

    void addPlaceholder(QStandardItem* taskNode);
    // True when the first child was the placeholder.
    bool removePlaceholder(QStandardItem* taskNode);
    // The results that have no node yet, appended after the others.
    int addResultNodes(QStandardItem* taskNode, const QList<ResultNodeEntry>& results);

    static QString keyOf(const QModelIndex& index) { return index.data(KeyRole).toString(); }
    static QString keyOf(const QStandardItem* node) { return node ? node->data(KeyRole).toString() : QString(); }
    static QString imageOf(const QStandardItem* node) { return node ? node->data(ImageRole).toString() : QString(); }
    static QString tagOf(const QStandardItem* node) { return node ? node->data(TagRole).toString() : QString(); }

private:
    QStandardItem* newNode(const QString& key, const QString& text);
    void forget(QStandardItem* node);

    QHash<QString, QStandardItem*> nodes_;
    QHash<qint32, QString> taskImages_;
};

}  // namespace tavrel
