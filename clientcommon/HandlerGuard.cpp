#include "clientcommon/HandlerGuard.h"

#include "common/EventLogLine.h"
#include "clientcommon/EventMessage.h"
#include "platform/Error.h"

#include <new>

namespace tavrel {

namespace {

void showUnexpected(const QString& text) {
    modGlobal_ShowEventMessage(common::EventError, 0, QString(), QString(), text);
}

}  // namespace

QString unexpectedErrorText(const QString& where, std::exception_ptr error) {
    const QString prefix = where + QStringLiteral(": ");
    try {
        std::rethrow_exception(error);
    } catch (const platform::Error& e) {
        return e.report(prefix);
    } catch (const std::bad_alloc&) {
        return prefix + QStringLiteral("7: Out of memory");
    } catch (const std::exception& e) {
        return prefix + QString::fromLocal8Bit(e.what());
    } catch (...) {
        return prefix + QStringLiteral("unknown error");
    }
}

bool guardHandler(const QString& where, const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (...) {
        const QString text = unexpectedErrorText(where, std::current_exception());
        try {
            showUnexpected(text);
        } catch (...) {
            // The box itself failed: there is nowhere left to report; the program goes on.
        }
        return false;
    }
}

bool RepeatedErrorBox::show(const QString& text) {
    if (open_ || text == lastShown_) return false;
    lastShown_ = text;
    const ReentryGuard open(open_);
    try {
        showUnexpected(text);
    } catch (...) {
    }
    return true;
}

bool TimerGuard::run(const std::function<void()>& tick) {
    const ReentryGuard guard(running_);
    if (!guard.entered()) return false;
    try {
        tick();
        box_.forget();
        return true;
    } catch (...) {
        box_.show(unexpectedErrorText(name_, std::current_exception()));
        return false;
    }
}

}  // namespace tavrel
