#include "common/RegOp.h"

#include "platform/Error.h"
#include "platform/MessageBox.h"
#include "platform/RegistryApi.h"
#include "platform/testsupport/TestSupport.h"

#include <gtest/gtest.h>

using common::RegOp;
using namespace platform;

namespace {

const QString kPath = QStringLiteral("Software\\Tavrel Test\\Values");

// The stored type and bytes of a value, read past the class.
std::pair<quint32, QByteArray> stored(const QString& path, const QString& name) {
    RegKeyHandle h;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, path, 0, KEY_READ, h.out()) != ERROR_SUCCESS) return {REG_NONE, {}};
    quint32 type = REG_NONE, size = 0;
    QByteArray data;
    RegQueryValueEx(h.get(), name, &type, nullptr, &size);
    if (RegQueryValueEx(h.get(), name, &type, &data, &size) != ERROR_SUCCESS) return {REG_NONE, {}};
    return {type, data};
}

bool keyExists(const QString& path) {
    RegKeyHandle h;
    return RegOpenKeyEx(HKEY_CURRENT_USER, path, 0, KEY_READ, h.out()) == ERROR_SUCCESS;
}

class CountingBoxes : public MessageBoxHandler {
public:
    int show(const QString& text, int, const QString& title) override {
        last = title + QStringLiteral(": ") + text;
        ++count;
        return vbOK;
    }
    int count = 0;
    QString last;
};

class RegOpTest : public ::testing::Test {
protected:
    testsupport::TempHome home;
};

}  // namespace

TEST_F(RegOpTest, WritesChooseTheStoredTypeAndReadsConvertBack) {
    qputenv("TAVREL_REGOP_VAR", "/srv/x");
    RegOp reg;
    reg.Key(kPath);
    ASSERT_TRUE(reg.Value(QStringLiteral("Text"), QStringLiteral("abc")));
    ASSERT_TRUE(reg.Value(QStringLiteral("Number"), QVariant::fromValue<qint32>(3600)));
    ASSERT_TRUE(reg.Value(QStringLiteral("Small"), QVariant::fromValue<qint16>(-5)));
    ASSERT_TRUE(reg.Value(QStringLiteral("Real"), 2.5));
    ASSERT_TRUE(reg.Value(QStringLiteral("List"), QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    ASSERT_TRUE(reg.Value(QStringLiteral("Expand"), QStringLiteral("%tavrel_regop_var%/qpl")));
    ASSERT_TRUE(reg.Value(QStringLiteral("NoVar"), QStringLiteral("%TAVREL_NO_SUCH_VAR%/qpl")));
    ASSERT_TRUE(reg.Value(QStringLiteral("Empty"), QString()));
    ASSERT_TRUE(reg.Value(QStringLiteral("Nothing"), QVariant()));

    struct Case { const char* name; quint32 type; QByteArray data; };
    const Case cases[] = {
        {"Text", REG_SZ, QByteArray("abc\0", 4)},
        {"Number", REG_DWORD, QByteArray("\x10\x0e\0\0", 4)},
        {"Small", REG_DWORD, QByteArray("\xfb\xff\xff\xff", 4)},
        {"Real", REG_SZ, QByteArray("2.5\0", 4)},
        {"List", REG_MULTI_SZ, QByteArray("a\0b\0\0", 5)},
        {"Expand", REG_EXPAND_SZ, QByteArray("%tavrel_regop_var%/qpl\0", 23)},
        {"NoVar", REG_SZ, QByteArray("%TAVREL_NO_SUCH_VAR%/qpl\0", 25)},
        {"Empty", REG_SZ, QByteArray(1, '\0')},
        {"Nothing", REG_NONE, QByteArray()},
    };
    for (const Case& c : cases) {
        const auto [type, data] = stored(kPath, c.name);
        EXPECT_EQ(type, c.type) << c.name;
        EXPECT_EQ(data, c.data) << c.name;
    }

    RegOp plain;
    plain.Key(kPath);
    EXPECT_EQ(plain.Value(QStringLiteral("number")), QVariant::fromValue<qint32>(3600));
    EXPECT_EQ(plain.Value(QStringLiteral("Small")).typeId(), QMetaType::Int);
    EXPECT_EQ(plain.Value(QStringLiteral("List")), QVariant(QString::fromUtf8("a\0b", 3)));
    EXPECT_EQ(plain.Value(QStringLiteral("Expand")), QVariant(QStringLiteral("%tavrel_regop_var%/qpl")));
    EXPECT_FALSE(plain.Value(QStringLiteral("absent")).isValid());

    RegOp options;
    options.Key(kPath);
    options.Options(RegOp::MultiStringAsArray | RegOp::ExpandEnvironmentStrings);
    EXPECT_EQ(options.Value(QStringLiteral("List")), QVariant(QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(options.Value(QStringLiteral("Expand")), QVariant(QStringLiteral("/srv/x/qpl")));
    qunsetenv("TAVREL_REGOP_VAR");
}

TEST_F(RegOpTest, AnExistingValueKeepsItsType) {
    RegOp reg;
    reg.Key(kPath);
    reg.Value(QStringLiteral("Dword"), 7);
    reg.Value(QStringLiteral("Sz"), QStringLiteral("x"));
    ASSERT_TRUE(reg.Value(QStringLiteral("Dword"), QStringLiteral(" 15 ")));
    ASSERT_TRUE(reg.Value(QStringLiteral("Sz"), 42));
    EXPECT_EQ(stored(kPath, QStringLiteral("Dword")), std::make_pair(REG_DWORD, QByteArray("\x0f\0\0\0", 4)));
    EXPECT_EQ(stored(kPath, QStringLiteral("Sz")), std::make_pair(REG_SZ, QByteArray("42\0", 3)));

    // Text that is no number cannot go into a number: the caller hears of it.
    try {
        reg.Value(QStringLiteral("Dword"), QStringLiteral("abc"));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 13);
    }
    EXPECT_THROW(reg.Value(QStringLiteral("Dword"), QStringLiteral("3000000000")), Error);
    EXPECT_EQ(stored(kPath, QStringLiteral("Dword")).second, QByteArray("\x0f\0\0\0", 4));

    // Numbers as text, and the default value, are stored as text.
    RegOp asText;
    asText.Key(kPath);
    asText.Options(RegOp::NumbersAsText);
    asText.Options(99);  // out of range: ignored
    EXPECT_EQ(asText.Options(), RegOp::NumbersAsText);
    asText.Value(QStringLiteral("New"), 12);
    asText.Value(QString(), 13);
    EXPECT_EQ(stored(kPath, QStringLiteral("New")), std::make_pair(REG_SZ, QByteArray("12\0", 3)));
    EXPECT_EQ(stored(kPath, QString()), std::make_pair(REG_SZ, QByteArray("13\0", 3)));
}

TEST_F(RegOpTest, UnsupportedExistingTypeIsNotOverwrittenAndReportedOnlyOnRequest) {
    {
        RegKeyHandle h;
        ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, kPath, 0, KEY_ALL_ACCESS, h.out()), ERROR_SUCCESS);
        RegSetValueEx(h.get(), QStringLiteral("Blob"), REG_BINARY, QByteArray("\x01\x02", 2));
    }
    CountingBoxes boxes;
    MessageBoxHandler* previous = setMessageBoxHandler(&boxes);
    RegOp reg;
    reg.Key(kPath);
    EXPECT_EQ(reg.Value(QStringLiteral("Blob")), QVariant(QStringLiteral("(unsupported data format)")));
    EXPECT_FALSE(reg.Value(QStringLiteral("Blob"), QStringLiteral("x")));
    EXPECT_EQ(boxes.count, 0);
    reg.Options(RegOp::ShowErrors);
    EXPECT_FALSE(reg.Value(QStringLiteral("Blob"), QStringLiteral("x")));
    EXPECT_EQ(boxes.last, QStringLiteral("Registry Error: Existing value has unsupported data type and will not be overwritten"));
    EXPECT_EQ(stored(kPath, QStringLiteral("Blob")).second, QByteArray("\x01\x02", 2));

    RegOp noKey;
    noKey.Options(RegOp::ShowErrors);
    EXPECT_TRUE(noKey.AllValues().isEmpty());
    EXPECT_EQ(boxes.last, QStringLiteral("Registry Error: No Key name specified!"));
    setMessageBoxHandler(previous);
}

TEST_F(RegOpTest, ListsCountsAndDeletes) {
    RegOp reg;
    reg.Root(HKEY_LOCAL_MACHINE);
    reg.Key(QStringLiteral("Software\\Lists"));
    EXPECT_TRUE(reg.AllValues().isEmpty());
    EXPECT_TRUE(reg.AllKeys().isEmpty());
    reg.Value(QStringLiteral("Zeta"), QStringLiteral("1"));
    reg.Value(QStringLiteral("Alpha"), 2);
    const common::RegValueTable all = reg.AllValues();
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[0].name, QStringLiteral("Zeta"));
    EXPECT_EQ(all[1].value, QVariant::fromValue<qint32>(2));
    EXPECT_EQ(reg.ValueCount(), 2);
    EXPECT_TRUE(reg.DeleteValue(QStringLiteral("ZETA")));
    EXPECT_FALSE(reg.DeleteValue(QStringLiteral("Zeta")));
    EXPECT_EQ(reg.ValueCount(), 1);

    RegOp child;
    child.Root(HKEY_LOCAL_MACHINE);
    child.Key(QStringLiteral("Software\\Lists\\Child\\Grandchild"));
    EXPECT_EQ(child.ValueCount(), 0);  // opening creates the key
    EXPECT_EQ(reg.KeyCount(), 0);      // counts are those of the last open or change
    RegOp fresh;
    fresh.Root(HKEY_LOCAL_MACHINE);
    fresh.Key(QStringLiteral("software\\lists"));
    EXPECT_EQ(fresh.AllKeys(), QStringList{QStringLiteral("Child")});

    // One component: nothing is deleted. Otherwise the tree goes and the path is the parent's.
    RegOp top;
    top.Root(HKEY_LOCAL_MACHINE);
    top.Key(QStringLiteral("Software"));
    EXPECT_FALSE(top.DeleteKey());
    EXPECT_EQ(top.Key(), QStringLiteral("Software"));
    child.Key(QStringLiteral("Software\\Lists\\Child"));
    EXPECT_TRUE(child.DeleteKey());
    EXPECT_EQ(child.Key(), QStringLiteral("Software\\Lists"));
    EXPECT_EQ(child.KeyCount(), 0);
    EXPECT_EQ(child.ValueCount(), 1);
}

TEST_F(RegOpTest, KeyInAnotherLetterCaseDoesNotReopen) {
    RegOp reg;
    reg.Key(kPath);
    reg.Value(QStringLiteral("v"), QStringLiteral("1"));
    ASSERT_EQ(SHDeleteKey(HKEY_CURRENT_USER, kPath), ERROR_SUCCESS);
    reg.Key(kPath.toUpper());  // same key: not reopened, so not created again
    EXPECT_FALSE(keyExists(kPath));
    EXPECT_EQ(reg.Key(), kPath);
    reg.Key(kPath + QStringLiteral("2"));  // another key: opened (and created) at once
    EXPECT_TRUE(keyExists(kPath + QStringLiteral("2")));
    reg.Root(HKEY_LOCAL_MACHINE);  // another root: reopened under it
    RegKeyHandle h;
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, kPath + QStringLiteral("2"), 0, KEY_READ, h.out()), ERROR_SUCCESS);
}
