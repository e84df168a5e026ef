#include "search/SearchSubmit.h"

#include "SearchSimFixture.h"

#include <QFile>

using namespace tavrelsvc;
using searchtest::ionBlock;

namespace {

class Submit : public searchtest::SearchSim {
protected:
    SubmissionInput input(const QByteArray& peakList) {
        const QString path = home.file("a.qpl");
        testsupport::writeFile(path, peakList);
        SubmissionInput in;
        in.SearchFormPrefix = searchFormPart("FORMVER", "1.01") + searchFormPart("DB", "SwissProt") +
                              searchFormPart("COM", "Run 5") + "--" + SearchFormBoundary +
                              "\r\nContent-Disposition: form-data; name=\"FILE\"; filename=\"" + path.toUtf8() +
                              "\"\r\n\r\n";
        in.PeakListFile = path;
        in.CurrentMethodCode = "?1";
        in.task_sorvex_url = url;
        in.Search_title = "Run 5";
        return in;
    }
};

}  // namespace

TEST_F(Submit, StreamsTheBodyWithItsExactLength) {
    start();
    const QByteArray peaks = ionBlock(1, 500.5) + ionBlock(2, 812.25);
    const SubmissionInput in = input(peaks);
    const SubmitResult r = clsJob_SubmitSearch(*session, in, nullptr, job);
    ASSERT_EQ(r.outcome, SubmitOutcome::Submitted) << qPrintable(messages().join("\n"));
    EXPECT_EQ(r.sorvex_task_id, "1000");
    EXPECT_TRUE(r.rowStored);
    EXPECT_EQ(messages(), QStringList{"Search submitted"});

    const QByteArray expected = in.SearchFormPrefix + peaks + SearchFormClosing;
    EXPECT_EQ(body(1), expected);
    const QList<QStringList> requests = sim.requests();
    ASSERT_FALSE(requests.isEmpty());
    const QStringList post = requests.last();
    EXPECT_EQ(post[1], "POST");
    EXPECT_EQ(post[2], "/sorvex/cgi/nph-sorvex.exe?1+--taskID+1000+--sessionID+" + session->sessionID);
    EXPECT_EQ(post[6], "body=" + QString::number(expected.size()));
    EXPECT_EQ(post[7], "status=200");
    EXPECT_TRUE(sim.targets().contains("/sorvex/cgi/client.pl?create_task_id&sessionID=" + session->sessionID));

    // The search the server ran is the one of this peak list.
    QByteArray reply = session->GetHttpDocWithLogin(url, "client.pl?results&task_id=1000");
    const sorvexsim::TopHit hit = sorvexsim::topHitFor(searchtest::oracleHash(peaks), 2);
    EXPECT_TRUE(reply.contains("queries=2")) << reply.constData();
    EXPECT_TRUE(reply.contains("h1=" + hit.accession.toLatin1() + ",")) << reply.constData();

    // A list held in memory goes the same way.
    SubmissionInput inMemory = in;
    inMemory.PeakListText = ionBlock(3, 1000.5);
    inMemory.PeakListFile.clear();
    ASSERT_EQ(clsJob_SubmitSearch(*session, inMemory, nullptr, job).outcome, SubmitOutcome::Submitted);
    EXPECT_EQ(body(2), inMemory.SearchFormPrefix + inMemory.PeakListText + SearchFormClosing);
}

TEST_F(Submit, ServerRefusalsAndBrokenUploadsAreFailures) {
    struct Row {
        const char* members;
        SubmitOutcome outcome;
        const char* message;  // start of the last event
    } rows[] = {
        {R"("faults": [{"match": "nph-sorvex.exe", "status": 500}])", SubmitOutcome::Pause,
         "Sorvex Server returned HTTP error status code 500 after POST to "},
        {R"("faults": [{"match": "nph-sorvex.exe", "reply": "drop"}])", SubmitOutcome::Pause,
         "Unable to send the search to "},
        {R"("createTaskIdReply": "TASKID=0\nactionstring=x\n")", SubmitOutcome::TimerOn, "Invalid task ID from client.pl: 0"},
        {R"("createTaskIdReply": "problem=Server busy\n")", SubmitOutcome::TimerOn, "Server busy"},
        {R"("createTaskIdReply": "searchcontrol-error=disk full\n")", SubmitOutcome::TimerOn,
         "Error return from ms-searchcontrol.exe: disk full"},
        {R"("createTaskIdReply": "taskid=77\n")", SubmitOutcome::TimerOn, "No action string from client.pl"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.members);
        start(row.members);
        testsupport::writeFile(logPath, {});
        const SubmitResult r = clsJob_SubmitSearch(*session, input(ionBlock(1, 500)), nullptr, job);
        EXPECT_EQ(r.outcome, row.outcome);
        ASSERT_FALSE(messages().isEmpty());
        EXPECT_TRUE(messages().last().startsWith(row.message)) << qPrintable(messages().join("\n"));
        EXPECT_FALSE(messages().contains("Search submitted"));
    }
}

TEST_F(Submit, DroppedUploadIsTriedFiveTimes) {
    start(R"("faults": [{"match": "nph-sorvex.exe", "reply": "drop"}])");
    EXPECT_EQ(clsJob_SubmitSearch(*session, input(ionBlock(1, 500) + QByteArray(200000, '1')), nullptr, job).outcome,
              SubmitOutcome::Pause);
    int posts = 0;
    for (const QStringList& r : sim.requests()) posts += r.value(1) == "POST";
    EXPECT_EQ(posts, 5);
}

TEST_F(Submit, FileThatChangesSizeWhileSentFails) {
    start();
    // The size announced is taken before the send; a file that is longer or
    // shorter by the time it is read must not go out as a body of another length.
    SubmissionInput in = input(ionBlock(1, 500) + QByteArray(4 << 20, '7'));
    const QString path = in.PeakListFile;
    SearchBody sized;
    sized.prefix = in.SearchFormPrefix;
    sized.file = path;
    sized.fileSize = QFileInfo(path).size() - 10;  // as if it had grown by 10 bytes since
    const QString headers = "Content-Type: multipart/form-data; boundary=" + QString::fromLatin1(SearchFormBoundary) + "\r\n";
    platform::URL_COMPONENTS parts;
    ASSERT_TRUE(platform::InternetCrackUrl(url, 0, parts));
    if (!InternetHandle) InternetHandle = platform::InternetOpen("t", 1, {}, {}, 0);
    platform::HInternet conn = platform::InternetConnect(InternetHandle, parts.hostName, parts.port, {}, {}, 3, 0, 0);
    platform::HInternet req = platform::HttpOpenRequest(conn, "POST", parts.urlPath + "nph-sorvex.exe?1+--taskID+1",
                                                        "HTTP/1.1", {}, 0, 0);
    EXPECT_EQ(clsJob_SendMultipartBody(req, headers, sized, job), SendResult::FileFailed);
    EXPECT_TRUE(messages().last().startsWith("Peak list " + path + " changed size while it was sent"))
        << qPrintable(messages().join("\n"));

    sized.fileSize = QFileInfo(path).size() + 10;  // shrank by 10 bytes
    EXPECT_EQ(clsJob_SendMultipartBody(req, headers, sized, job), SendResult::FileFailed);
    EXPECT_TRUE(messages().last().contains("changed size while it was sent")) << qPrintable(messages().join("\n"));

    sized.file = home.file("missing.qpl");
    EXPECT_EQ(clsJob_SendMultipartBody(req, headers, sized, job), SendResult::FileFailed);
    EXPECT_TRUE(messages().last().startsWith("CreateFile failed with error ")) << qPrintable(messages().last());
}

TEST_F(Submit, NoDataIsRefusedBeforeAnyRequest) {
    start();
    SubmissionInput in = input({});
    EXPECT_EQ(clsJob_SubmitSearch(*session, in, nullptr, job).outcome, SubmitOutcome::Pause);
    EXPECT_EQ(messages(), QStringList{"No data to upload"});
    EXPECT_FALSE(sim.targets().join(" ").contains("create_task_id"));
}

// A peak list that holds the form's boundary would end the body early and
// send parts of its own: it is refused, from memory or from its file.
TEST_F(Submit, APeakListHoldingTheBoundaryIsNotSent) {
    start();
    const QByteArray forged = ionBlock(1, 500.5) + "--" + SearchFormBoundary +
                              "\r\nContent-Disposition: form-data; name=\"DB\"\r\n\r\nEvil\r\n";
    SubmissionInput in = input(QByteArray(70000, 'x') + forged);  // past the first piece that is read
    const SubmitResult fromFile = clsJob_SubmitSearch(*session, in, nullptr, job);
    EXPECT_EQ(fromFile.outcome, SubmitOutcome::Pause);
    EXPECT_TRUE(messages().last().contains("holds the search form's boundary")) << qPrintable(messages().last());
    // The file is checked as it streams: the upload breaks off before the
    // boundary, and the server has no search of it.
    for (const QString& kept : QDir(bodies).entryList({"upload-*.body"}, QDir::Files))
        EXPECT_FALSE(testsupport::readFile(QDir(bodies).filePath(kept)).contains("Evil"));
    EXPECT_TRUE(session->GetHttpDocWithLogin(url, "client.pl?status&task_id=" + fromFile.sorvex_task_id)
                    .startsWith("id_assigned"));
    // Wherever the boundary falls against the pieces the file is read in.
    const QByteArray marker = "--" + SearchFormBoundary;
    for (const qsizetype at : {qsizetype(65536 - 1), qsizetype(65536 - marker.size() / 2), qsizetype(65536),
                               qsizetype(2 * 65536 - marker.size() + 1), qsizetype(3 * 65536 + 5)}) {
        SubmissionInput across = input(QByteArray(at, 'y') + marker + "\r\nContent-Disposition: form-data; name=\"DB\"\r\n\r\nEvil\r\n");
        EXPECT_EQ(clsJob_SubmitSearch(*session, across, nullptr, job).outcome, SubmitOutcome::Pause) << at;
        EXPECT_TRUE(messages().last().contains("holds the search form's boundary")) << at << qPrintable(messages().last());
    }
    // A list in memory is refused before any request.
    const qsizetype asked = sim.targets().filter("create_task_id").size();
    in.PeakListText = forged;
    EXPECT_EQ(clsJob_SubmitSearch(*session, in, nullptr, job).outcome, SubmitOutcome::Pause);
    EXPECT_EQ(sim.targets().filter("create_task_id").size(), asked);

    // A follow-up's intermediate parts are framed with it on purpose.
    in.PeakListText = "--" + SearchFormBoundary + "\r\nContent-Disposition: form-data; name=\"QUE\"\r\n\r\nquery=1";
    in.CurrentMethodCode = "?4";
    EXPECT_EQ(clsJob_SubmitSearch(*session, in, nullptr, job).outcome, SubmitOutcome::Submitted);
}

// The peak list is opened without following a link, so a link put in the
// place of a data file sends nothing of what it points at.
TEST_F(Submit, APeakListThatIsASymbolicLinkIsNotSent) {
    start();
    SubmissionInput in = input(ionBlock(1, 500.5));
    const QString secret = home.file("secret.txt");
    testsupport::writeFile(secret, "not for the server");
    QFile::remove(in.PeakListFile);
    ASSERT_TRUE(QFile::link(secret, in.PeakListFile));
    EXPECT_EQ(clsJob_SubmitSearch(*session, in, nullptr, job).outcome, SubmitOutcome::Pause);
    EXPECT_TRUE(messages().last().contains("is a symbolic link")) << qPrintable(messages().last());
    for (const QString& kept : QDir(bodies).entryList({"upload-*.body"}, QDir::Files))
        EXPECT_FALSE(testsupport::readFile(QDir(bodies).filePath(kept)).contains("not for the server"));
}
