#include "common/RequestWait.h"

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

}  // namespace

RequestWaitView* setRequestWaitView(RequestWaitView* view) { return std::exchange(installedView(), view); }

QString requestWaitAddress(const QString& url) {
    const QUrl parsed(url);
    if (!parsed.isValid() || parsed.host().isEmpty()) {
        // Not an address the view can take apart: at least the query stays hidden.
        const qsizetype query = url.indexOf(QLatin1Char('?'));
        return query < 0 ? url : url.left(query);
    }
    return parsed.toString(QUrl::RemoveUserInfo | QUrl::RemoveQuery | QUrl::RemoveFragment);
}

RequestWaitScope::RequestWaitScope(const QString& url) : view_(installedView()) {
    // The view is the window's: a request on another thread just blocks that thread.
    const QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread()) view_ = nullptr;
    if (!view_) return;
    RequestWaitView* view = view_;
    previous_ = platform::setRequestWaitPolicy(
        {true, [view] { return view->cancelled(); }, [view] { view->serve(); }});
    view_->begin(requestWaitAddress(url));
}

RequestWaitScope::~RequestWaitScope() {
    if (!view_) return;
    view_->end();
    platform::setRequestWaitPolicy(std::move(previous_));
}

}  // namespace tavrel
