// The jobs' timers on their one queue.
#include "jobs/JobTimer.h"

#include "platform/testsupport/TestSupport.h"

#include <QCoreApplication>
#include <QStringList>
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

}  // namespace
