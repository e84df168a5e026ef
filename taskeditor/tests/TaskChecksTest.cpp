// The checks of Run, in their order, with their messages.
#include "TaskEditorFixture.h"

#include "taskeditor/TaskChecks.h"

#include <functional>

using namespace taskeditortest;
using tavrel::TaskEditor;

TEST(TaskLabelCheck, RefusesElevenCharactersAndScreensTheRest) {
    struct Case {
        QString label;
        bool ok;
        QString written;
    } cases[] = {
        {"Liver 3", true, "Liver 3"},
        {"a/b", false, "a/b"},
        {"a\\b", false, "a\\b"},
        {"run_1", false, "run_1"},
        {"x,y", false, "x,y"},
        {"what?", false, "what?"},
        {"tab\there", true, "tab~here"},
        {QString::fromUtf8("M\xC3\x9Cller"), true, "M~ller"},       // in the code page, above 126
        {QString::fromUtf8("\xE4\xB8\xAD"), true, QString::fromUtf8("\xE4\xB8\xAD")},  // not in it: kept
        {QString::fromUtf8("a\xF0\x9F\x98\x80"), true, QString::fromUtf8("a\xF0\x9F\x98\x80")},
        {"a\x7F", true, "a~"},
    };
    for (const Case& c : cases) {
        const tavrel::LabelCheck r = tavrel::checkTaskLabel(c.label);
        EXPECT_EQ(r.ok, c.ok) << c.label.toStdString();
        EXPECT_EQ(r.label, c.written) << c.label.toStdString();
    }
}

class TaskChecks : public ClientDatabase {
protected:
    // A task of two data files, ready to pass every check.
    TaskEditor editor(const tavrel::ResetInputs& in) {
        TaskEditor e = resetEditor(in);
        e.setParameterFile(g->parameterFile);
        e.addDataFile(g->home.file("a.qpl"));
        return e;
    }
    tavrel::CheckContext context() const {
        tavrel::CheckContext c;
        c.localComputerName = "LABPC";
        return c;
    }
    int filterItem(const TaskEditor& e, const QString& name) {
        return static_cast<int>(e.state().cboTaskFilter.items.indexOf(name));
    }
};

TEST_P(TaskChecks, EachRefusalWithItsMessage) {
    const QString xml = g->home.file("xml.par");
    testsupport::writeFile(xml, "DB=SwissProt\r\nFORMAT=mzML (.mzML)\r\n");
    const QString lowerKey = g->home.file("lower.par");
    testsupport::writeFile(lowerKey, "format=mzML (.mzML)\r\n");
    struct Case {
        const char* what;
        std::function<void(TaskEditor&, tavrel::CheckContext&)> setUp;
        bool passes;
        QStringList boxes;
    } cases[] = {
        {"ready", [](TaskEditor&, tavrel::CheckContext&) {}, true, {}},
        {"no files", [](TaskEditor& e, tavrel::CheckContext&) { e.removeDataFiles({0}); }, false,
         {"No data files specified"}},
        {"monitor without files", [](TaskEditor& e, tavrel::CheckContext&) {
             e.removeDataFiles({0});
             e.chooseSchedule(tavrel::SchedMonitor);
         }, true, {}},
        {"follower without files", [](TaskEditor& e, tavrel::CheckContext&) {
             e.removeDataFiles({0});
             e.chooseSchedule(tavrel::SchedFollower);
         }, true, {}},
        {"slash in label", [](TaskEditor& e, tavrel::CheckContext&) { e.setText(&S::txtTaskLabel, "  a/b "); },
         false, {"The following characters are not allowed in a task label\r\n\\ / : * ? \" < > | , _"}},
        {"no parameter file", [](TaskEditor& e, tavrel::CheckContext&) { e.setText(&S::txtTaskParam, " "); }, false,
         {"Cannot find parameter file"}},
        {"missing parameter file", [&](TaskEditor& e, tavrel::CheckContext&) {
             e.setText(&S::txtTaskParam, g->home.file("gone.par"));
         }, false, {"Cannot find parameter file " + g->home.file("gone.par")}},
        {"XML merged", [&](TaskEditor& e, tavrel::CheckContext&) {
             e.setParameterFile(xml);
             e.setCheck(&S::chkTaskMergeFiles, true);
         }, false, {"Cannot merge XML format files"}},
        {"XML not merged", [&](TaskEditor& e, tavrel::CheckContext&) { e.setParameterFile(xml); }, true, {}},
        {"XML key in lower case", [&](TaskEditor& e, tavrel::CheckContext&) {
             e.setParameterFile(lowerKey);
             e.setCheck(&S::chkTaskMergeFiles, true);
         }, true, {}},
        {"XML for a follower", [&](TaskEditor& e, tavrel::CheckContext&) {
             e.setParameterFile(xml);
             e.setCheck(&S::chkTaskMergeFiles, true);
             e.chooseSchedule(tavrel::SchedFollower);
         }, true, {}},
        {"LCQ without extractor", [&](TaskEditor& e, tavrel::CheckContext&) {
             e.chooseFilter(filterItem(e, "ThermoFinnigan LCQ / DECA RAW file"));
         }, false, {"Cannot find import filter on specified path"}},
        {"LCQ with extractor", [&](TaskEditor& e, tavrel::CheckContext& c) {
             e.chooseFilter(filterItem(e, "ThermoFinnigan LCQ / DECA RAW file"));
             c.lcqPath = g->parameterFile;  // any file that exists
         }, true, {}},
        {"Analyst", [&](TaskEditor& e, tavrel::CheckContext&) {
             e.chooseFilter(filterItem(e, "AB | MDS Sciex Analyst .WIFF file"));
         }, false, {"Function library for importing Analyst data files (sorvex.dll) not found or not registered"}},
        {"Voyager", [&](TaskEditor& e, tavrel::CheckContext&) {
             e.chooseFilter(filterItem(e, "Data Explorer (Voyager) MS data"));
         }, false, {"Applied Biosystems Data Explorer not found or not registered"}},
        {"Quellmark", [&](TaskEditor& e, tavrel::CheckContext&) { e.chooseFilter(filterItem(e, "Sorvex Quellmark")); },
         false, {"Sorvex Quellmark not found or not operational"}},
        {"TS2Sorvex", [&](TaskEditor& e, tavrel::CheckContext&) {
             e.chooseFilter(filterItem(e, "AB 4000 Series TS2Sorvex"));
         }, false, {"TS2Sorvex not found or not operational"}},
        {"MassLynx", [&](TaskEditor& e, tavrel::CheckContext&) { e.chooseFilter(filterItem(e, "Masslynx sample list")); },
         true, {}},
    };
    for (const Case& c : cases) {
        TaskEditor e = editor(g->inputs());
        tavrel::CheckContext ctx = context();
        c.setUp(e, ctx);
        g->boxes.texts.clear();
        EXPECT_EQ(tavrel::checkTaskForRun(e, ctx), c.passes) << c.what;
        EXPECT_EQ(g->boxes.texts, c.boxes) << c.what;
    }
}

TEST_P(TaskChecks, LabelAndParameterFileAreTrimmedOnTheWay) {
    TaskEditor e = editor(g->inputs());
    e.setText(&S::txtTaskLabel, "  a/b\t ");
    EXPECT_FALSE(tavrel::checkTaskForRun(e, context()));
    EXPECT_EQ(e.state().txtTaskLabel.text, "a/b~");  // trimmed of blanks only, then screened

    e.setText(&S::txtTaskLabel, "      ");
    e.setText(&S::txtTaskParam, "  " + g->parameterFile + "  ");
    EXPECT_TRUE(tavrel::checkTaskForRun(e, context()));
    EXPECT_EQ(e.state().txtTaskLabel.text, "");
    EXPECT_EQ(e.state().txtTaskParam.text, g->parameterFile);
}

TEST_P(TaskChecks, TheFollowUpTaskMustExistAndMayBeAskedAbout) {
    insertTask(4, {{"schedule_type", "follower"}, {"task_status", "running"}});
    insertTask(5, {{"schedule_type", "follower"}, {"task_status", "paused"}});
    insertTask(6, {{"schedule_type", "follower"}, {"task_status", "running"}, {"computer_name", "OTHERPC"}});
    insertTask(7, {{"schedule_type", "follower"}, {"task_status", "running"}, {"computer_name", "labpc"}});
    tavrel::ResetInputs in = g->inputs();
    in.followerTasks = {{4, "Task 4"}, {5, "Task 5"}, {6, "Task 6"}, {7, "Task 7"}, {8, "Deleted since"}};
    struct Case {
        int item;
        QList<int> answers;
        bool passes;
        QStringList boxes;
    } cases[] = {
        {0, {}, false, {"Follow-up task not defined"}},
        {1, {}, true, {}},
        {2, {}, true, {"Warning: Follow-up task is not running"}},
        {3, {platform::vbNo}, false,
         {"The follow-up task is on a remote machine. Do the data files have UNC path names?"}},
        {3, {platform::vbYes}, true,
         {"The follow-up task is on a remote machine. Do the data files have UNC path names?"}},
        {4, {}, true, {}},  // the computer name compares without regard to case
        {5, {}, false, {"Follow-up task does not exist"}},
    };
    for (const Case& c : cases) {
        TaskEditor e = editor(in);
        e.chooseFollowUp(tavrel::FollowUpScore);
        ASSERT_TRUE(e.state().cboTaskFUTask.enabled);
        e.chooseFollower(c.item);
        g->boxes.texts.clear();
        g->boxes.answers = c.answers;
        EXPECT_EQ(tavrel::checkTaskForRun(e, context()), c.passes) << c.item;
        EXPECT_EQ(g->boxes.texts, c.boxes) << c.item;
    }
    // With the list greyed (repeat chosen instead) the follow-up task is not looked at.
    TaskEditor repeat = editor(in);
    repeat.chooseFollowUp(tavrel::FollowUpScore);
    repeat.clickRepeat(true);
    g->boxes.texts.clear();
    EXPECT_TRUE(tavrel::checkTaskForRun(repeat, context()));
    EXPECT_TRUE(g->boxes.texts.isEmpty());
}

TAVREL_ON_BOTH_ENGINES(TaskChecks);
