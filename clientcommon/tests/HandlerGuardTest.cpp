#include "clientcommon/HandlerGuard.h"

#include "platform/Error.h"
#include "platform/MessageBox.h"
#include "platform/testsupport/TestSupport.h"

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

using tavrel::guardHandler;
using tavrel::TimerGuard;

namespace {

// Records every box; onShow runs while the "box is open", as a nested event
// loop would run other handlers meanwhile.
struct Boxes : platform::MessageBoxHandler {
    QStringList texts;
    std::function<void()> onShow;
    int show(const QString& text, int, const QString& title) override {
        texts << text;
        EXPECT_EQ(title, "Sorvex Tavrel");
        if (onShow) onShow();
        return platform::vbOK;
    }
};

class HandlerGuardTest : public ::testing::Test {
protected:
    void SetUp() override { previous_ = platform::setMessageBoxHandler(&boxes); }
    void TearDown() override { platform::setMessageBoxHandler(previous_); }
    Boxes boxes;

private:
    platform::MessageBoxHandler* previous_ = nullptr;
};

}  // namespace

TEST(UnexpectedErrorText, NamesTheHandlerAndTheError) {
    struct Case {
        std::function<void()> thrower;
        QString expected;
    } cases[] = {
        {[] { throw platform::Error(5, "Invalid procedure call"); }, "cmdTaskRun_Click: 5: Invalid procedure call"},
        {[] { throw std::runtime_error("vector too long"); }, "cmdTaskRun_Click: vector too long"},
        {[] { throw std::bad_alloc(); }, "cmdTaskRun_Click: 7: Out of memory"},
        {[] { throw 42; }, "cmdTaskRun_Click: unknown error"},
    };
    for (const Case& c : cases) {
        try {
            c.thrower();
        } catch (...) {
            EXPECT_EQ(tavrel::unexpectedErrorText("cmdTaskRun_Click", std::current_exception()), c.expected);
        }
    }
}

TEST_F(HandlerGuardTest, AnErrorShowsTheReportBoxAndGoesNoFurther) {
    EXPECT_TRUE(guardHandler("ok_Click", [] {}));
    EXPECT_TRUE(boxes.texts.isEmpty());

    EXPECT_FALSE(guardHandler("bad_Click", [] { throw platform::Error(91, "Object variable not set"); }));
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].endsWith("\r\nbad_Click: 91: Object variable not set")) << boxes.texts[0].toStdString();

    // A box that fails itself must not let the error out either.
    boxes.onShow = [] { throw std::runtime_error("no display"); };
    EXPECT_FALSE(guardHandler("worse_Click", [] { throw 1; }));
}

TEST_F(HandlerGuardTest, GuardedSlotTakesTheSignalsArguments) {
    QObject sender;
    QObject::connect(&sender, &QObject::objectNameChanged, &sender,
                     tavrel::guarded("txtTaskLabel_Change", [](const QString& name) {
                         throw platform::Error(13, "Type mismatch: " + name);
                     }));
    sender.setObjectName("abc");
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].endsWith("txtTaskLabel_Change: 13: Type mismatch: abc"));
}

TEST_F(HandlerGuardTest, TimerShowsARepeatedErrorOnce) {
    TimerGuard guard("tmrRefresh_Timer");
    QString cause = "5: first";
    int ticks = 0;
    QTimer timer;
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        guard.run([&] {
            ++ticks;
            throw std::runtime_error(cause.toStdString());
        });
    });
    timer.start();
    ASSERT_TRUE(testsupport::waitUntil([&] { return ticks >= 20; }));
    EXPECT_EQ(boxes.texts.size(), 1);

    cause = "6: second";  // a new cause is shown
    ASSERT_TRUE(testsupport::waitUntil([&] { return boxes.texts.size() == 2; }));
    timer.stop();

    // After a good tick the same cause counts as new again.
    EXPECT_TRUE(guard.run([] {}));
    EXPECT_FALSE(guard.run([&] { throw std::runtime_error(cause.toStdString()); }));
    EXPECT_EQ(boxes.texts.size(), 3);
}

TEST_F(HandlerGuardTest, TimerTickIsSkippedWhileItsBoxIsOpen) {
    TimerGuard guard("tmrJob_Timer");
    int ticks = 0;
    const auto failing = [&] {
        ++ticks;
        throw platform::Error(ticks, "tick");  // a new cause each time
    };
    boxes.onShow = [&] { EXPECT_FALSE(guard.run(failing)); };
    EXPECT_FALSE(guard.run(failing));
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(boxes.texts.size(), 1);
}

TEST(ReentryGuard, OnlyTheOuterScopeOwnsTheFlag) {
    bool busy = false;
    {
        tavrel::ReentryGuard outer(busy);
        EXPECT_TRUE(outer.entered());
        {
            tavrel::ReentryGuard inner(busy);
            EXPECT_FALSE(inner.entered());
        }
        EXPECT_TRUE(busy);
    }
    EXPECT_FALSE(busy);
}

TEST_F(HandlerGuardTest, RepeatedErrorBoxShowsEachCauseOnceAndOneBoxAtATime) {
    tavrel::RepeatedErrorBox box;
    bool nestedShown = true;
    boxes.onShow = [&] { nestedShown = box.show("paint failed again"); };
    EXPECT_TRUE(box.show("paint failed"));
    EXPECT_FALSE(nestedShown);  // an error while the box is open
    boxes.onShow = nullptr;
    EXPECT_FALSE(box.show("paint failed"));
    box.forget();
    EXPECT_TRUE(box.show("paint failed"));
    EXPECT_EQ(boxes.texts.size(), 2);
}
