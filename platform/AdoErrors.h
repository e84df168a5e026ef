#pragma once
#include <QString>
// Error numbers of the task database layer. Callers compare these numbers, so
// each engine's own errors are mapped onto them (AdoConnection.cpp).
namespace platform::adoerr {

inline constexpr long InvalidArgument = 3001;            // malformed connection string, bad Find criterion
inline constexpr long NoCurrentRecord = 3021;            // BOF or EOF, or the row was deleted
inline constexpr long ItemNotFound = 3265;               // no field of that name
inline constexpr long ProviderNotFound = 3706;           // unknown "Provider=" in a connection string
inline constexpr long ObjectClosed = 3704;               // connection or recordset not open
inline constexpr long ReadOnly = 3251;                   // operation not allowed on a read-only recordset
inline constexpr long DuplicateKey = -2147467259;        // 0x80004005, what a taken key gives
inline constexpr long ConnectFailed = -2147467259;       // 0x80004005 too, as the file provider answered
inline constexpr long MissingValue = -2147217904;        // 0x80040E10, an unknown column in a statement
inline constexpr long ErrorsInCommand = -2147217900;     // 0x80040E14, any other statement failure
inline constexpr long TableNotFound = -2147217865;       // 0x80040E37
inline constexpr long RowNotFound = -2147217864;         // 0x80040E38, the row to update is gone
inline constexpr long Timeout = -2147217871;             // 0x80040E31, busy or statement time-out
inline constexpr long RequiredValueMissing = -2147217887;  // 0x80040E21, Null into a "not null" column
inline constexpr long OperationCancelled = 3712;         // the user gave up on a wait for the server

// A negative number as the eight hexadecimal digits the reports show.
inline QString hexNumber(long number) {
    return QString::number(static_cast<quint32>(number), 16).toUpper();
}

}  // namespace platform::adoerr
