#include "search/SearchForm.h"

#include "platform/testsupport/TestSupport.h"
#include "service/EventLog.h"

#include <gtest/gtest.h>

using namespace tavrelsvc;

namespace {

class Form : public ::testing::Test {
protected:
    void SetUp() override {
        logPath = home.file(kEventLogFileName);
        ASSERT_TRUE(EventLogStream::open(logPath));
        job.uID = 4;
        job.task_label = "T";
        job.Data_file = "a.qpl";
    }
    void TearDown() override { EventLogStream::close(); }
    QStringList messages() const {
        QStringList out;
        for (const QByteArray& line : testsupport::readFile(logPath).split('\n')) {
            const QStringList f = splitEventLine(QString::fromUtf8(line).trimmed());
            if (f.size() == 7) out.append(f[5] + "|" + f[6]);
        }
        return out;
    }
    SearchFormInput input(const QByteArray& par) {
        const QString path = home.file("task.par");
        testsupport::writeFile(path, par);
        SearchFormInput in;
        in.parameter_set = path;
        in.ActionPlaceholders = {QStringLiteral("<sorvex_user_name>") + QChar(0) + "alice",
                                 QStringLiteral("<taskname>") + QChar(0) + "Liver"};
        return in;
    }

    testsupport::TempHome home;
    QString logPath;
    SearchJobContext job;
};

}  // namespace

TEST_F(Form, HeadTitleAndPrefix) {
    SearchFormInput in = input("COM=Run 5 <TaskName> <taskname>\r\nDB=SwissProt\r\nSEARCH=MIS\r\n"
                               "USERNAME=<sorvex_user_name>\r\nUSEREMAIL=bob@x\r\nQUANTITATION=iTRAQ\r\nIT_MODS=a=b\r\n");
    in.sorvex_user_id = 3;
    in.taskUserId = 3;
    const auto head = clsJob_BuildSearchForm(in, job);
    ASSERT_TRUE(head) << qPrintable(messages().join("\n"));
    EXPECT_EQ(head->TitleTemplate, "Run 5 <TaskName> <taskname>");
    EXPECT_EQ(head->QuantitationMethod, "iTRAQ");
    EXPECT_EQ(head->SearchFormHead,
              searchFormPart("FORMVER", "1.01") + searchFormPart("USERID", "3") + searchFormPart("DB", "SwissProt") +
                  searchFormPart("SEARCH", "MIS") + searchFormPart("USERNAME", "alice") +
                  searchFormPart("USEREMAIL", "bob@x") + searchFormPart("QUANTITATION", "iTRAQ") +
                  searchFormPart("IT_MODS", "a=b"));

    SearchTitleInput t;
    t.SearchFormHead = head->SearchFormHead;
    t.TitleTemplate = head->TitleTemplate;
    t.ActionPlaceholders = in.ActionPlaceholders;
    t.Data_file = "a.qpl";
    t.Data_path = "/data/a.qpl";
    t.file_comment = "A1 <datafilename>";
    t.CurrentMethod = "--- None ---";
    const auto title = clsJob_BuildSearchTitle(t, "FORMAT=Sorvex generic\r\n", job);
    ASSERT_TRUE(title);
    // Only the first occurrence of each placeholder is replaced.
    EXPECT_EQ(title->Search_title, "Run 5 Liver <taskname> (A1 a.qpl)");
    EXPECT_EQ(title->SearchFormPrefix,
              head->SearchFormHead + searchFormPart("COM", title->Search_title) + "--" + SearchFormBoundary +
                  "\r\nContent-Disposition: form-data; name=\"FILE\"; filename=\"/data/a.qpl\"\r\n\r\n"
                  "FORMAT=Sorvex generic\r\n");

    t.CurrentMethod = kFollowUpMethod;
    t.TitleTemplate.clear();
    t.file_comment = QVariant();
    const auto followUp = clsJob_BuildSearchTitle(t, "ignored", job);
    ASSERT_TRUE(followUp);
    EXPECT_EQ(followUp->Search_title, "");
    EXPECT_TRUE(followUp->SearchFormPrefix.endsWith(
        "Content-Disposition: form-data; name=\"FILE\"\r\n\r\n/data/a.qpl\r\n"));
}

TEST_F(Form, BadParameterSetStopsWithItsError) {
    EXPECT_TRUE(clsJob_BuildSearchForm(input("DB=SwissProt\r\n\r\nCOM=x\r\n"), job));  // a blank line is skipped
    EXPECT_FALSE(clsJob_BuildSearchForm(input("DB=SwissProt\r\nSEARCH MIS\r\n"), job));
    SearchFormInput missing = input("");
    missing.parameter_set = home.file("none.par");
    EXPECT_FALSE(clsJob_BuildSearchForm(missing, job));
    const QStringList lines = messages();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(" |(TVS1015) ")) << qPrintable(lines[0]);
    EXPECT_TRUE(lines[0].contains("2")) << qPrintable(lines[0]);  // the line number
    EXPECT_TRUE(lines[1].startsWith(" |(TVS1015) 53: ")) << qPrintable(lines[1]);
}

TEST(FormValue, ListLinesWinOverTheForm) {
    const QByteArray head = searchFormPart("SEARCH", "MIS") + searchFormPart("TOL", "1.5");
    struct Row {
        const char* name;
        QByteArray text;
        const char* value;
    } rows[] = {
        {"SEARCH", "search=PMF\r\n1000 2\r\n", "PMF"},
        {"SEARCH", "1000 2\nSEARCH=SQ\n", "SQ"},
        {"search", "1000 2\n", "MIS"},
        {"TOL", "", "1.5"},
        {"TOLU", "", ""},
    };
    for (const Row& r : rows) EXPECT_EQ(clsJob_GetFormValue(r.name, r.text, head), r.value) << r.name;
}

TEST_F(Form, StopMassesLeaveOnlyPeaksOutsideTheTolerance) {
    const QString stops = home.file(kStopMassFileName);
    testsupport::writeFile(stops, "# mono,average\r\n1000.45,2000\r\nno comma\r\n1500,1499\r\n");
    const QByteArray head = searchFormPart("TOL", "0.1") + searchFormPart("TOLU", "Da") + searchFormPart("MASS", "Monoisotopic");
    QByteArray list = "SEARCH=PMF\r\n1000.50 10\r\n1000.70 11\r\n1000.55 12\r\n1500.0 3\r\n";
    clsJob_FilterStopMasses(list, head, stops, job);
    EXPECT_EQ(list, "SEARCH=PMF\r\n1000.70 11\r\n");

    QByteArray notPmf = "1000.45 1\n";
    clsJob_FilterStopMasses(notPmf, head + searchFormPart("SEARCH", "MIS"), stops, job);
    EXPECT_EQ(notPmf, "1000.45 1\n");

    // Average masses use the second column; only comments: nothing changes.
    QByteArray average = "SEARCH=PMF\n1499.02 1\n2000 2\n";
    clsJob_FilterStopMasses(average, searchFormPart("TOL", "0.1"), stops, job);
    EXPECT_EQ(average, "SEARCH=PMF\n");
    testsupport::writeFile(stops, "# only comments\n");
    QByteArray same = "SEARCH=PMF\n1000 1\n";
    clsJob_FilterStopMasses(same, head, stops, job);
    EXPECT_EQ(same, "SEARCH=PMF\n1000 1\n");
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(Form, ReadWholeFileStopsAtTrailingCtrlZ) {
    const QString path = home.file("x.txt");
    testsupport::writeFile(path, QByteArray("abc\r\n\x1a\x1a", 7));
    EXPECT_EQ(clsJob_ReadWholeFile(path, job), "abc\r\n");
    EXPECT_EQ(clsJob_ReadWholeFile(home.file("none"), job), "");
}

// Names and values that come from outside (a data file's name, a parameter
// set, a title) never add parts to the search body of their own.
TEST_F(Form, NamesAndValuesCannotInjectParts) {
    const auto parts = [](const QByteArray& body) { return body.count("\r\nContent-Disposition: form-data; "); };

    SearchFormInput in = input("DB=SwissProt\r\nA\"B=1\r\n");
    const auto head = clsJob_BuildSearchForm(in, job);
    ASSERT_TRUE(head) << qPrintable(messages().join("\n"));
    EXPECT_TRUE(head->SearchFormHead.contains("name=\"A%22B\"\r\n\r\n1\r\n"));
    EXPECT_EQ(parts(head->SearchFormHead), 3);

    SearchTitleInput t;
    t.SearchFormHead = head->SearchFormHead;
    t.Data_file = "x.qpl";
    t.Data_path = "/data/x\"\r\nContent-Disposition: form-data; name=\"DB\"\r\n\r\nEvil\r\n.qpl";
    t.file_comment = "line one\r\nline two";
    t.CurrentMethod = "--- None ---";
    const auto title = clsJob_BuildSearchTitle(t, {}, job);
    ASSERT_TRUE(title);
    EXPECT_EQ(parts(title->SearchFormPrefix), 5) << title->SearchFormPrefix.constData();
    EXPECT_TRUE(title->SearchFormPrefix.endsWith(
        "filename=\"/data/x%22%0D%0AContent-Disposition: form-data; name=%22DB%22%0D%0A%0D%0AEvil%0D%0A.qpl\"\r\n\r\n"));

    // A value holding the form's own boundary is refused, whatever brings it.
    const QByteArray delimiter = "\r\n--" + SearchFormBoundary + "\r\nContent-Disposition: form-data; name=\"DB\"";
    t.file_comment = QString::fromLatin1("Run" + delimiter);
    EXPECT_FALSE(clsJob_BuildSearchTitle(t, {}, job));
    EXPECT_TRUE(messages().last().contains("(TVS1034)")) << qPrintable(messages().last());
    t.file_comment = QVariant();
    t.CurrentMethod = kFollowUpMethod;
    t.Data_path = QString::fromLatin1("/data/a.qpl" + delimiter);
    EXPECT_FALSE(clsJob_BuildSearchTitle(t, {}, job));
    EXPECT_FALSE(clsJob_BuildSearchForm(input("DB=--" + SearchFormBoundary + "\r\n"), job));
    EXPECT_TRUE(messages().last().contains("(TVS1015)")) << qPrintable(messages().last());
}
