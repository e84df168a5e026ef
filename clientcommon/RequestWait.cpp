#include "clientcommon/RequestWait.h"

#include "platform/DatabaseWait.h"

#include <QCoreApplication>
#include <QThread>
#include <QUrl>

#include <utility>

namespace tavrel {

namespace {

RequestWaitView*& installedView() {
    static RequestWaitView* view = nullptr;
    return view;
}

ServerGiveUp*& activeGiveUp() {
    thread_local ServerGiveUp* giveUp = nullptr;
    return giveUp;
}

}  // namespace

RequestWaitView* setRequestWaitView(RequestWaitView* view) {
    platform::DatabaseWaitPolicy policy;
    if (view)
        policy = {[view](const QString& address) { view->begin(databaseWaitText(address)); }, [view] { view->end(); },
                  [view] { view->serve(); }, [view] { return view->cancelled(); }};
    platform::setDatabaseWaitPolicy(std::move(policy));
    return std::exchange(installedView(), view);
}

QString requestWaitText(const QString& url) {
    return QStringLiteral("Waiting for an answer from ") + requestWaitAddress(url) + QStringLiteral(" ...");
}

QString databaseWaitText(const QString& address) {
    return QStringLiteral("Waiting for the task database at ") + address + QStringLiteral(" ...");
}

QString requestWaitAddress(const QString& url) {
    const QUrl parsed(url);
    if (!parsed.isValid() || parsed.host().isEmpty()) {
        // Not an address the view can take apart: at least the query stays hidden.
        const qsizetype query = url.indexOf(QLatin1Char('?'));
        return query < 0 ? url : url.left(query);
    }
    return parsed.toString(QUrl::RemoveUserInfo | QUrl::RemoveQuery | QUrl::RemoveFragment);
}

ServerGiveUp::ServerGiveUp() : previous_(std::exchange(activeGiveUp(), this)) {}

ServerGiveUp::~ServerGiveUp() { activeGiveUp() = previous_; }

bool serverGivenUp() { return activeGiveUp() && activeGiveUp()->givenUp(); }

ServerGiveUpPause::ServerGiveUpPause() : paused_(std::exchange(activeGiveUp(), nullptr)) {}

ServerGiveUpPause::~ServerGiveUpPause() { activeGiveUp() = paused_; }

RequestWaitScope::RequestWaitScope(const QString& url) : view_(installedView()) {
    // The view is the window's: a request on another thread just blocks that thread.
    const QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread()) view_ = nullptr;
    if (!view_) return;
    RequestWaitView* view = view_;
    previous_ = platform::setRequestWaitPolicy(
        {true, [view] { return serverGivenUp() || view->cancelled(); }, [view] { view->serve(); }});
    view_->begin(requestWaitText(url));
}

RequestWaitScope::~RequestWaitScope() {
    if (!view_) return;
    if (view_->cancelled() && activeGiveUp()) activeGiveUp()->giveUp();
    view_->end();
    platform::setRequestWaitPolicy(std::move(previous_));
}

}  // namespace tavrel
