// External commands: placeholders and hostile values.
#include "JobTestFixture.h"

#include <QDir>

namespace jobtest {

TEST(JobPlaceholders, FirstOccurrenceOnlyIgnoringCaseInTableOrder) {
    struct Case {
        const char* text;
        QList<PlaceholderEntry> entries;
        const char* expected;
    };
    const Case cases[] = {
        {"x <datafilepath> <datafilepath>", {{"<datafilepath>", "/d/a.raw"}}, "x /d/a.raw <datafilepath>"},
        {"<TASKNAME>!", {{"<taskname>", "T"}}, "T!"},
        {"no close <taskname", {{"<taskname>", "T"}}, "no close <taskname"},
        // A value holding a later placeholder is replaced by the later entry.
        {"<a>", {{"<a>", "<b>"}, {"<b>", "B"}}, "B"},
    };
    for (const Case& c : cases) {
        QString text = QString::fromUtf8(c.text);
        substituteFirstOccurrences(text, c.entries);
        EXPECT_EQ(text, QString::fromUtf8(c.expected)) << c.text;
    }
    const auto result = resultPlaceholderEntries(QStringLiteral("/r/x/F9.dat"), QStringLiteral("http://h/?f=1"));
    EXPECT_EQ(result[2].value, u"F9.dat");
    EXPECT_EQ(resultPlaceholderEntries(QStringLiteral("F9.dat"), QString())[2].value, u"F9.dat");
}

TEST(JobPlaceholders, StayInsideTheArgumentThatHeldThem) {
    QStringList args = {"prog", "--file=<datafilename>", "<datafilename>"};
    substituteFirstOccurrences(args, {{"<datafilename>", "a b; rm -rf x"}});
    EXPECT_EQ(args, (QStringList{"prog", "--file=a b; rm -rf x", "<datafilename>"}));
}

// A value that would open an argument with "-" (a data file named "-rf")
// would be read as an option of the command: it is written "./-rf", which
// names the same file and is never an option. Inside an argument it stays.
TEST(JobPlaceholders, AValueOpeningAnArgumentWithADashStaysAnOperand) {
    QStringList args = {"prog", "<datafilename>", "--file=<datafilepath>", "<taskname>x", "<resultfilename>"};
    substituteFirstOccurrences(args, {{"<datafilename>", "-rf.pkl"},
                                      {"<datafilepath>", "-x"},
                                      {"<taskname>", "--output=/etc/passwd"},
                                      {"<resultfilename>", "F1.dat"}});
    EXPECT_EQ(args, (QStringList{"prog", "./-rf.pkl", "--file=-x", "./--output=/etc/passwdx", "F1.dat"}));
}

TEST_F(JobEngineTest, HostileFileNamesReachCommandsAsSingleArguments) {
    const QStringList names = {
        "with space.pkl", "quo'te\"s.pkl", "semi;touch PWNED1.pkl", "$(touch PWNED2).pkl", "line\nbreak.pkl",
        "`touch PWNED3`.pkl", "--version.pkl",
    };
    addTask(1, QStringLiteral("now"));
    QStringList paths;
    for (int i = 0; i < names.size(); ++i) {
        paths << peakListFile(names[i]);
        addFile(i + 1, 1, paths.last(), now.addSecs(i - 100));
    }
    clsJob* job = startJob(1, QStringLiteral("now"));
    job->settings.task_label = QStringLiteral("lab$(touch PWNED4)el");
    common::TaskStage& preTask = job->settings.stage(common::TaskStageId::PreTask);
    common::TaskStage& preSearch = job->settings.stage(common::TaskStageId::PreSearch);
    preTask.command = logCommand(QStringLiteral("pretask"), QStringLiteral("<taskname>"));
    preSearch.command = logCommand(QStringLiteral("presearch"), QStringLiteral("<datafilename> \"<datafilepath>\""));
    preTask.wait = preSearch.wait = clsJob::True;
    for (int tick = 0; tick < 2 * names.size() + 1 && JobCollection.Item(QStringLiteral("T1")); ++tick)
        job->Take_Action();

    const QList<Command> cmds = commands();
    ASSERT_EQ(cmds.size(), names.size() + 1);
    EXPECT_EQ(cmds[0].args, (QStringList{"pretask", "lab$(touch PWNED4)el"}));
    for (int i = 0; i < names.size(); ++i) {
        const QString asOperand = names[i].startsWith(u'-') ? QStringLiteral("./") + names[i] : names[i];
        EXPECT_EQ(cmds[i + 1].args, (QStringList{"presearch", asOperand, paths[i]}));
    }
    const QStringList planted = QDir(home.path()).entryList({"PWNED*"}) + QDir(home.file("data")).entryList({"PWNED*"}) +
                                QDir::current().entryList({"PWNED*"});
    EXPECT_TRUE(planted.isEmpty()) << planted.join(u',').toStdString();
}

TEST(JobProperties, SettersKeepOnlyTheirValues) {
    tavrelsvc::TimerTick = 10;
    clsJob job;
    job.tmrJob().stop();
    job.set_fu_interval(QStringLiteral("months"));
    EXPECT_EQ(job.fu_interval(), u"months");
    job.set_fu_interval(QStringLiteral("fortnights"));
    EXPECT_EQ(job.fu_interval(), u"months");
    job.set_schedule_type(QStringLiteral("Now"));
    EXPECT_TRUE(job.schedule_type().isEmpty());
}

}  // namespace jobtest
