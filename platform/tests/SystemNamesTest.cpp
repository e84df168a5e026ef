#include "platform/SystemNames.h"

#include "platform/testsupport/TestSupport.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

using testsupport::EnvGuard;

// A test runs several "computers" on one machine; but who the user is decides
// which tasks are theirs and which client channel is theirs, and the
// environment is the user's to set.
TEST(SystemNames, TheComputerNameMayBeSetButTheUserIsTheAccount) {
    EnvGuard computer("COMPUTERNAME", QByteArray("LABPC7"));
    EnvGuard user("USERNAME", QByteArray("operator"));
    EXPECT_EQ(platform::computerName(), QStringLiteral("LABPC7"));
    const passwd* account = ::getpwuid(::geteuid());
    ASSERT_TRUE(account);
    EXPECT_EQ(platform::userName(), QString::fromLocal8Bit(account->pw_name));
}

TEST(SystemNames, WithoutOverrideTheHostAndLoginNamesAreUsed) {
    EnvGuard computer("COMPUTERNAME", std::nullopt);
    EnvGuard user("USERNAME", std::nullopt);
    const QString name = platform::computerName();
    EXPECT_FALSE(name.isEmpty());
    EXPECT_LE(name.size(), 15);
    EXPECT_EQ(name, name.toUpper());
    EXPECT_FALSE(name.contains(u'.'));
    EXPECT_FALSE(platform::userName().isEmpty());
}
