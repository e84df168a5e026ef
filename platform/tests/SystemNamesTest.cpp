#include "platform/SystemNames.h"

#include "platform/testsupport/TestSupport.h"

#include <gtest/gtest.h>

using testsupport::EnvGuard;

TEST(SystemNames, EnvironmentOverridesBothNames) {
    EnvGuard computer("COMPUTERNAME", QByteArray("LABPC7"));
    EnvGuard user("USERNAME", QByteArray("operator"));
    EXPECT_EQ(platform::computerName(), QStringLiteral("LABPC7"));
    EXPECT_EQ(platform::userName(), QStringLiteral("operator"));
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
