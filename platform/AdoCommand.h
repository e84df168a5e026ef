#pragma once
// A prepared command text with its time-out, run on one connection.
#include "platform/AdoRecordset.h"

#include <QString>
#include <QVariant>

namespace platform {

class AdoConnection;

class AdoCommand {
public:
    AdoCommand() = default;
    AdoCommand(AdoConnection& connection, const QString& commandText, int timeoutSeconds = 30)
        : connection_(&connection), text_(commandText), timeout_(timeoutSeconds) {}

    const QString& commandText() const { return text_; }
    int commandTimeout() const { return timeout_; }
    void setCommandTimeout(int seconds) { timeout_ = seconds; }
    bool isPrepared() const { return connection_ != nullptr; }

    // The result rows, read-only.
    AdoRecordset execute(const QVariantList& params = {}) const;
    // A statement without rows; the number of rows it touched.
    int executeNonQuery(const QVariantList& params = {}) const;
    // The first field of the first result row (Null when there is none),
    // with the statement kept prepared on the connection: for a command run
    // again and again, such as the largest key of a table.
    QVariant executeScalar(const QVariantList& params = {}) const;

private:
    AdoConnection* connection_ = nullptr;
    QString text_;
    int timeout_ = 30;
};

}  // namespace platform
