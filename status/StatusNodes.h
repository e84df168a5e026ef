#pragma once
// The shape of the status tree that every part of the status monitor reads:
// node keys ("root", "task_<uid>", "result_<number>", "dummy_task_<uid>"),
// node texts, the task node's tag and the image keys of tree and lists.
#include <QString>

namespace tavrel {

inline const QString RootNodeKey = QStringLiteral("root");
inline const QString RootNodeText = QStringLiteral("Task Database");

// Image keys of the icons the tree and both lists share (resource ":/<key>").
namespace imagekey {
inline const QString Warning = QStringLiteral("warning");
inline const QString Error = QStringLiteral("error");
inline const QString Pending = QStringLiteral("pending");
inline const QString ShutFile = QStringLiteral("shutfile");
inline const QString OpenFile = QStringLiteral("openfile");
inline const QString Follower = QStringLiteral("follower");
inline const QString Event = QStringLiteral("event");
inline const QString DragRefused = QStringLiteral("dragdrop3");
inline const QString DragAccepted = QStringLiteral("dragdrop2");
inline const QString DragNowhere = QStringLiteral("dragdrop1");
}  // namespace imagekey

QString taskNodeKey(qint32 taskUid);
QString resultNodeKey(qint32 resultNumber);
QString placeholderKey(const QString& taskKey);

// A key cut at "_": the kind ("root", "task", "result", "dummy") and the
// number text (empty for the root; "task" for a placeholder).
struct NodeKeyParts {
    QString kind;
    QString number;
};
NodeKeyParts splitNodeKey(const QString& key);
// The number of a task or result key; 0 when the key holds none.
qint32 nodeNumber(const QString& key);

QString taskNodeText(qint32 taskUid, const QString& taskLabel);
// schedule_type "_" task_UID "_" task_status, as the row held them when the
// node was made; the drop test reads its first and its last piece.
QString taskNodeTag(const QString& scheduleType, qint32 taskUid, const QString& taskStatus);

// Only tasks in one of the five statuses have a node or a root-view row.
bool isShownStatus(const QString& taskStatus);

// A task is pending while its request is open or the service's answer is
// anything but "OK" (Null and empty count as no value).
bool isPendingExchange(const QString& actionRequest, const QString& actionResponse);

// The image of a task node: "pending" for a new or pending task, "follower"
// for a running follower, else the status word.
QString TaskTreeIcon(const QString& taskStatus, const QString& scheduleType, bool pending);

// The file name of a stored path: the text after its last "\" (UNC and
// Windows form); a local absolute path without any "\" is cut at its last "/".
// Anything else is shown whole.
QString fileNamePart(const QString& storedPath);

}  // namespace tavrel
