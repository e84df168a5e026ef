// The systemd unit the service is installed with, and "-install" saying what
// it did, over a systemd of the test's own.
#include "platform/MessageBox.h"
#include "platform/ProgramFolder.h"
#include "platform/testsupport/TestSupport.h"
#include "servicehost/ServiceInstall.h"
#include "servicehost/ServiceUnit.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <unistd.h>

using namespace tavrelsvc;

namespace {

const ServiceUnitValues kPackaged{"/usr/bin/TavrelService", "/var/lib/tavrel", "tavrel", "tavrel"};

TEST(ServiceUnit, RunsAsTheFolderOwnerAfterTheNetworkAndAgainAfterAFailure) {
    QString problem;
    const QString unit = serviceUnitText(kPackaged, &problem);
    ASSERT_FALSE(unit.isEmpty()) << qPrintable(problem);
    const QStringList lines = unit.split('\n');
    for (const char* line :
         {"User=tavrel", "Group=tavrel", "Wants=network-online.target", "Restart=on-failure", "RestartSec=30",
          "Environment=\"TAVREL_HOME=/var/lib/tavrel\"", "ExecStart=\"/usr/bin/TavrelService\" -service",
          "StateDirectory=tavrel", "StateDirectoryMode=2770", "UMask=0007", "NoNewPrivileges=yes",
          "ProtectSystem=full", "WantedBy=multi-user.target"})
        EXPECT_TRUE(lines.contains(QString::fromLatin1(line))) << line << "\n" << qPrintable(unit);
    EXPECT_TRUE(unit.contains("\nAfter=network-online.target"));
    // Nothing that would stop it reading data folders or running task commands.
    for (const char* absent : {"ProtectSystem=strict", "ProtectHome=", "MemoryDenyWriteExecute=", "ReadOnlyPaths="})
        EXPECT_FALSE(unit.contains(QString::fromLatin1(absent))) << absent;
}

// Values reach systemd as written: specifiers, quotes, backslashes and
// variables are escaped; a folder outside /var/lib is no state directory.
TEST(ServiceUnit, ValuesAreEscaped) {
    QString problem;
    const QString unit = serviceUnitText(
        {"/opt/lab 100%/$bin/Tavrel\"Service", "/srv/lab %h \"x\" $HOME\\", "labsvc", "lab-group"}, &problem);
    ASSERT_FALSE(unit.isEmpty()) << qPrintable(problem);
    EXPECT_TRUE(unit.contains("\nEnvironment=\"TAVREL_HOME=/srv/lab %%h \\\"x\\\" $HOME\\\\\"\n")) << qPrintable(unit);
    EXPECT_TRUE(unit.contains("\nExecStart=\"/opt/lab 100%%/$$bin/Tavrel\\\"Service\" -service\n")) << qPrintable(unit);
    EXPECT_TRUE(unit.contains("\nGroup=lab-group\n"));
    EXPECT_FALSE(unit.contains("StateDirectory"));
}

TEST(ServiceUnit, RefusesWhatAUnitMustNotSay) {
    struct Row {
        ServiceUnitValues values;
        const char* why;
    } rows[] = {
        {{"/usr/bin/TavrelService", "/var/lib/tavrel", "root", "tavrel"}, "never runs as root"},
        {{"/usr/bin/TavrelService", "/var/lib/tavrel", "tavrel", "root"}, "never runs as root"},
        {{"/usr/bin/TavrelService", "/var/lib/tavrel", "lab user", "lab"}, "is no user and group name"},
        {{"/usr/bin/TavrelService", "/var/lib/tav\nrel", "tavrel", "tavrel"}, "holds a line break"},
        {{"TavrelService", "/var/lib/tavrel", "tavrel", "tavrel"}, "is not an absolute path"},
    };
    for (const Row& row : rows) {
        QString problem;
        EXPECT_TRUE(serviceUnitText(row.values, &problem).isEmpty()) << row.why;
        EXPECT_TRUE(problem.contains(QString::fromLatin1(row.why))) << qPrintable(problem);
    }
}

// Where systemd's own analyser is at hand it reads the unit without
// complaint, and what it thinks of the unit's exposure is shown.
TEST(ServiceUnit, SystemdAnalyzeReadsIt) {
    const QString analyze = QStandardPaths::findExecutable("systemd-analyze");
    if (analyze.isEmpty()) GTEST_SKIP() << "systemd-analyze is not installed";
    QTemporaryDir dir;
    ServiceUnitValues values = kPackaged;
    values.program = testsupport::binPath("TavrelService");
    QString problem;
    testsupport::writeFile(dir.filePath(ServiceUnitName), serviceUnitText(values, &problem).toUtf8());
    QProcess security;
    security.start(analyze, {"security", "--offline=yes", dir.filePath(ServiceUnitName)});
    ASSERT_TRUE(security.waitForFinished(60000));
    const QString report = QString::fromUtf8(security.readAllStandardOutput() + security.readAllStandardError());
    std::printf("%s\n", qPrintable(report));
    EXPECT_TRUE(report.contains("Overall exposure level")) << qPrintable(report);

    QProcess verify;
    verify.start(analyze, {"verify", "--man=no", dir.filePath(ServiceUnitName)});
    ASSERT_TRUE(verify.waitForFinished(60000));
    const QString said = QString::fromUtf8(verify.readAllStandardError());
    // A user that this computer lacks is no fault of the unit's text.
    for (const QString& line : said.split('\n', Qt::SkipEmptyParts))
        EXPECT_TRUE(line.contains("tavrel") && line.contains("user", Qt::CaseInsensitive)) << qPrintable(line);
}

class RecordedBoxes : public platform::MessageBoxHandler {
public:
    int show(const QString& text, int, const QString&) override {
        texts << text;
        return platform::vbOK;
    }
    QStringList texts;
};

// A systemd of the test's own: a unit folder in the program folder and a
// systemctl that records what it is asked (and fails when told to).
class ServiceInstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousBoxes = platform::setMessageBoxHandler(&boxes);
        unitFolder = home.file("units");
        QDir().mkpath(unitFolder);
        systemd.running = true;
        systemd.unitFolder = unitFolder;
        systemd.systemctl = [this](const QStringList& args) {
            calls << args.join(' ');
            if (!failOn.isEmpty() && args.join(' ').startsWith(failOn))
                return SystemctlOutcome{false, "Failed to enable unit: Access denied"};
            return SystemctlOutcome{true, {}};
        };
    }
    void TearDown() override { platform::setMessageBoxHandler(previousBoxes); }
    QString unitFile() const { return unitFolder + "/" + ServiceUnitName; }
    QString told() const { return boxes.texts.value(boxes.texts.size() - 1); }
    // Owned by an unprivileged user, as the package's folder is.
    bool ownedByAnUnprivilegedUser() {
        return ::getuid() != 0 || ::chown(QFile::encodeName(home.path()).constData(), 65534, 65534) == 0;
    }

    testsupport::TempHome home;
    QString unitFolder;
    SystemdSeam systemd;
    QStringList calls;
    QString failOn;
    RecordedBoxes boxes;
    platform::MessageBoxHandler* previousBoxes = nullptr;
};

TEST_F(ServiceInstallTest, WritesAndEnablesTheUnitOnceAndSaysSo) {
    ASSERT_TRUE(ownedByAnUnprivilegedUser());
    ASSERT_EQ(frmMain_InstallService(false, systemd), 0);
    EXPECT_EQ(calls, QStringList({"daemon-reload", "enable " + ServiceUnitName}));
    EXPECT_TRUE(told().startsWith("Sorvex Tavrel Service installed successfully\nRegistered in the settings (" +
                                  home.file("registry.hive") + "); the systemd unit " + unitFile() +
                                  " was written and enabled: it starts at boot as the user "))
        << qPrintable(told());
    const QString unit = QString::fromUtf8(testsupport::readFile(unitFile()));
    EXPECT_TRUE(unit.contains("\nEnvironment=\"TAVREL_HOME=" + home.path() + "\"\n")) << qPrintable(unit);
    EXPECT_FALSE(unit.contains("\nUser=root\n"));
    EXPECT_EQ(QFileInfo(unitFile()).permissions() & (QFile::ReadOther | QFile::WriteOther), QFile::ReadOther);

    calls.clear();
    EXPECT_EQ(frmMain_InstallService(false, systemd), 1);
    EXPECT_EQ(told(), "Failed to install / uninstall Sorvex Tavrel Service: it is already installed (registered in " +
                          home.file("registry.hive") + ")");
    EXPECT_TRUE(calls.isEmpty());

    ASSERT_EQ(frmMain_UninstallService(true, systemd), 0);
    EXPECT_EQ(calls, QStringList({"disable " + ServiceUnitName, "daemon-reload"}));
    EXPECT_FALSE(QFileInfo::exists(unitFile()));
    EXPECT_EQ(frmMain_UninstallService(true, systemd), 1);  // nothing left to remove
}

// A registration without its unit (a program run before the set-up made it
// where systemd could not be asked) starts nothing: -install writes and
// enables the unit that is missing, and says so; a unit of the package counts.
TEST_F(ServiceInstallTest, WritesTheMissingUnitOfARegisteredService) {
    ASSERT_TRUE(ownedByAnUnprivilegedUser());
    systemd.running = false;
    ASSERT_EQ(frmMain_InstallService(true, systemd), 0);  // registered in the settings only
    systemd.running = true;
    ASSERT_EQ(frmMain_InstallService(false, systemd), 0) << qPrintable(told());
    EXPECT_EQ(calls, QStringList({"daemon-reload", "enable " + ServiceUnitName}));
    EXPECT_TRUE(QFileInfo::exists(unitFile()));
    EXPECT_TRUE(told().startsWith("Sorvex Tavrel Service was registered already (in " + home.file("registry.hive") +
                                  "); its systemd unit " + unitFile() + " was missing and is now written and enabled"))
        << qPrintable(told());

    calls.clear();
    EXPECT_EQ(frmMain_InstallService(false, systemd), 1);
    EXPECT_TRUE(told().contains("already installed")) << qPrintable(told());
    QFile::remove(unitFile());
    systemd.packageUnitFolders = {home.file("package-units")};
    testsupport::writeFile(home.file("package-units/" + ServiceUnitName), "[Unit]\n");
    EXPECT_EQ(frmMain_InstallService(false, systemd), 1);
    EXPECT_TRUE(told().contains("already installed")) << qPrintable(told());
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(unitFile()));
}

// A failing systemctl fails the install with its words, and leaves neither
// a unit nor a registration behind; so does a folder that root owns.
TEST_F(ServiceInstallTest, FailsWithTheReasonAndLeavesNothingBehind) {
    ASSERT_TRUE(ownedByAnUnprivilegedUser());
    failOn = "enable";
    EXPECT_EQ(frmMain_InstallService(false, systemd), 1);
    EXPECT_EQ(told(), "Failed to install / uninstall Sorvex Tavrel Service: systemctl enable " + ServiceUnitName +
                          " failed: Failed to enable unit: Access denied");
    EXPECT_FALSE(QFileInfo::exists(unitFile()));
    EXPECT_EQ(calls.last(), "daemon-reload");
    failOn.clear();
    if (::getuid() == 0) {
        ASSERT_EQ(::chown(QFile::encodeName(home.path()).constData(), 0, 0), 0);
        EXPECT_EQ(frmMain_InstallService(false, systemd), 1);
        EXPECT_TRUE(told().contains("never runs as root")) << qPrintable(told());
        EXPECT_FALSE(QFileInfo::exists(unitFile()));
    }
    // Nothing was registered by either attempt: the next install goes through.
    systemd.running = false;
    EXPECT_EQ(frmMain_InstallService(false, systemd), 0);
    EXPECT_TRUE(told().endsWith(" only: systemd does not run on this computer, so no unit was written.")) << qPrintable(told());
}

}  // namespace
