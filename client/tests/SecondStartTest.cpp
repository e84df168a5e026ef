// A second start of the real program hands over to the first instead of
// opening a window of its own.
#include "client/frmMain.h"
#include "clientcommon/PreviousInstance.h"
#include "platform/LocalChannel.h"
#include "platform/testsupport/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>
#include <gtest/gtest.h>

#include <functional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>


namespace {

// The account the tests run as, as the system knows it.
QString accountName() {
    const passwd* account = ::getpwuid(::geteuid());
    return account ? QString::fromLocal8Bit(account->pw_name) : QString();
}

bool finishes(QProcess& process, int timeoutMs) {
    return testsupport::waitUntil([&] { return process.state() == QProcess::NotRunning; }, timeoutMs);
}

class SecondStartTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (QProcess* p : {&first, &second}) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished();
            }
        }
    }
    testsupport::TempHome home;
    // The environment may name anyone: the instance is the account's.
    testsupport::EnvGuard user{"USERNAME", QByteArray("someone-else")};
    const QString account = accountName();
    QProcess first, second;
};

}  // namespace

TEST_F(SecondStartTest, BringsTheFirstWindowForwardAndEnds) {
    tavrel::InstanceClaim claim(home.path(), account);
    ASSERT_TRUE(claim.isFirst());
    tavrel::frmMain window;
    window.setStartupCompleted(true);
    ASSERT_TRUE(claim.listen([&] { window.bringForward(); }));
    window.showMinimized();
    ASSERT_TRUE(window.isMinimized());

    second.start(testsupport::binPath("Tavrel"), {});
    ASSERT_TRUE(second.waitForStarted());
    ASSERT_TRUE(finishes(second, 20000)) << "the second start kept running";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(window.isVisible());
}

TEST_F(SecondStartTest, AClientThatDiedDoesNotBlockTheNext) {
    first.start(testsupport::binPath("Tavrel"), {});
    ASSERT_TRUE(first.waitForStarted());
    const QString channel = tavrel::clientInstanceChannel(home.path(), account);
    QByteArray answer;
    ASSERT_TRUE(testsupport::waitUntil([&] {
        return platform::localChannelRequest(channel, "bring forward", 500, &answer) ==
               platform::ChannelResult::Answered;
    }));
    first.kill();  // leaves its lock behind
    ASSERT_TRUE(first.waitForFinished());

    // The next start is the first instance again: it answers the channel
    // itself (here while its start-up waits in the preferences dialog of an
    // empty program folder).
    second.start(testsupport::binPath("Tavrel"), {});
    ASSERT_TRUE(second.waitForStarted());
    EXPECT_TRUE(testsupport::waitUntil([&] {
        return platform::localChannelRequest(channel, "bring forward", 500, &answer) ==
               platform::ChannelResult::Answered;
    }));
    EXPECT_EQ(second.state(), QProcess::Running);
}

// A program folder the user cannot write (here not even a folder, so that
// the test holds for root too; a lab user outside the folder's group meets
// "Permission denied") is no second instance: the start says what is wrong.
TEST_F(SecondStartTest, AProgramFolderThatCannotBeWrittenIsNamedNotTakenForAnotherInstance) {
    testsupport::writeFile(home.file("plain"), "a file, not a folder");
    const QString folder = home.file("plain/tavrel");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TAVREL_HOME", folder);
    first.setProcessEnvironment(env);
    first.start(testsupport::binPath("Tavrel"), {});
    ASSERT_TRUE(first.waitForStarted());
    QByteArray err;
    testsupport::waitUntil([&] {
        err += first.readAllStandardError();
        return err.contains("log-in") || first.state() == QProcess::NotRunning;
    }, 20000);
    err += first.readAllStandardError();
    EXPECT_TRUE(err.contains("the program folder " + folder.toUtf8() + " cannot be written: Not a directory"))
        << err.constData();
    EXPECT_TRUE(err.contains("usermod -aG")) << "the group step an administrator takes";
    EXPECT_FALSE(err.contains("another instance")) << err.constData();
}

// What another account of the folder's group (or a power cut) left at the
// name of this user's instance lock never keeps the user out: the start is
// the first instance and answers on its channel.
TEST_F(SecondStartTest, APlantedOrDamagedLockNeverKeepsTheUserOut) {
    const QString channel = tavrel::clientInstanceChannel(home.path(), account);
    const QString lock = channel + ".lock";
    ASSERT_TRUE(QDir().mkpath(QFileInfo(lock).path()));
    ::chmod(QFile::encodeName(QFileInfo(lock).path()).constData(), 0770);
    const struct {
        const char* what;
        std::function<bool()> plant;
    } cases[] = {
        {"an empty file", [&] { return QFile(lock).open(QIODevice::WriteOnly); }},
        {"a lock naming process 1", [&] {
             testsupport::writeFile(lock, "1\nTavrel\n" + QSysInfo::machineHostName().toUtf8() + "\n");
             return true;
         }},
        {"an empty folder", [&] { return QDir().mkdir(lock); }},
        {"a fifo", [&] { return ::mkfifo(QFile::encodeName(lock).constData(), 0660) == 0; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(c.plant());
        first.start(testsupport::binPath("Tavrel"), {});
        ASSERT_TRUE(first.waitForStarted());
        QByteArray answer;
        EXPECT_TRUE(testsupport::waitUntil([&] {
            return platform::localChannelRequest(channel, "bring forward", 500, &answer) ==
                   platform::ChannelResult::Answered;
        }, 30000)) << first.readAllStandardError().constData();
        first.kill();
        first.waitForFinished();
        QDir().rmdir(lock);
        QFile::remove(lock);
    }
}
