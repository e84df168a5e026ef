#include "platform/RegistryApi.h"
#include "platform/ShellAssoc.h"

#include "platform/testsupport/PrivateDesktop.h"
#include "platform/testsupport/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace platform;

namespace {

void setOverride(const QString& extension, const QString& program) {
    RegKeyHandle key;
    ASSERT_EQ(
        RegCreateKeyEx(HKEY_LOCAL_MACHINE, kFileAssociationsKey, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, key.out()),
        ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(key.get(), extension, REG_SZ, program.toUtf8().append('\0')), ERROR_SUCCESS);
}

// Sets an environment variable for its lifetime.
class EnvGuard {
public:
    EnvGuard(const char* name, const QByteArray& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        qputenv(name, value);
    }
    ~EnvGuard() { had_ ? qputenv(name_, old_) : qunsetenv(name_); }
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

}  // namespace

TEST(FindExecutable, OverrideTableAnswersForTheExtension) {
    testsupport::TempHome home;
    testsupport::writeFile(home.file("dummy.rov"), "");
    testsupport::writeFile(home.file("page.HTML"), "");
    const QString program = QStringLiteral("/opt/Brellow/Sorvex Quellmark/SorvexQuellmark.exe");
    setOverride(QStringLiteral(".rov"), program);
    setOverride(QStringLiteral(".html"), QString());  // present but empty: no association

    QString found = QStringLiteral("stale");
    EXPECT_EQ(FindExecutable(home.file("dummy.rov"), QString(), &found), kFindExecutableFound);
    EXPECT_EQ(found, program);
    // A relative name is taken in the folder given.
    found.clear();
    EXPECT_GT(FindExecutable(QStringLiteral("dummy.rov"), home.path(), &found), 32);
    EXPECT_EQ(found, program);

    EXPECT_EQ(FindExecutable(home.file("page.HTML"), QString(), &found), SE_ERR_NOASSOC);
    EXPECT_TRUE(found.isEmpty());
    EXPECT_EQ(FindExecutable(home.file("missing.rov"), QString(), &found), SE_ERR_FNF);
    EXPECT_EQ(FindExecutable(QString(), QString(), &found), SE_ERR_FNF);
}

TEST(FindExecutable, DesktopAssociationThroughXdgMime) {
    testsupport::TempHome home;
    QTemporaryDir tools;
    const QString script = tools.filePath("xdg-mime");
    // Answers like the real tool for .rov files only.
    testsupport::writeFile(
        script,
        "#!/bin/sh\n"
        "case \"$1 $2\" in\n"
        "  'query filetype') case \"$3\" in *.rov) echo application/x-rov;; *) echo text/plain;; esac;;\n"
        "  'query default') [ \"$3\" = application/x-rov ] && echo quellmark.desktop;;\n"
        "esac\nexit 0\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    testsupport::writeFile(tools.filePath("share/applications/quellmark.desktop"),
                           "[Desktop Action x]\nExec=/wrong\n[Desktop Entry]\nName=Q\n"
                           "Exec=\"/opt/Brellow/Sorvex Quellmark/run quellmark\" --open %f\n");
    EnvGuard path("PATH", QFile::encodeName(tools.path()) + ":" + qgetenv("PATH"));
    EnvGuard data("XDG_DATA_HOME", QFile::encodeName(tools.filePath("share")));
    testsupport::writeFile(home.file("dummy.rov"), "");
    testsupport::writeFile(home.file("notes.txt"), "");

    QString found;
    EXPECT_EQ(FindExecutable(home.file("dummy.rov"), QString(), &found), kFindExecutableFound);
    EXPECT_EQ(found, QStringLiteral("/opt/Brellow/Sorvex Quellmark/run quellmark"));
    EXPECT_EQ(FindExecutable(home.file("notes.txt"), QString(), &found), SE_ERR_NOASSOC);

    // The override table wins over the desktop.
    setOverride(QStringLiteral(".rov"), QStringLiteral("/usr/local/bin/quellmark-override"));
    EXPECT_GT(FindExecutable(home.file("dummy.rov"), QString(), &found), 32);
    EXPECT_EQ(found, QStringLiteral("/usr/local/bin/quellmark-override"));
}

TEST(FindExecutable, DesktopEntryWithoutExecGivesNothing) {
    EXPECT_TRUE(desktopEntryProgram("[Desktop Entry]\nName=x\n").isEmpty());
    EXPECT_TRUE(desktopEntryProgram("[Desktop Entry]\nExec=\"unclosed\n").isEmpty());
    EXPECT_EQ(desktopEntryProgram("[Desktop Entry]\nExecFoo=/no\nExec = /bin/true %U\n"), QStringLiteral("/bin/true"));
}

// Settings that other accounts may write name no program; the user's own
// desktop still does.
TEST(FindAssociatedProgram, TheHiveCountsOnlyInAFolderOfTheUsersOwn) {
    testsupport::TempHome home;
    testsupport::PrivateDesktop desktop;
    setOverride(QStringLiteral(".html"), QStringLiteral("/tmp/planted-by-a-member.sh"));
    QString found;
    EXPECT_EQ(FindAssociatedProgram(QStringLiteral(".html"), &found), kFindExecutableFound);
    EXPECT_EQ(found, QStringLiteral("/tmp/planted-by-a-member.sh"));

    ASSERT_TRUE(QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                       QFile::ReadOther | QFile::WriteOther | QFile::ExeOther));
    EXPECT_EQ(FindAssociatedProgram(QStringLiteral(".html"), &found), SE_ERR_NOASSOC);
    EXPECT_TRUE(found.isEmpty());
    testsupport::writeFile(home.file("dummy.html"), "");
    EXPECT_EQ(FindExecutable(home.file("dummy.html"), QString(), &found), SE_ERR_NOASSOC);

    desktop.entry("browser.desktop", "/opt/web/browser %u");
    desktop.list("config/mimeapps.list", "[Added Associations]\ntext/html=other.desktop\n"
                                         "[Default Applications]\ntext/html=gone.desktop;browser.desktop;\n");
    EXPECT_EQ(FindAssociatedProgram(QStringLiteral(".html"), &found), kFindExecutableFound);
    EXPECT_EQ(found, QStringLiteral("/opt/web/browser"));
}

TEST(FindAssociatedProgram, TheUsersListsAnswerInTheirOrder) {
    testsupport::TempHome home;
    testsupport::PrivateDesktop desktop;
    desktop.entry("first.desktop", "/opt/first");
    desktop.entry("second.desktop", "/opt/second");
    desktop.entry("cached.desktop", "/opt/cached");
    QString found;
    struct Case {
        const char* name;
        QString file;
        QByteArray text;
        QString program;
    } cases[] = {
        {"the system's cache alone", "share/applications/mimeinfo.cache", "[MIME Cache]\ntext/html=cached.desktop;\n",
         "/opt/cached"},
        {"the system's defaults", "share/applications/defaults.list", "[Default Applications]\ntext/html=second.desktop\n",
         "/opt/second"},
        {"the system's mimeapps.list", "etc/mimeapps.list", "[Default Applications]\ntext/html=second.desktop\n",
         "/opt/second"},
        {"the user's over the system's", "config/mimeapps.list", "[Default Applications]\ntext/html=first.desktop\n",
         "/opt/first"},
    };
    EXPECT_EQ(FindAssociatedProgram(QStringLiteral(".html"), &found), SE_ERR_NOASSOC);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        desktop.list(c.file, c.text);
        EXPECT_EQ(FindAssociatedProgram(QStringLiteral(".html"), &found), kFindExecutableFound);
        EXPECT_EQ(found, c.program);
    }
    // A desktop's own list comes before the common one.
    testsupport::EnvGuard current("XDG_CURRENT_DESKTOP", "Lab:GNOME");
    desktop.list("config/gnome-mimeapps.list", "[Default Applications]\ntext/html=second.desktop\n");
    EXPECT_EQ(FindAssociatedProgram(QStringLiteral(".html"), &found), kFindExecutableFound);
    EXPECT_EQ(found, QStringLiteral("/opt/second"));
}
