#pragma once
// The answers the service writes into action_response, and the writing of one.
#include "common/TaskVocabulary.h"

#include <QString>

namespace platform {
class AdoConnection;
class AdoRecordset;
class Error;
}  // namespace platform

namespace tavrelsvc {

// The words of the answers are shared with the client, which reads them back.
namespace answer = common::answer;

// Sets action_request Null and action_response to the text and stores the
// current row (modGlobal_UpdateRecord, which reports its own failure).
bool writeAnswer(platform::AdoRecordset& rs, const QString& text);

// "Error <number>: <description>": the answer to a request whose handling failed.
QString errorAnswer(const platform::Error& e);

// After a failure inside a request's handling: drops a half-made change and
// answers the row with the error. Never throws; false when it could not store.
bool answerFailure(platform::AdoRecordset& rs, const platform::Error& e);

// Takes the "Run" request of a task: the row becomes "running" with the
// answer "OK" only while it still holds the request, so that of two writers
// only one wins. False when the request was gone (taken or withdrawn);
// errors throw.
bool takeRunRequest(platform::AdoConnection& connection, qint32 taskUID);

}  // namespace tavrelsvc
