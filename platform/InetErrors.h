#pragma once
// Error numbers of the Internet layer, kept as the callers compare and report
// them, and the per-thread "last error" each call leaves behind. The message
// texts are our own; like a message table they end with CR LF.
#include <QString>

namespace platform {

namespace inet_err {
inline constexpr quint32 Success = 0;
inline constexpr quint32 InvalidHandle = 6;
inline constexpr quint32 NotEnoughMemory = 8;
inline constexpr quint32 InvalidParameter = 87;
inline constexpr quint32 InsufficientBuffer = 122;
inline constexpr quint32 Timeout = 12002;
inline constexpr quint32 ExtendedError = 12003;
inline constexpr quint32 InternalError = 12004;
inline constexpr quint32 InvalidUrl = 12005;
inline constexpr quint32 UnrecognizedScheme = 12006;
inline constexpr quint32 NameNotResolved = 12007;
inline constexpr quint32 InvalidOption = 12009;
inline constexpr quint32 BadOptionLength = 12010;
inline constexpr quint32 OperationCancelled = 12017;
inline constexpr quint32 IncorrectHandleType = 12018;
inline constexpr quint32 IncorrectHandleState = 12019;
inline constexpr quint32 CannotConnect = 12029;
inline constexpr quint32 ConnectionAborted = 12030;
inline constexpr quint32 ConnectionReset = 12031;
inline constexpr quint32 CertDateInvalid = 12037;
inline constexpr quint32 CertCnInvalid = 12038;
inline constexpr quint32 InvalidCa = 12045;
inline constexpr quint32 CertRevoked = 12170;
inline constexpr quint32 HeaderNotFound = 12150;
inline constexpr quint32 InvalidServerResponse = 12152;
inline constexpr quint32 RedirectFailed = 12156;
inline constexpr quint32 SecureChannelError = 12157;
inline constexpr quint32 SecureFailure = 12175;
}  // namespace inet_err

// The error code recorded by the last Internet call of this thread (0 after a
// call that succeeded).
quint32 GetLastError();
void SetLastError(quint32 code);

// The text of a code from the Internet layer's own table, with its CR LF;
// empty for a code the table does not know.
QString FormatMessageFromWinInet(quint32 code);
// The same for the few system codes the layer records (6, 8, 87, 122).
QString FormatMessageFromSystem(quint32 code);

}  // namespace platform
