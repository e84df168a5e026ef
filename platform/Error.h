#pragma once
// Errors carry a number and a description, the way every procedure of both
// programs reports them ("(CODE) " + number + ": " + description).
#include <QString>
#include <exception>
#include <stdexcept>

namespace platform {

class Error : public std::runtime_error {
public:
    Error(long number, const QString& description)
        : std::runtime_error(description.toStdString()), number_(number), description_(description) {}

    long number() const { return number_; }
    const QString& description() const { return description_; }

    // "(TVS1003) 5: Invalid procedure call"
    QString report(const QString& messageCode) const {
        return messageCode + QString::number(number_) + QStringLiteral(": ") + description_;
    }

private:
    long number_;
    QString description_;
};

// What a procedure logs for an error it trapped: its message code, the number
// and the description; an exception that carries no number counts as 51.
inline QString errorReport(const QString& messageCode, const std::exception& e) {
    if (const auto* err = dynamic_cast<const Error*>(&e)) return err->report(messageCode);
    return messageCode + QStringLiteral("51: ") + QString::fromUtf8(e.what());
}

// Numbers of the run-time errors the programs raise themselves.
namespace errnum {
inline constexpr long InvalidProcedureCall = 5;
inline constexpr long Overflow = 6;
inline constexpr long SubscriptOutOfRange = 9;
inline constexpr long FileNotFound = 53;
inline constexpr long PathNotFound = 76;
inline constexpr long CannotCreateObject = 429;
inline constexpr long ItemNotFound = 3265;
}  // namespace errnum

}  // namespace platform
