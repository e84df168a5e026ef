#include "platform/AdoCommand.h"

#include "platform/AdoConnection.h"
#include "platform/AdoErrors.h"
#include "platform/Error.h"

namespace platform {

AdoRecordset AdoCommand::execute(const QVariantList& params) const {
    if (!connection_) throw Error(adoerr::ObjectClosed, QStringLiteral("The command has no connection"));
    AdoRecordset rs;
    rs.openQuery(*connection_, text_, params, QString(), timeout_);
    return rs;
}

int AdoCommand::executeNonQuery(const QVariantList& params) const {
    if (!connection_) throw Error(adoerr::ObjectClosed, QStringLiteral("The command has no connection"));
    return connection_->execute(text_, params, timeout_);
}

QVariant AdoCommand::executeScalar(const QVariantList& params) const {
    if (!connection_) throw Error(adoerr::ObjectClosed, QStringLiteral("The command has no connection"));
    return connection_->scalarPrepared(text_, params, timeout_);
}

}  // namespace platform
