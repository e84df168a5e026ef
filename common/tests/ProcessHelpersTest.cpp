#include "common/ProcessHelpers.h"

#include "platform/Error.h"
#include "platform/testsupport/TestSupport.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>
#include <gtest/gtest.h>

using namespace common;

namespace {
QString child() { return testsupport::binPath(QStringLiteral("tavrel-test-child")); }
QString quoted(const QString& s) { return QStringLiteral("'") + s + QStringLiteral("'"); }
}  // namespace

TEST(RunAndCaptureOutput, ReturnsTheCapturedStreams) {
    const QString c = quoted(child());
    struct Case { QString args; bool out, err; QString expected; };
    const Case cases[] = {
        {"out o1 err e1 out o2", true, false, "o1o2"},
        {"out o1 err e1 out o2", false, true, "e1"},
        {"out o1 err e1 out o2", true, true, "o1e1o2"},
        {"out 'Version 2.3' exit 4", true, false, "Version 2.3"},  // the exit code is not looked at
    };
    for (const Case& k : cases)
        EXPECT_EQ(modGlobal_RunAndCaptureOutput(c + " " + k.args, k.out, k.err, true), k.expected)
            << k.args.toStdString();

    // More than one pipe buffer arrives whole.
    const QString big = modGlobal_RunAndCaptureOutput(c + " bytes 70000", true, false, false);
    ASSERT_EQ(big.size(), 70000);
    EXPECT_EQ(big.mid(26, 3), "abc");

    // A child that outlives its time limit is ended and answers nothing.
    EXPECT_EQ(modGlobal_RunAndCaptureOutput(child(), {"out", "early", "sleep", "20000"}, true, false, false, 300),
              QString());

    // 8-bit bytes are code page text.
    EXPECT_EQ(modGlobal_RunAndCaptureOutput(child(), {"hex", "636166E980"}, true, false, true),
              QString::fromUtf8("caf\u00e9\u20ac"));
}

TEST(RunAndCaptureOutput, NothingAskedIsError5AndAMissingProgramGivesEmpty) {
    try {
        modGlobal_RunAndCaptureOutput(quoted(child()), false, false, false);
        ADD_FAILURE() << "no error";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), 5);
    }
    EXPECT_EQ(modGlobal_RunAndCaptureOutput("/nonexistent/program /version", true, false, true), "");
    EXPECT_EQ(modGlobal_RunAndCaptureOutput("", true, false, true), "");
    EXPECT_EQ(modGlobal_RunAndCaptureOutput("'open quote", true, false, true), "");
}

TEST(RunCommandLine, WaitsWhileTheProgramKeepsRunning) {
    testsupport::TempHome home;
    const QString gate = home.file("go");
    const QString marker = home.file("ended");
    // The child ends only once the gate exists, and only the caller's own
    // timer makes it, after five ticks: a call that returned before the child
    // ended finds no marker, one that stopped the caller's timers never ends
    // the child (which gives up after a minute, with no marker).
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (++ticks == 5) testsupport::writeFile(gate, "");
    });
    timer.start(20);
    const QString line =
        "/bin/sh -c 'for i in $(seq 600); do [ -e \"$0\" ] && { echo ok > \"$1\"; exit 1; }; sleep 0.1; done' " +
        quoted(gate) + " " + quoted(marker);
    EXPECT_NE(modGlobal_RunCommandLine(line, true, 7), 0);
    EXPECT_GE(ticks, 5);
    EXPECT_EQ(testsupport::readFile(marker), "ok\n");
}

TEST(RunCommandLine, WithoutWaitAndWhenNothingStarts) {
    testsupport::TempHome home;
    const QString marker = home.file("started");
    const QString gate = home.file("go");
    // /bin/sh only as the test's own child: it finishes only once the gate
    // exists, which the test makes after the call returned, so a call that
    // waited for it would return only after the child gave up, with no marker.
    const QString line =
        "/bin/sh -c 'for i in $(seq 600); do [ -e \"$1\" ] && { echo ok > \"$0\"; exit 0; }; sleep 0.1; done' " +
        quoted(marker) + " " + quoted(gate);
    EXPECT_NE(modGlobal_RunCommandLine(line, false, 0), 0);
    EXPECT_FALSE(QFileInfo::exists(marker));  // did not wait for the child
    testsupport::writeFile(gate, "");
    EXPECT_TRUE(testsupport::waitUntil([&] { return testsupport::readFile(marker) == "ok\n"; }));

    EXPECT_EQ(modGlobal_RunCommandLine("/nonexistent/tavrelservice -install -silent", true, 7), 0);
    EXPECT_EQ(modGlobal_RunCommandLine("/nonexistent/tavrelservice", false, 7), 0);
    EXPECT_EQ(modGlobal_RunCommandLine("", true, 7), 0);
}

TEST(WaitSeconds, ReturnsAfterTheTimeKeepingTimersRunning) {
    QElapsedTimer t;
    t.start();
    modGlobal_WaitSeconds(1);
    EXPECT_GE(t.elapsed(), 1000);  // never sooner; a busy machine only makes it later

    // The caller's timers run all through a wait: this one lasts until they
    // have ticked ten times.
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(50);
    modGlobal_WaitSeconds(3600, [&] { return ticks >= 10; });
    EXPECT_GE(ticks, 10);
}

TEST(WaitSeconds, ZeroOrLessReturnsAtOnceAndStopEndsTheWait) {
    bool served = false;
    QTimer::singleShot(0, [&] { served = true; });
    modGlobal_WaitSeconds(0);
    modGlobal_WaitSeconds(-5);
    modGlobal_WaitSeconds(INT_MIN);
    EXPECT_FALSE(served);  // returned without serving a single event

    bool shuttingDown = false;
    QTimer::singleShot(100, [&] { shuttingDown = true; });
    modGlobal_WaitSeconds(3600, [&] { return shuttingDown; });
    EXPECT_TRUE(shuttingDown);
}
