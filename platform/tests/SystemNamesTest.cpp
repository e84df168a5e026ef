#include "platform/SystemNames.h"

#include <gtest/gtest.h>

#include <optional>

namespace {
// Sets or clears an environment variable for one scope.
class EnvGuard {
public:
    EnvGuard(const char* name, std::optional<QByteArray> value) : name_(name) {
        if (qEnvironmentVariableIsSet(name)) previous_ = qgetenv(name);
        if (value) qputenv(name, *value);
        else qunsetenv(name);
    }
    ~EnvGuard() {
        if (previous_) qputenv(name_, *previous_);
        else qunsetenv(name_);
    }

private:
    const char* name_;
    std::optional<QByteArray> previous_;
};
}  // namespace

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
