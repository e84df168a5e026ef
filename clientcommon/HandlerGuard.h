#pragma once
// Nothing a handler or a timer tick throws may end the client: it is caught
// here and shown in the report box. A timer that fails the same way on every
// tick shows its error once, not once a tick, and never runs again while its
// own box is still open.
#include "common/ReentryGuard.h"

#include <QObject>
#include <QString>

#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

namespace tavrel {

// "<where>: <number>: <description>" for a platform::Error, "<where>: <what>"
// for any other exception.
QString unexpectedErrorText(const QString& where, std::exception_ptr error);

// Runs the handler; true when it ended without an error. An error is shown
// with modGlobal_ShowEventMessage and goes no further.
bool guardHandler(const QString& where, const std::function<void()>& body);

// A slot for connect(): the handler wrapped in guardHandler. The constraint lets
// connect() pass only as many of the signal's arguments as the handler takes.
template <class F>
auto guarded(QString where, F body) {
    return [where = std::move(where), body = std::move(body)](auto&&... args)
        requires std::is_invocable_v<const F&, decltype(args)...>
    {
        guardHandler(where, [&] { body(std::forward<decltype(args)>(args)...); });
    };
}

// connect() for a handler that is a member function without arguments, run
// inside guardHandler under the name given.
template <class Sender, class Signal, class Owner>
QMetaObject::Connection connectGuarded(Sender* sender, Signal signal, Owner* owner, QString where,
                                       void (Owner::*handler)()) {
    return QObject::connect(sender, signal, owner,
                            guarded(std::move(where), [owner, handler] { (owner->*handler)(); }));
}

using common::ReentryGuard;

// Shows unexpected errors of one source (a timer, the application), each
// cause once: a text equal to the last one shown, or any error while this
// source's box is still open, is not shown again until forget().
class RepeatedErrorBox {
public:
    // True when the box was shown.
    bool show(const QString& text);
    void forget() { lastShown_.clear(); }

private:
    QString lastShown_;
    bool open_ = false;
};

// One per timer. A tick that fails as the one before does not show its error
// again; a tick that succeeds forgets it, so a later failure is reported anew.
// A tick that comes while the previous one (or its box) still runs is skipped.
class TimerGuard {
public:
    explicit TimerGuard(QString timerName) : name_(std::move(timerName)) {}

    // False when the tick failed or was skipped.
    bool run(const std::function<void()>& tick);

private:
    QString name_;
    RepeatedErrorBox box_;
    bool running_ = false;
};

}  // namespace tavrel
