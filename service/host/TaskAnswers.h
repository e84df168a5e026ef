#pragma once
// The answers the service writes into action_response, and the writing of one.
#include <QString>

namespace platform {
class AdoConnection;
class AdoRecordset;
class Error;
}  // namespace platform

namespace tavrelsvc {

namespace answer {
inline const QString OK = QStringLiteral("OK");
inline const QString Pending = QStringLiteral("Pending");
inline const QString E9000 = QStringLiteral("Error 9000: Cannot run a task unless status is new");
inline const QString E9001 = QStringLiteral("Error 9001: Follow-up task does not exist");
inline const QString E9002 = QStringLiteral("Error 9002: Follow-up task is not running");
inline const QString E9003 = QStringLiteral("Error 9003: Follow-up task not defined");
inline const QString E9004 = QStringLiteral("Error 9004: No data files specified for batch task");
inline const QString E9005 = QStringLiteral("Error 9005: Cannot find parameter file on disk");
inline const QString E9007 = QStringLiteral("Error 9007: Cannot find import filter on specified path");
inline const QString E9008 = QStringLiteral("Error 9008: Analyst import library not found or not registered");
inline const QString E9009 = QStringLiteral("Error 9009: Attempt to pause a task which is not running");
inline const QString E9010 = QStringLiteral("Error 9010: Attempt to resume a task which is not paused");
inline const QString E9011 = QStringLiteral("Error 9011: Attempt to cancel a task which is not paused");
inline const QString E9012 = QStringLiteral("Error 9012: Data Explorer not found or not registered");
inline const QString E9013 = QStringLiteral("Error 9013: Cannot have comma or underscore in a task label");
inline const QString E9014 = QStringLiteral("Error 9014: Sorvex Quellmark not found or not operational");
inline const QString E9015 = QStringLiteral("Error 9015: Cannot create peak list cache folder");
inline const QString E9016 = QStringLiteral("Error 9016: TS2Sorvex not found or not operational");
}  // namespace answer

// Sets action_request Null and action_response to the text and stores the
// current row (modGlobal_UpdateRecord, which reports its own failure).
bool writeAnswer(platform::AdoRecordset& rs, const QString& text);

// Takes the "Run" request of a task: the row becomes "running" with the
// answer "OK" only while it still holds the request, so that of two writers
// only one wins. False when the request was gone (taken or withdrawn);
// errors throw.
bool takeRunRequest(platform::AdoConnection& connection, qint32 taskUID);

// "Error <number>: <description>": the answer to a request whose handling failed.
QString errorAnswer(const platform::Error& e);

// After a failure inside a request's handling: drops a half-made change and
// answers the row with the error. Never throws; false when it could not store.
bool answerFailure(platform::AdoRecordset& rs, const platform::Error& e);

}  // namespace tavrelsvc
