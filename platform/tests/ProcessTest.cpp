#include "platform/CommandLine.h"
#include "platform/Error.h"
#include "platform/ExitCodes.h"
#include "platform/Process.h"
#include "platform/UniqueFd.h"

#include "platform/testsupport/TestSupport.h"

#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using platform::Process;
using platform::ProcessOptions;

namespace {

QString child() { return testsupport::binPath(QStringLiteral("tavrel-test-child")); }

ProcessOptions captureBoth(bool merge = false) {
    ProcessOptions o;
    o.captureOutput = o.captureError = true;
    o.mergeErrorIntoOutput = merge;
    return o;
}

// Sends this test program's own standard output and error (which a child that
// is not hidden inherits) to a file for the guard's life.
class TerminalToFile {
public:
    explicit TerminalToFile(const QString& path) {
        std::fflush(stdout);
        std::fflush(stderr);
        savedOut_.reset(::dup(1));
        savedErr_.reset(::dup(2));
        const platform::UniqueFd fd(::open(path.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600));
        ::dup2(fd.get(), 1);
        ::dup2(fd.get(), 2);
    }
    ~TerminalToFile() {
        std::fflush(stdout);
        std::fflush(stderr);
        ::dup2(savedOut_.get(), 1);
        ::dup2(savedErr_.get(), 2);
    }
    TerminalToFile(const TerminalToFile&) = delete;
    TerminalToFile& operator=(const TerminalToFile&) = delete;

private:
    platform::UniqueFd savedOut_;
    platform::UniqueFd savedErr_;
};

}  // namespace

TEST(Process, ExitCodesAreKeptWhole) {
    struct Case { QString status; int expected; };
    const Case cases[] = {{"0", 0}, {"1", 1}, {"13", 13}, {"255", 255}, {"201", 9001}, {"202", 9002}};
    for (const Case& c : cases) {
        Process p;
        p.start(child(), {"exit", c.status});
        ASSERT_TRUE(p.waitForFinished(10000));
        EXPECT_EQ(p.exitCode(), c.expected) << c.status.toStdString();
        EXPECT_FALSE(p.crashed());
    }
}

TEST(Process, ExitCodeTableRoundTrips) {
    using namespace platform::exitcodes;
    for (int code : {0, 1, 9, 200, 255, 9001, 9002}) EXPECT_EQ(fromStatus(toStatus(code)), code) << code;
    // An unknown wide code is a failure, never the 0 of its low 8 bits.
    EXPECT_EQ(toStatus(256), UnmappedStatus);
    EXPECT_EQ(toStatus(512), UnmappedStatus);
    EXPECT_EQ(toStatus(-1), UnmappedStatus);
    for (const Mapping& m : kTable) EXPECT_NE(m.status, StillActive);
}

TEST(Process, StillRunningAnswers259AndACrashIsNotSuccess) {
    Process p;
    p.start(child(), {"sleep", "5000"});
    EXPECT_TRUE(p.isRunning());
    EXPECT_EQ(p.exitCode(), platform::exitcodes::StillActive);

    Process crash;
    crash.start(child(), {"abort"}, captureBoth());
    ASSERT_TRUE(crash.waitForFinished(10000));
    EXPECT_TRUE(crash.crashed());
    EXPECT_EQ(crash.exitCode(), 128 + 6);  // SIGABRT
    p.kill();
    EXPECT_FALSE(p.isRunning());
    EXPECT_NE(p.exitCode(), 0);
}

TEST(Process, CapturesOutputAndErrorSeparatelyOrMerged) {
    Process p;
    p.start(child(), {"out", "to-out", "err", "to-err", "bytes", "5000"}, captureBoth());
    ASSERT_TRUE(p.waitForFinished(10000));
    const QByteArray out = p.readOutput();
    EXPECT_TRUE(out.startsWith("to-out"));
    EXPECT_EQ(out.size(), 6 + 5000);
    EXPECT_EQ(p.readError(), "to-err");

    Process merged;
    merged.start(child(), {"out", "1", "err", "2", "out", "3"}, captureBoth(true));
    ASSERT_TRUE(merged.waitForFinished(10000));
    EXPECT_EQ(merged.readOutput(), "123");

}

TEST(Process, HiddenChildWritesNothingOnOurTerminal) {
    testsupport::TempHome home;
    const QString ours = home.file("our-terminal");
    struct Case { bool out, err; QByteArray expectOut, expectErr; };
    const Case cases[] = {{true, false, "o", ""}, {false, true, "", "e"}, {false, false, "", ""}};
    QByteArray leaked;
    {
        TerminalToFile redirect(ours);
        for (const Case& c : cases) {
            ProcessOptions o;
            o.captureOutput = c.out;
            o.captureError = c.err;
            o.hidden = true;
            Process h;
            h.start(child(), {"out", "o", "err", "e"}, o);
            ASSERT_TRUE(h.waitForFinished(10000));
            EXPECT_EQ(h.readOutput(), c.expectOut);
            EXPECT_EQ(h.readError(), c.expectErr);
        }
    }
    EXPECT_EQ(testsupport::readFile(ours).toStdString(), "");
}

TEST(Process, ArgumentsArriveIntactWithoutAShell) {
    const auto split = platform::splitCommandLine(
        child() + R"( echo-args "a b" 'it''s' "say \"hi\"" ';' '$(touch /tmp/x)' `id` '*' "")");
    ASSERT_TRUE(split.ok());
    Process p;
    ProcessOptions o;
    o.captureOutput = true;
    p.start(split.arguments.first(), split.arguments.mid(1), o);
    ASSERT_TRUE(p.waitForFinished(10000));
    const QList<QByteArray> got = p.readOutput().split('\0');
    const QList<QByteArray> expected = {"a b", "its", "say \"hi\"", ";", "$(touch /tmp/x)", "`id`", "*", "", ""};
    EXPECT_EQ(got, expected);
}

TEST(Process, WaitTimesOutOnAMonotonicClock) {
    Process p;
    p.start(child(), {"sleep", "10000"});
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(p.waitForFinished(150));
    EXPECT_GE(t.elapsed(), 140);
    EXPECT_TRUE(p.isRunning());
    EXPECT_EQ(p.exitCode(), 259);
}

TEST(Process, WaitServingEventsKeepsTimersRunningAndObeysStop) {
    Process p;
    p.start(child(), {"sleep", "400", "exit", "3"});
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);
    EXPECT_TRUE(p.waitForFinishedServingEvents(10000));
    EXPECT_EQ(p.exitCode(), 3);
    EXPECT_GE(ticks, 5);

    bool stopNow = false;
    QTimer::singleShot(100, [&] { stopNow = true; });
    Process q;
    q.start(child(), {"sleep", "10000"});
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(q.waitForFinishedServingEvents(-1, [&] { return stopNow; }));
    EXPECT_LT(t.elapsed(), 5000);
    EXPECT_TRUE(q.isRunning());

    EXPECT_FALSE(q.waitForFinishedServingEvents(120));
    EXPECT_TRUE(q.isRunning());
}

TEST(Process, ProgramThatCannotStartIsAnErrorWithItsReason) {
    testsupport::TempHome home;
    testsupport::writeFile(home.file("not-executable"), "#!/bin/sh\n");
    struct Case { QString program; long number; };
    const Case cases[] = {
        {"/nonexistent/tavrel-no-such-program", 53},
        {"tavrel-no-such-program-in-path", 53},
        {"", 53},
        {home.file("not-executable"), 70},
    };
    for (const Case& c : cases) {
        Process p;
        try {
            p.start(c.program, {});
            ADD_FAILURE() << "started " << c.program.toStdString();
        } catch (const platform::Error& e) {
            EXPECT_EQ(e.number(), c.number) << c.program.toStdString();
            EXPECT_TRUE(e.description().contains(c.program)) << e.description().toStdString();
        }
        EXPECT_FALSE(p.isRunning());
        EXPECT_THROW(Process::startDetached(c.program, {}), platform::Error) << c.program.toStdString();
    }
}

TEST(Process, DetachedChildRunsOnItsOwn) {
    testsupport::TempHome home;
    const QString marker = home.file("marker");
    // /bin/sh only as the test's child: it leaves a file behind to prove it ran.
    ProcessOptions hidden;
    hidden.hidden = true;
    const qint64 pid = Process::startDetached("/bin/sh", {"-c", "echo ran > \"$1\"", "sh", marker}, hidden);
    EXPECT_GT(pid, 0);
    EXPECT_TRUE(testsupport::waitUntil([&] { return testsupport::readFile(marker) == "ran\n"; }, 10000));
}
