#include "platform/RegistryApi.h"
#include "platform/RegistryHive.h"
#include "platform/testsupport/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace platform;

namespace {

HKEY create(HKEY root, const QString& path, quint32 access = KEY_ALL_ACCESS) {
    HKEY h = 0;
    EXPECT_EQ(RegCreateKeyEx(root, path, REG_OPTION_NON_VOLATILE, access, &h), ERROR_SUCCESS);
    return h;
}

QByteArray query(HKEY h, const QString& name, quint32* type = nullptr) {
    quint32 size = 0;
    EXPECT_EQ(RegQueryValueEx(h, name, type, nullptr, &size), ERROR_SUCCESS);
    QByteArray data;
    EXPECT_EQ(RegQueryValueEx(h, name, type, &data, &size), ERROR_SUCCESS);
    return data;
}

}  // namespace

TEST(RegistryHive, EveryValueTypeRoundTripsThroughTheFile) {
    testsupport::TempHome home;
    struct Case { const char* name; quint32 type; QByteArray data; };
    const Case cases[] = {
        {"Text", REG_SZ, QByteArray("http://host/cgi/\0", 17)},
        {"Empty", REG_SZ, QByteArray(1, '\0')},
        {"Quotes \"and\" \\slashes", REG_SZ, QByteArray("a\"b\\c\td\0", 9)},
        {"Unicode", REG_SZ, QString::fromUtf8("/data/\u00e9t\u00e9/\u4e2d\0").toUtf8().append('\0')},
        {"Expand", REG_EXPAND_SZ, QByteArray("%HOME%/qpl\0", 11)},
        {"Number", REG_DWORD, QByteArray("\x0f\x0e\0\0", 4)},
        {"Multi", REG_MULTI_SZ, QByteArray("one\0\0three\0\0", 12)},
        {"Binary", REG_BINARY, QByteArray("\x00\xff\x80\x7f", 4)},
        {"Unterminated", REG_SZ, QByteArray("abc")},
        {"ShortDword", REG_DWORD, QByteArray("\x01", 1)},
        {"", REG_SZ, QByteArray("default\0", 8)},
    };
    HKEY h = create(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Round\\Trip"));
    for (const Case& c : cases) ASSERT_EQ(RegSetValueEx(h, c.name, c.type, c.data), ERROR_SUCCESS) << c.name;

    // Parse the file alone: what was written is what is read.
    HiveKey top;
    ASSERT_EQ(RegistryHive().read(top), ERROR_SUCCESS);
    const HiveKey* key = top.find({"hkey_local_machine", "SOFTWARE", "round", "TRIP"});
    ASSERT_TRUE(key);
    ASSERT_EQ(key->values.size(), std::size(cases));
    for (qsizetype i = 0; i < key->values.size(); ++i) {
        EXPECT_EQ(key->values[i].name, cases[i].name);
        EXPECT_EQ(key->values[i].type, cases[i].type) << cases[i].name;
        EXPECT_EQ(key->values[i].data, cases[i].data) << cases[i].name;
    }
    const QByteArray text = testsupport::readFile(RegistryHive::defaultPath());
    EXPECT_TRUE(text.contains("[HKEY_LOCAL_MACHINE\\Software\\Round\\Trip]\n")) << text.constData();
    EXPECT_TRUE(text.contains("\"Number\"=dword:00000e0f\n"));
    EXPECT_TRUE(text.contains("\"Multi\"=multi_sz:\"one\",\"\",\"three\"\n"));
    EXPECT_TRUE(text.contains("@=sz:\"default\"\n"));
    // The owner and the program folder's group, never anyone else.
    EXPECT_EQ(QFileInfo(RegistryHive::defaultPath()).permissions(),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup |
                  QFile::WriteGroup);
    RegCloseKey(h);
}

TEST(RegistryHive, NamesCompareWithoutCaseAndKeepTheirCase) {
    testsupport::TempHome home;
    HKEY h = create(HKEY_CURRENT_USER, QStringLiteral("Software\\MixedCase"));
    ASSERT_EQ(RegSetValueEx(h, QStringLiteral("TimerTick"), REG_SZ, QByteArray("5\0", 2)), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(h, QStringLiteral("TIMERTICK"), REG_SZ, QByteArray("7\0", 2)), ERROR_SUCCESS);
    quint32 values = 0;
    ASSERT_EQ(RegQueryInfoKey(h, nullptr, nullptr, &values, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(values, 1u);
    EXPECT_EQ(query(h, QStringLiteral("timertick")), QByteArray("7\0", 2));
    QString name;
    ASSERT_EQ(RegEnumValue(h, 0, &name, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(name, QStringLiteral("TimerTick"));

    HKEY same = 0;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, QStringLiteral("SOFTWARE\\mixedcase"), 0, KEY_READ, &same), ERROR_SUCCESS);
    EXPECT_EQ(query(same, QStringLiteral("TimerTick")), QByteArray("7\0", 2));
    QString keyName;
    ASSERT_EQ(RegEnumKeyEx(HKEY_CURRENT_USER, 0, &keyName), ERROR_SUCCESS);
    EXPECT_EQ(keyName, QStringLiteral("Software"));
    RegCloseKey(same);
    RegCloseKey(h);
}

TEST(RegistryHive, CallsAnswerTheClassicCodes) {
    testsupport::TempHome home;
    HKEY h = create(HKEY_LOCAL_MACHINE, QStringLiteral("A\\B"));
    ASSERT_EQ(RegSetValueEx(h, QStringLiteral("V"), REG_SZ, QByteArray("12345\0", 6)), ERROR_SUCCESS);

    QByteArray data;
    quint32 size = 3;
    EXPECT_EQ(RegQueryValueEx(h, QStringLiteral("V"), nullptr, &data, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(RegQueryValueEx(h, QStringLiteral("missing"), nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegEnumValue(h, 1, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(RegEnumKeyEx(h, 0, nullptr), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(RegDeleteValue(h, QStringLiteral("missing")), ERROR_FILE_NOT_FOUND);

    HKEY missing = 0;
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, QStringLiteral("A\\Nope"), 0, KEY_READ, &missing), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, QStringLiteral("A\\Bad\nName"), 0, KEY_READ, &missing),
              ERROR_INVALID_PARAMETER);

    HKEY readOnly = 0;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, QStringLiteral("A\\B"), 0, KEY_READ, &readOnly), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueEx(readOnly, QStringLiteral("V"), REG_SZ, QByteArray(1, '\0')), ERROR_ACCESS_DENIED);

    quint32 disposition = 0;
    HKEY again = 0;
    ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, QStringLiteral("a\\b"), 0, KEY_READ, &again, &disposition), ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);

    // RegDeleteKey refuses a key with sub-keys; SHDeleteKey takes the tree.
    EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, QStringLiteral("A")), ERROR_ACCESS_DENIED);
    EXPECT_EQ(SHDeleteKey(HKEY_LOCAL_MACHINE, QStringLiteral("a")), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueEx(h, QStringLiteral("V"), nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
    EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, QStringLiteral("A")), ERROR_FILE_NOT_FOUND);

    for (HKEY k : {h, readOnly, again}) EXPECT_EQ(RegCloseKey(k), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(h), ERROR_INVALID_HANDLE);
}

TEST(RegistryHive, ADamagedFileIsReportedAndNeverOverwritten) {
    testsupport::TempHome home;
    const QByteArray damaged("[HKEY_LOCAL_MACHINE\\X]\n\"Ok\"=sz:\"fine\"\n\"Broken\"=dword:zz\n");
    testsupport::writeFile(RegistryHive::defaultPath(), damaged);

    HiveKey top;
    RegistryHive hive;
    EXPECT_EQ(hive.read(top), ERROR_BADDB);
    EXPECT_TRUE(hive.lastProblem().contains(QStringLiteral("line 3"))) << hive.lastProblem().toStdString();

    HKEY h = 0;
    EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, QStringLiteral("X\\New"), 0, KEY_ALL_ACCESS, &h), ERROR_BADDB);
    EXPECT_EQ(RegSetValueEx(HKEY_LOCAL_MACHINE, QStringLiteral("V"), REG_SZ, QByteArray(1, '\0')), ERROR_BADDB);
    EXPECT_EQ(testsupport::readFile(RegistryHive::defaultPath()), damaged);
}

TEST(RegistryHive, HandEditedFileIsRead) {
    testsupport::TempHome home;
    testsupport::writeFile(RegistryHive::defaultPath(),
                           "; written by hand\r\n[HKEY_LOCAL_MACHINE\\Shares]\r\n\"data\"=sz:\"/srv/data\"\r\n"
                           "\"n\"=dword:0000003C\r\n\"raw\"=hex(3):0a,0B\r\n");
    HKEY h = 0;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, QStringLiteral("shares"), 0, KEY_READ, &h), ERROR_SUCCESS);
    RegKeyHandle guard(h);
    EXPECT_EQ(query(h, QStringLiteral("DATA")), QByteArray("/srv/data\0", 10));
    EXPECT_EQ(query(h, QStringLiteral("n")), QByteArray("\x3c\0\0\0", 4));
    quint32 type = 0;
    EXPECT_EQ(query(h, QStringLiteral("raw"), &type), QByteArray("\x0a\x0b"));
    EXPECT_EQ(type, REG_BINARY);
}

// A hive of keys nested deeper than the registry allows is damaged: it is
// refused, never written again, and no key that deep is made.
TEST(RegistryHive, KeysNestedTooDeeplyAreRefused) {
    QByteArray deep = "[HKEY_LOCAL_MACHINE";
    for (int i = 0; i < 200000; ++i) deep += "\\k";
    deep += "]\n\"v\"=sz:\"x\"\n";
    HiveKey top;
    QString error;
    EXPECT_FALSE(parseHive(deep, top, &error));
    EXPECT_TRUE(error.contains(QString::number(kMaxHiveDepth))) << qPrintable(error.left(200));

    testsupport::TempHome home;
    testsupport::writeFile(RegistryHive::defaultPath(), deep);
    HKEY h = 0;
    EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\x"), REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, &h),
              ERROR_BADDB);
    EXPECT_EQ(testsupport::readFile(RegistryHive::defaultPath()), deep);

    QFile::remove(RegistryHive::defaultPath());
    QStringList names(kMaxHiveDepth, QStringLiteral("k"));
    EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, names.join(u'\\'), REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, &h),
              ERROR_INVALID_PARAMETER);
    names.removeLast();  // the root is a level of its own
    ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, names.join(u'\\'), REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, &h),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(h, "v", REG_SZ, QByteArray("deep\0", 5)), ERROR_SUCCESS);
    EXPECT_EQ(query(h, "v"), QByteArray("deep\0", 5));
}

// Another account of the program folder's group may plant a link in place of
// the hive: a save replaces the link and leaves the file it named alone.
TEST(RegistryHive, ASaveReplacesALinkInPlaceOfTheHive) {
    testsupport::TempHome home;
    QTemporaryDir elsewhere;
    HKEY h = create(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Tavrel"));
    ASSERT_EQ(RegSetValueEx(h, QStringLiteral("First"), REG_SZ, QByteArray("1\0", 2)), ERROR_SUCCESS);
    const QString victim = elsewhere.filePath("victim.hive");
    ASSERT_TRUE(QFile::rename(RegistryHive::defaultPath(), victim));
    const QByteArray before = testsupport::readFile(victim);
    ASSERT_TRUE(QFile::link(victim, RegistryHive::defaultPath()));
    EXPECT_EQ(RegSetValueEx(h, QStringLiteral("Second"), REG_SZ, QByteArray("2\0", 2)), ERROR_SUCCESS);
    EXPECT_EQ(testsupport::readFile(victim), before);
    EXPECT_FALSE(QFileInfo(RegistryHive::defaultPath()).isSymLink());
    EXPECT_TRUE(testsupport::readFile(RegistryHive::defaultPath()).contains("\"Second\"=sz:\"2\""));
    RegCloseKey(h);
}
