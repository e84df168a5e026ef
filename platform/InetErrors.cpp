#include "platform/InetErrors.h"

#include <QHash>

namespace platform {

namespace {
thread_local quint32 lastError = 0;
}

quint32 GetLastError() { return lastError; }
void SetLastError(quint32 code) { lastError = code; }

QString FormatMessageFromWinInet(quint32 code) {
    static const QHash<quint32, QString> texts = {
        {inet_err::Timeout, QStringLiteral("The operation timed out")},
        {inet_err::ExtendedError, QStringLiteral("The server returned extended information")},
        {inet_err::InternalError, QStringLiteral("An internal error occurred in the Internet layer")},
        {inet_err::InvalidUrl, QStringLiteral("The URL is invalid")},
        {inet_err::UnrecognizedScheme, QStringLiteral("The URL does not use a recognized protocol")},
        {inet_err::NameNotResolved, QStringLiteral("The server name or address could not be resolved")},
        {inet_err::InvalidOption, QStringLiteral("The option is not valid for this handle")},
        {inet_err::BadOptionLength, QStringLiteral("The option value has the wrong type or length")},
        {inet_err::OperationCancelled, QStringLiteral("The operation was cancelled")},
        {inet_err::IncorrectHandleType, QStringLiteral("The handle is of the wrong type for this operation")},
        {inet_err::IncorrectHandleState, QStringLiteral("The handle is not in the right state for this operation")},
        {inet_err::CannotConnect, QStringLiteral("A connection with the server could not be established")},
        {inet_err::ConnectionAborted, QStringLiteral("The connection with the server was terminated abnormally")},
        {inet_err::ConnectionReset, QStringLiteral("The connection with the server was reset")},
        {inet_err::CertDateInvalid,
         QStringLiteral("The server's security certificate has expired or is not yet valid")},
        {inet_err::CertCnInvalid,
         QStringLiteral("The server's security certificate was issued for a different host name")},
        {inet_err::InvalidCa,
         QStringLiteral("The server's security certificate was issued by an authority that is not trusted")},
        {inet_err::CertRevoked, QStringLiteral("The server's security certificate has been revoked")},
        {inet_err::HeaderNotFound, QStringLiteral("The requested header could not be located")},
        {inet_err::InvalidServerResponse, QStringLiteral("The server returned an invalid or unrecognized response")},
        {inet_err::RedirectFailed, QStringLiteral("The redirection failed")},
        {inet_err::SecureChannelError,
         QStringLiteral("A secure channel with the server could not be established")},
        {inet_err::SecureFailure, QStringLiteral("The server's security certificate could not be verified")},
    };
    const auto it = texts.constFind(code);
    return it == texts.constEnd() ? QString() : *it + QStringLiteral("\r\n");
}

QString FormatMessageFromSystem(quint32 code) {
    switch (code) {
        case inet_err::InvalidHandle: return QStringLiteral("The handle is invalid.\r\n");
        case inet_err::NotEnoughMemory: return QStringLiteral("Not enough memory is available.\r\n");
        case inet_err::InvalidParameter: return QStringLiteral("The parameter is incorrect.\r\n");
        case inet_err::InsufficientBuffer: return QStringLiteral("The data area passed is too small.\r\n");
        default: return {};
    }
}

}  // namespace platform
