#include "common/Settings.h"

#include "platform/Error.h"
#include "platform/RegistryApi.h"
#include "platform/RegistryHive.h"
#include "platform/testsupport/TestSupport.h"

#include <gtest/gtest.h>

using namespace common;

namespace {

const QString kApp = QStringLiteral("Sorvex Tavrel");
const QString kPrefs = QStringLiteral("Preferences");

std::pair<quint32, QByteArray> storedPreference(const QString& name) {
    platform::RegKeyHandle h;
    if (platform::RegOpenKeyEx(platform::HKEY_LOCAL_MACHINE, SettingsKey + kPrefs, 0, platform::KEY_READ, h.out()) != 0)
        return {};
    quint32 type = 0, size = 1024;
    QByteArray data;
    if (platform::RegQueryValueEx(h.get(), name, &type, &data, &size) != 0) return {};
    return {type, data};
}

class SettingsTest : public ::testing::Test {
protected:
    testsupport::TempHome home;
};

}  // namespace

TEST_F(SettingsTest, SectionsLiveUnderTheServiceKey) {
    ASSERT_TRUE(modGlobal_SaveSetting(kApp, QStringLiteral("Recent Files"), QStringLiteral("RecentFile1"),
                                      QStringLiteral("/data/a.par")));
    const QByteArray hive = testsupport::readFile(platform::RegistryHive::defaultPath());
    EXPECT_TRUE(hive.contains("[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\SorvexTavrelService\\Recent Files]\n"
                              "\"RecentFile1\"=sz:\"/data/a.par\"\n"))
        << hive.constData();
    EXPECT_EQ(modGlobal_GetSetting(kApp, QStringLiteral("recent files"), QStringLiteral("recentfile1")),
              QVariant(QStringLiteral("/data/a.par")));
}

TEST_F(SettingsTest, ReadersAnswerEmptyForMissingValuesAndSections) {
    EXPECT_TRUE(modGlobal_GetAllSettings(kApp, kPrefs).isEmpty());
    EXPECT_FALSE(modGlobal_GetSetting(kApp, kPrefs, QStringLiteral("BaseUrl")).isValid());
    // A section that exists but holds nothing is still no table.
    modGlobal_SaveSetting(kApp, kPrefs, QStringLiteral("X"), QStringLiteral("1"));
    platform::RegKeyHandle h;
    platform::RegOpenKeyEx(platform::HKEY_LOCAL_MACHINE, SettingsKey + kPrefs, 0, platform::KEY_ALL_ACCESS, h.out());
    platform::RegDeleteValue(h.get(), QStringLiteral("X"));
    EXPECT_TRUE(modGlobal_GetAllSettings(kApp, kPrefs).isEmpty());
}

TEST_F(SettingsTest, SavedValuesKeepTheirTypeAndComeBackInOrder) {
    ASSERT_TRUE(modGlobal_SaveSetting(kApp, kPrefs, QStringLiteral("TimeOut"), QVariant::fromValue<qint32>(600)));
    ASSERT_TRUE(modGlobal_SaveSetting(kApp, kPrefs, QStringLiteral("BaseUrl"), QStringLiteral("http://127.0.0.1/cgi/")));
    ASSERT_TRUE(modGlobal_SaveSetting(kApp, kPrefs, QStringLiteral("timeout"), QStringLiteral("15")));
    ASSERT_TRUE(modGlobal_SaveSetting(kApp, kPrefs, QStringLiteral("TimerTick"), QStringLiteral("15")));
    ASSERT_TRUE(modGlobal_SaveSetting(kApp, kPrefs, QStringLiteral("Proxy"), QString()));
    ASSERT_TRUE(modGlobal_SaveSetting(kApp, kPrefs, QStringLiteral("Unset"), QVariant()));

    EXPECT_EQ(storedPreference(QStringLiteral("TimeOut")), std::make_pair(platform::REG_DWORD, QByteArray("\x0f\0\0\0", 4)));
    EXPECT_EQ(storedPreference(QStringLiteral("TimerTick")), std::make_pair(platform::REG_SZ, QByteArray("15\0", 3)));
    EXPECT_EQ(storedPreference(QStringLiteral("Proxy")), std::make_pair(platform::REG_SZ, QByteArray(1, '\0')));
    EXPECT_EQ(storedPreference(QStringLiteral("Unset")).first, platform::REG_NONE);

    EXPECT_EQ(modGlobal_GetSetting(kApp, kPrefs, QStringLiteral("TIMEOUT")), QVariant::fromValue<qint32>(15));
    const RegValueTable all = modGlobal_GetAllSettings(kApp, kPrefs);
    ASSERT_EQ(all.size(), 4);
    EXPECT_EQ(all[0].name, QStringLiteral("TimeOut"));
    EXPECT_EQ(all[1].value, QVariant(QStringLiteral("http://127.0.0.1/cgi/")));
    EXPECT_EQ(all[3].value, QVariant(QString()));

    EXPECT_THROW(modGlobal_SaveSetting(kApp, kPrefs, QStringLiteral("TimeOut"), QStringLiteral("abc")), platform::Error);
}

TEST_F(SettingsTest, AWriteThatCannotBeStoredIsReported) {
    const QByteArray damaged("[HKEY_LOCAL_MACHINE\nnot a hive\n");
    testsupport::writeFile(platform::RegistryHive::defaultPath(), damaged);
    EXPECT_FALSE(modGlobal_SaveSetting(kApp, kPrefs, QStringLiteral("BaseUrl"), QStringLiteral("http://x/")));
    EXPECT_TRUE(modGlobal_GetAllSettings(kApp, kPrefs).isEmpty());
    EXPECT_EQ(testsupport::readFile(platform::RegistryHive::defaultPath()), damaged);
}

TEST(SettingConversions, StoredNumbersConvert) {
    struct Case { QVariant in; int out; long error; };
    const Case cases[] = {
        {QStringLiteral("15"), 15, 0}, {QStringLiteral(" 60 "), 60, 0}, {QStringLiteral("10.5"), 10, 0},
        {QStringLiteral("11.5"), 12, 0}, {QVariant::fromValue<qint32>(-7), -7, 0}, {QStringLiteral("abc"), 0, 13},
        {QStringLiteral(""), 0, 13}, {QStringLiteral("40000"), 0, 6},
    };
    for (const Case& c : cases) {
        try {
            EXPECT_EQ(settingToInteger(c.in), c.out) << c.in.toString().toStdString();
            EXPECT_EQ(c.error, 0) << c.in.toString().toStdString();
        } catch (const platform::Error& e) {
            EXPECT_EQ(e.number(), c.error) << c.in.toString().toStdString();
        }
    }
    EXPECT_EQ(settingToLong(QStringLiteral("40000")), 40000);
}
