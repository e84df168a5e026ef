#include "status/StatusNodes.h"

#include "common/TaskVocabulary.h"

namespace tavrel {

namespace {

const QString kTaskPrefix = QStringLiteral("task_");
const QString kResultPrefix = QStringLiteral("result_");
const QString kDummyPrefix = QStringLiteral("dummy_");

}  // namespace

QString taskNodeKey(qint32 taskUid) { return kTaskPrefix + QString::number(taskUid); }

QString resultNodeKey(qint32 resultNumber) { return kResultPrefix + QString::number(resultNumber); }

QString placeholderKey(const QString& taskKey) { return kDummyPrefix + taskKey; }

NodeKeyParts splitNodeKey(const QString& key) {
    const qsizetype cut = key.indexOf(QLatin1Char('_'));
    if (cut < 0) return {key, QString()};
    const qsizetype next = key.indexOf(QLatin1Char('_'), cut + 1);
    return {key.left(cut), key.mid(cut + 1, next < 0 ? -1 : next - cut - 1)};
}

qint32 nodeNumber(const QString& key) {
    bool ok = false;
    const qint32 n = splitNodeKey(key).number.toInt(&ok);
    return ok ? n : 0;
}

QString taskNodeText(qint32 taskUid, const QString& taskLabel) {
    return QString::number(taskUid) + QStringLiteral(": ") + taskLabel;
}

QString taskNodeTag(const QString& scheduleType, qint32 taskUid, const QString& taskStatus) {
    return scheduleType + QLatin1Char('_') + QString::number(taskUid) + QLatin1Char('_') + taskStatus;
}

bool isShownStatus(const QString& taskStatus) { return common::taskStatusOf(taskStatus).has_value(); }

bool isPendingExchange(const QString& actionRequest, const QString& actionResponse) {
    return !actionRequest.isEmpty() || (!actionResponse.isEmpty() && actionResponse != common::answer::OK);
}

QString TaskTreeIcon(const QString& taskStatus, const QString& scheduleType, bool pending) {
    if (pending || taskStatus == common::word(common::TaskStatus::New)) return imagekey::Pending;
    if (common::scheduleTypeOf(scheduleType) == common::ScheduleType::Follower &&
        common::taskStatusOf(taskStatus) == common::TaskStatus::Running)
        return imagekey::Follower;
    return taskStatus;
}

QString fileNamePart(const QString& storedPath) {
    const qsizetype backslash = storedPath.lastIndexOf(QLatin1Char('\\'));
    if (backslash >= 0) return storedPath.mid(backslash + 1);
    if (storedPath.startsWith(QLatin1Char('/'))) return storedPath.mid(storedPath.lastIndexOf(QLatin1Char('/')) + 1);
    return storedPath;
}

}  // namespace tavrel
