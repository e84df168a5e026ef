// The jobs' timers on their one queue.
#include "jobs/JobTimer.h"

#include "platform/InetWait.h"
#include "platform/testsupport/TestSupport.h"
#include "service/HttpGet.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QTcpServer>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace {

using tavrelsvc::JobTickQueue;
using tavrelsvc::JobTimer;

class JobTimers : public ::testing::Test {
protected:
    std::unique_ptr<JobTimer> timer(const QString& name, std::function<void()> also = {}) {
        return std::make_unique<JobTimer>(queue, [this, name, also] {
            fired << name;
            if (also) also();
        });
    }
    bool firedAll(qsizetype count) {
        return testsupport::waitUntil([&] { return fired.size() >= count; }, 5000);
    }

    JobTickQueue queue;
    QStringList fired;
};

TEST_F(JobTimers, TicksComeInTheOrderTheyAreDueAndStoppedOnesNever) {
    auto c = timer(QStringLiteral("c")), a = timer(QStringLiteral("a")), b = timer(QStringLiteral("b"));
    auto stopped = timer(QStringLiteral("stopped")), moved = timer(QStringLiteral("moved"));
    c->start(60);
    moved->start(1);
    a->start(20);
    stopped->start(30);
    b->start(40);
    moved->start(80);  // started again: only the later tick counts
    stopped->stop();
    EXPECT_TRUE(a->isActive());
    EXPECT_FALSE(stopped->isActive());
    EXPECT_EQ(stopped->remainingTime(), -1);
    EXPECT_GT(moved->remainingTime(), 40);
    EXPECT_LE(moved->remainingTime(), 80);
    EXPECT_EQ(queue.pending(), 4);

    ASSERT_TRUE(firedAll(4));
    QCoreApplication::processEvents();
    EXPECT_EQ(fired, (QStringList{"a", "b", "c", "moved"}));
    EXPECT_FALSE(a->isActive()) << "single-shot";
    EXPECT_EQ(queue.pending(), 0);
}

// Ticks due at the same moment go one per pass of the event loop: what was
// posted meanwhile (a request to the service) is served between them.
TEST_F(JobTimers, WhatWaitsIsServedBetweenTwoDueTicks) {
    std::unique_ptr<JobTimer> first, second, third;
    first = timer(QStringLiteral("first"), [&] {
        QTimer::singleShot(0, [&] { fired << QStringLiteral("request"); });
    });
    second = timer(QStringLiteral("second"), [&] { third.reset(); });  // a tick may end another job
    third = timer(QStringLiteral("third"));
    for (auto* t : {first.get(), second.get(), third.get()}) t->start(0);
    ASSERT_TRUE(firedAll(3));
    for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(fired, (QStringList{"first", "request", "second"}));
    EXPECT_EQ(queue.pending(), 0);

    // A tick that starts its own timer again is due again, not fired twice at once.
    fired.clear();
    std::unique_ptr<JobTimer> again;
    again = timer(QStringLiteral("again"), [&] {
        if (fired.size() < 3) again->start(0);
    });
    again->start(0);
    ASSERT_TRUE(firedAll(3));
    for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(fired.size(), 3);
}

// A tick never runs inside a job's wait for the server (the wait could not
// end before the tick's own requests): a tick due meanwhile comes as soon as
// the wait is over, not a whole interval later.
TEST_F(JobTimers, ATickDueDuringARequestWaitComesWhenTheWaitEnds) {
    QTcpServer silent;  // takes the connection and never answers
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    QElapsedTimer clock;
    clock.start();
    const platform::RequestWaitPolicy previous =
        platform::setRequestWaitPolicy({true, [&] { return clock.elapsed() > 300; }});
    bool insideWait = false;
    auto due = timer(QStringLiteral("due"), [&] { insideWait = platform::requestWaiting(); });
    due->start(20);
    QByteArray document;
    tavrelsvc::modGlobal_HttpGet(QStringLiteral("http://127.0.0.1:%1/hang").arg(silent.serverPort()), true, document);
    platform::setRequestWaitPolicy(previous);
    const qint64 waitEnded = clock.elapsed();

    EXPECT_TRUE(fired.isEmpty()) << "not inside the wait";
    ASSERT_TRUE(firedAll(1));
    EXPECT_FALSE(insideWait);
    EXPECT_LT(clock.elapsed() - waitEnded, 1000);
}

// The ticks that came due while a tick waited for the server come on the
// very next pass of the event loop once it is back, not a slice later: the
// searches of many jobs go one after the other without a pause between.
TEST_F(JobTimers, TicksHeldBackByAWaitingTickComeOnTheNextPass) {
    QTcpServer silent;  // takes the connection and never answers
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    QElapsedTimer clock;
    const platform::RequestWaitPolicy previous =
        platform::setRequestWaitPolicy({true, [&] { return clock.elapsed() > 200; }});
    bool waited = false;
    auto due = timer(QStringLiteral("due"));
    auto waiting = timer(QStringLiteral("waiting"), [&] {
        clock.start();
        due->start(20);
        QByteArray document;
        tavrelsvc::modGlobal_HttpGet(QStringLiteral("http://127.0.0.1:%1/hang").arg(silent.serverPort()), true,
                                     document);
        waited = true;
    });
    waiting->start(0);
    // No sleep between the passes: the loop comes back at once after the tick.
    QElapsedTimer guard;
    guard.start();
    while (!waited && guard.elapsed() < 10000) QCoreApplication::processEvents();
    platform::setRequestWaitPolicy(previous);
    ASSERT_TRUE(waited);
    EXPECT_EQ(fired, QStringList{QStringLiteral("waiting")});
    QCoreApplication::processEvents();
    EXPECT_EQ(fired, (QStringList{QStringLiteral("waiting"), QStringLiteral("due")}));
}

}  // namespace
