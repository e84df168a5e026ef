// Several processes write the same hive at once (as client and service do);
// no value may be lost and a reader must never see a torn file.
#include "platform/RegistryApi.h"
#include "platform/RegistryHive.h"
#include "platform/testsupport/TestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace platform;

namespace {
constexpr int kWriters = 4;
constexpr int kValuesPerWriter = 40;
const QString kKey = QStringLiteral("SYSTEM\\Concurrent");
}  // namespace

// The body of each child process; run only when the parent test starts it.
TEST(RegistryWriterChild, DISABLED_WriteValues) {
    const QString id = qEnvironmentVariable("REG_WRITER_ID");
    ASSERT_FALSE(id.isEmpty());
    for (int i = 0; i < kValuesPerWriter; ++i) {
        HKEY h = 0;
        ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, &h), ERROR_SUCCESS);
        RegKeyHandle guard(h);
        const QByteArray data = QByteArray::number(i) + '\0';
        ASSERT_EQ(RegSetValueEx(h, QStringLiteral("w%1_%2").arg(id).arg(i), REG_SZ, data), ERROR_SUCCESS);
    }
}

TEST(RegistryHive, ConcurrentWritersInSeveralProcessesLoseNothing) {
    testsupport::TempHome home;
    std::vector<std::unique_ptr<QProcess>> children;
    for (int w = 0; w < kWriters; ++w) {
        auto child = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("REG_WRITER_ID"), QString::number(w));
        child->setProcessEnvironment(env);
        child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child->start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--gtest_filter=RegistryWriterChild.DISABLED_WriteValues"),
                      QStringLiteral("--gtest_also_run_disabled_tests")});
        children.push_back(std::move(child));
    }

    // Meanwhile read the file again and again: it always parses.
    int reads = 0;
    auto running = [&] {
        for (auto& c : children)
            if (c->state() != QProcess::NotRunning) return true;
        return false;
    };
    do {
        HiveKey top;
        QString why;
        QFile file(RegistryHive::defaultPath());
        if (file.open(QIODevice::ReadOnly)) {
            ASSERT_TRUE(parseHive(file.readAll(), top, &why)) << why.toStdString();
            ++reads;
        }
        QCoreApplication::processEvents();
    } while (running());

    for (auto& c : children) {
        ASSERT_TRUE(c->state() == QProcess::NotRunning || c->waitForFinished(60000));
        ASSERT_EQ(c->exitStatus(), QProcess::NormalExit);
        ASSERT_EQ(c->exitCode(), 0) << c->readAllStandardOutput().toStdString();
    }

    HKEY h = 0;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &h), ERROR_SUCCESS);
    RegKeyHandle guard(h);
    quint32 values = 0;
    ASSERT_EQ(RegQueryInfoKey(h, nullptr, nullptr, &values, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(values, quint32(kWriters * kValuesPerWriter));
    for (int w = 0; w < kWriters; ++w)
        for (int i = 0; i < kValuesPerWriter; ++i)
            EXPECT_EQ(RegQueryValueEx(h, QStringLiteral("w%1_%2").arg(w).arg(i), nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_GT(reads, 0);
}
