#include "status/forms/StatusTreeModel.h"

#include "status/StatusNodes.h"
#include "status/forms/StatusIcons.h"

namespace tavrel {

StatusTreeModel::StatusTreeModel(QObject* parent) : QStandardItemModel(parent) {}

QStandardItem* StatusTreeModel::newNode(const QString& key, const QString& text) {
    auto* node = new QStandardItem(text);
    node->setEditable(false);
    node->setDragEnabled(false);
    node->setDropEnabled(false);
    node->setData(key, KeyRole);
    nodes_.insert(key, node);
    return node;
}

QStandardItem* StatusTreeModel::resetToRoot() {
    clear();
    nodes_.clear();
    taskImages_.clear();
    QStandardItem* root = newNode(RootNodeKey, RootNodeText);
    setImage(root, imagekey::ShutFile);
    appendRow(root);
    return root;
}

void StatusTreeModel::addTaskNodes(const QList<TaskNodeEntry>& entries) {
    QStandardItem* root = rootNode();
    if (!root || entries.isEmpty()) return;
    QList<QStandardItem*> added;
    added.reserve(entries.size());
    for (const TaskNodeEntry& entry : entries) {
        QStandardItem* node = newNode(entry.key, entry.text);
        node->setData(entry.tag, TagRole);
        node->setData(entry.image, ImageRole);
        node->setIcon(statusIcon(entry.image));
        taskImages_.insert(nodeNumber(entry.key), entry.image);
        addPlaceholder(node);
        added.append(node);
    }
    // One insertion for the lot: the view lays out once.
    root->insertRows(root->rowCount(), added);
}

void StatusTreeModel::forget(QStandardItem* node) {
    for (int i = 0; i < node->rowCount(); ++i) forget(node->child(i));
    const QString key = keyOf(node);
    nodes_.remove(key);
    if (key.startsWith(QStringLiteral("task_"))) taskImages_.remove(nodeNumber(key));
}

void StatusTreeModel::removeNode(const QString& key) {
    QStandardItem* node = item(key);
    if (!node || key == RootNodeKey) return;
    forget(node);
    QStandardItem* parent = node->parent() ? node->parent() : invisibleRootItem();
    parent->removeRow(node->row());
}

bool StatusTreeModel::setImage(QStandardItem* node, const QString& imageKey) {
    if (!node || imageOf(node) == imageKey) return false;
    node->setData(imageKey, ImageRole);
    node->setIcon(statusIcon(imageKey));
    const QString key = keyOf(node);
    if (key.startsWith(QStringLiteral("task_"))) taskImages_[nodeNumber(key)] = imageKey;
    return true;
}

void StatusTreeModel::addPlaceholder(QStandardItem* taskNode) {
    taskNode->appendRow(newNode(placeholderKey(keyOf(taskNode)), QString()));
}

bool StatusTreeModel::removePlaceholder(QStandardItem* taskNode) {
    QStandardItem* first = taskNode->child(0);
    if (!first || !keyOf(first).startsWith(QStringLiteral("dummy"))) return false;
    forget(first);
    taskNode->removeRow(0);
    return true;
}

int StatusTreeModel::addResultNodes(QStandardItem* taskNode, const QList<ResultNodeEntry>& results) {
    QList<QStandardItem*> added;
    for (const ResultNodeEntry& r : results) {
        if (nodes_.contains(r.key)) continue;
        QStandardItem* node = newNode(r.key, r.text);
        node->setData(imagekey::ShutFile, ImageRole);
        node->setIcon(resultNodeIcon());
        added.append(node);
    }
    if (!added.isEmpty()) taskNode->insertRows(taskNode->rowCount(), added);
    return int(added.size());
}

}  // namespace tavrel
