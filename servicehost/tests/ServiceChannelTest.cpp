// The running service's local channels: any program-folder path works, a
// start that fails says why, and connections that send nothing never use up
// the service's descriptors.
#include "ServiceProgram.h"

#include <QDir>
#include <QLocalSocket>
#include <QTemporaryDir>

#include <memory>
#include <vector>

using hosttest::ServiceProgram;

namespace {

int openDescriptors(qint64 pid) {
    return int(QDir(QStringLiteral("/proc/%1/fd").arg(pid)).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size());
}

class ServiceChannels : public ::testing::Test {
protected:
    void SetUp() override {
        const QString skip = env.prepare();
        if (!skip.isEmpty()) GTEST_SKIP() << qPrintable(skip);
    }
    hosttest::ServiceHome env{testsupport::DbEngine::Sqlite};
};

}  // namespace

TEST_F(ServiceChannels, AProgramFolderOfAnyLengthStartsAndAnswers) {
    // A lab's folder far deeper than a socket address holds, with the same settings.
    QTemporaryDir base;
    const QString deep = base.filePath(QString(60, QLatin1Char('l')) + QStringLiteral("/the program folder of a lab ") +
                                       QString(40, QLatin1Char('x')));
    ASSERT_TRUE(QDir().mkpath(deep + QStringLiteral("/qpl")));
    for (const char* file : {"registry.hive", "search.par"})
        ASSERT_TRUE(QFile::copy(env.home.file(file), deep + QLatin1Char('/') + QLatin1String(file)));
    const QString channel = platform::serviceChannelName(tavrelsvc::ServiceName, deep);
    EXPECT_GT(QFile::encodeName(channel).size(), 108);
    EXPECT_EQ(QFileInfo(channel).fileName().size(), QStringLiteral("tavrel-svc-0123456789abcdef").size());

    ServiceProgram service(deep, "LABPC");
    ASSERT_TRUE(service.start()) << qPrintable(service.standardError());
    QByteArray answer;
    EXPECT_EQ(platform::localChannelRequest(channel, "control 128", 10000, &answer), platform::ChannelResult::Answered);
    EXPECT_EQ(answer, "state 4 1");
    service.signal(SIGTERM);
    ASSERT_TRUE(service.waitForExit());
    EXPECT_EQ(service.exitCode(), 0) << qPrintable(service.standardError());
    EXPECT_FALSE(QFileInfo::exists(channel));  // its socket went with it
}

TEST_F(ServiceChannels, AStartThatFailsSaysWhyOnTheConsoleAndInTheEventLog) {
    // The runtime folder cannot be made: a file lies in its place.
    QDir(env.home.file("run")).removeRecursively();
    testsupport::writeFile(env.home.file("run"), "not a folder");
    ServiceProgram service(env.home.path(), "LABPC");
    ASSERT_TRUE(service.launch({"-debug"}));
    ASSERT_TRUE(service.waitForExit());
    EXPECT_EQ(service.exitCode(), 1);
    const QString said = service.standardError();
    EXPECT_TRUE(said.contains("failed to start: " + env.home.file("run"))) << qPrintable(said);
    EXPECT_GE(hosttest::countContaining(hosttest::eventLog(env.home.path()), "failed to start: " + env.home.file("run")), 1)
        << qPrintable(hosttest::eventLog(env.home.path()).join('\n'));
}

TEST_F(ServiceChannels, SilentConnectionsAreBoundedAndClosed) {
    ServiceProgram service(env.home.path(), "LABPC");
    ASSERT_TRUE(service.start()) << qPrintable(service.standardError());
    const int before = openDescriptors(service.pid());
    const QString channel = platform::serviceChannelName(tavrelsvc::ServiceName, env.home.path());
    constexpr int kSilent = 300;
    std::vector<std::unique_ptr<QLocalSocket>> sockets;
    for (int i = 0; i < kSilent; ++i) {
        sockets.push_back(std::make_unique<QLocalSocket>());
        sockets.back()->connectToServer(channel);
    }
    const auto closed = [&] {
        int n = 0;
        for (const auto& s : sockets) n += s->state() == QLocalSocket::UnconnectedState;
        return n;
    };
    // Beyond the bound they are closed at once; the rest wait their few seconds.
    ASSERT_TRUE(testsupport::waitUntil([&] { return closed() >= kSilent - 64; }, 20000)) << closed();
    EXPECT_LE(openDescriptors(service.pid()) - before, 64 + 2);
    ASSERT_TRUE(testsupport::waitUntil([&] { return closed() == kSilent; }, 30000)) << closed();
    // And it still answers.
    QByteArray answer;
    EXPECT_EQ(platform::localChannelRequest(channel, "query", 10000, &answer), platform::ChannelResult::Answered);
    EXPECT_LE(openDescriptors(service.pid()), before + 1);  // none left behind
}
