#include "common/VersionText.h"

#include "common/ServerReplies.h"

#include <QStringList>

#include <array>
#include <optional>

namespace common {

namespace {

std::optional<std::array<double, 3>> versionFields(const QString& version) {
    const QStringList fields = (version + QStringLiteral(".0.0")).split(QLatin1Char('.'));
    std::array<double, 3> values{};
    for (int i = 0; i < 3; ++i) values[i] = leadingNumber(fields.value(i));
    if (version.isEmpty() || values[0] == 0) return std::nullopt;
    return values;
}

}  // namespace

bool isVersionAtLeast(const QString& a, const QString& b) {
    const auto left = versionFields(a);
    if (!left) return false;
    const auto right = versionFields(b);
    if (!right) return false;
    return *left >= *right;
}

}  // namespace common
