#include "search/SearchPoll.h"
#include "search/SearchResults.h"
#include "search/SearchSubmit.h"

#include "SearchSimFixture.h"
#include "platform/Error.h"

using namespace tavrelsvc;
using searchtest::ionBlock;

namespace {

class Poll : public searchtest::SearchSim {
protected:
    // Submits one search; the poll input as the job holds it afterwards.
    SearchPollInput submit(const QByteArray& peaks) {
        SubmissionInput in;
        in.SearchFormPrefix = searchFormPart("FORMVER", "1.01") + searchFormPart("COM", "t") + "--" +
                              SearchFormBoundary + "\r\nContent-Disposition: form-data; name=\"FILE\"; filename=\"a\"\r\n\r\n";
        in.PeakListText = peaks;
        in.CurrentMethodCode = "?1";
        in.task_sorvex_url = url;
        const SubmitResult r = clsJob_SubmitSearch(*session, in, nullptr, job);
        EXPECT_EQ(r.outcome, SubmitOutcome::Submitted);
        SearchPollInput poll;
        poll.task_sorvex_url = url;
        poll.sorvex_task_id = r.sorvex_task_id;
        poll.Job_submitted = t0;
        poll.PendingNiceValue = 5;
        return poll;
    }
    QDateTime t0 = QDateTime(QDate(2024, 3, 1), QTime(10, 0));
};

}  // namespace

TEST_F(Poll, StateSequencesDecideTheNextStep) {
    struct Row {
        const char* states;
        PollOutcome outcome;  // of the last poll
        qint16 code;
        const char* lastEvent;  // "" none
    } rows[] = {
        {R"(["queued", "running", "complete"])", PollOutcome::FollowUp, 0, "Search completed"},
        {R"(["RUNNING", "error=51"])", PollOutcome::FollowUp, 51, "Search completed (with error)"},
        {R"(["error=-2"])", PollOutcome::FollowUp, -2, "Search completed (with error)"},
        {R"(["error=abc"])", PollOutcome::RearmTimer, 0, "(TVS1016) 13: "},
        {R"(["problem=disk full"])", PollOutcome::RearmTimer, 0, "disk full"},
        {R"(["unknown_id"])", PollOutcome::AbandonSearch, 0, "Invalid task ID"},
        {R"(["searchcontrol-error=oops=1"])", PollOutcome::RearmTimer, 0, "Error return from ms-searchcontrol.exe: oops=1"},
        {R"(["running"])", PollOutcome::RearmTimer, 0, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.states);
        start("\"search\": {\"states\": " + QByteArray(row.states) + "}");
        testsupport::writeFile(logPath, {});
        SearchPollInput in = submit(ionBlock(1, 500));
        testsupport::writeFile(logPath, {});
        PollResult r;
        const int polls = int(QByteArray(row.states).count(','));
        for (int i = 0; i <= polls; ++i) {
            r = clsJob_SearchRunning(*session, in, t0.addSecs(11 + i), job);
            in.PendingNiceValue = r.PendingNiceValue;
        }
        EXPECT_EQ(r.outcome, row.outcome);
        EXPECT_EQ(r.completionCode, row.code);
        const QStringList events = messages();
        if (*row.lastEvent) {
            ASSERT_FALSE(events.isEmpty());
            EXPECT_TRUE(events.last().startsWith(row.lastEvent)) << qPrintable(events.join("\n"));
        } else {
            EXPECT_TRUE(events.isEmpty()) << qPrintable(events.join("\n"));
        }
    }
}

TEST_F(Poll, NiceOnceTimingAndPause) {
    start(R"("search": {"states": ["running"]})");
    SearchPollInput in = submit(ionBlock(1, 500));
    sim.clearLog();
    // Nine seconds after the submission nothing is asked.
    EXPECT_EQ(clsJob_SearchRunning(*session, in, t0.addSecs(9), job).outcome, PollOutcome::RearmTimer);
    EXPECT_TRUE(sim.targets().isEmpty());
    for (int i = 0; i < 2; ++i) {
        const PollResult r = clsJob_SearchRunning(*session, in, t0.addSecs(20 + i), job);
        in.PendingNiceValue = r.PendingNiceValue;
        EXPECT_EQ(r.PendingNiceValue, -1);
    }
    EXPECT_EQ(sim.targets().filter("nice_job").size(), 1);
    EXPECT_TRUE(sim.targets().filter("nice_job").value(0).contains("&nice_value=5"));

    // Never queued within an hour: the file's search ends.
    start();
    in = submit(ionBlock(1, 500));
    ASSERT_TRUE(sim.reload(R"({"search": {"states": ["running"]}, "createTaskIdReply": "taskid=424242\nactionstring=nph-sorvex.exe\n"})"));
    session->GetHttpDocWithLogin(url, "client.pl?create_task_id");  // issued, never uploaded: "id_assigned"
    in.sorvex_task_id = "424242";
    EXPECT_EQ(clsJob_SearchRunning(*session, in, t0.addSecs(3600), job).outcome, PollOutcome::RearmTimer);
    EXPECT_EQ(clsJob_SearchRunning(*session, in, t0.addSecs(3601), job).outcome, PollOutcome::EndFileSearch);
    EXPECT_EQ(messages().last(), "Failed to reach queued or running status after 1 hour");

    in.PleasePause = true;
    sim.clearLog();
    EXPECT_EQ(clsJob_SearchRunning(*session, in, t0.addSecs(20), job).outcome, PollOutcome::Pause);
    EXPECT_TRUE(sim.targets().isEmpty());
}

TEST_F(Poll, ResultsOfTheSimulatedSearch) {
    start(R"("search": {"selectPeptides": true, "queryScores": [[40, 25], [0, 25]]})");
    const QByteArray peaks = ionBlock(1, 500) + ionBlock(2, 600);
    const SearchPollInput in = submit(peaks);
    SearchResultOutputs out;
    SearchResultsRecord record;
    ASSERT_EQ(clsJob_ParseResult(*session, url, in.sorvex_task_id, out, record, job), ParseOutcome::Parsed);
    const sorvexsim::TopHit hit = sorvexsim::topHitFor(searchtest::oracleHash(peaks), 2);
    EXPECT_EQ(out.accession, hit.accession);
    EXPECT_EQ(out.score, qRound(hit.score.toDouble()));
    EXPECT_EQ(out.mass, int(hit.mass.toDouble()));  // ".25" rounds down
    EXPECT_EQ(out.title, "Simulated protein " + hit.accession);
    EXPECT_EQ(out.database, "SwissProt_2024_01.fasta");
    EXPECT_EQ(out.resultFile, "../data/F" + in.sorvex_task_id + ".dat");
    EXPECT_EQ(record.resultUrl, url + "master_results.pl?file=../data/F" + in.sorvex_task_id + ".dat");
    EXPECT_EQ(record.queries, 2);
    EXPECT_EQ(record.selectpeptides, 1);
    // The result page is there.
    EXPECT_TRUE(session->GetHttpDocWithLogin(url, record.resultUrl.mid(url.size())).contains(hit.accession.toLatin1()));

    // An empty reply changes nothing; a malformed one is an error result.
    ASSERT_TRUE(sim.reload(R"({"search": {"results": "empty"}})"));
    SearchResultOutputs kept;
    kept.accession = "unchanged";
    SearchResultsRecord r2;
    EXPECT_EQ(clsJob_ParseResult(*session, url, in.sorvex_task_id, kept, r2, job), ParseOutcome::EmptyReply);
    EXPECT_EQ(kept.accession, "unchanged");
    ASSERT_TRUE(sim.reload(R"({"search": {"results": "malformed"}})"));
    EXPECT_EQ(clsJob_ParseResult(*session, url, in.sorvex_task_id, kept, r2, job), ParseOutcome::ParseError);
    EXPECT_EQ(kept.accession, "<error>");
    EXPECT_TRUE(kept.title.contains("num_hits=several"));
    EXPECT_EQ(messages().last(),
              "Failed to parse response from ms-searchcontrol.exe: last 250 characters are in result description field");
}

TEST(ResultsReply, KeysAndEdgeCases) {
    struct Row {
        const char* reply;
        const char* accession;
        int score, mass;
        const char* title;
        const char* url;  // after the server URL
        int selectpeptides;
    } rows[] = {
        {"file=F1.dat\nnum_hits=2\nh1=P12345,87.6,x,1234.5\nh1_text=Alpha\n", "P12345", 88, 1234, "Alpha",
         "master_results.pl?file=F1.dat", 0},
        {"file=F1.dat\nnum_hits=0\n", "<no result>", 0, 0, "Search did not return any matches",
         "master_results.pl?file=F1.dat", 0},
        {"FILE=F1.dat\nnum_hits=1\nh1=A,1\n", "caller", 7, 8, "", "", 0},
        {"file=F&1\r\nresultsperlscript=cgi/../cgi/master_results.pl\r\nnum_hits=1\r\nh1=Q,2.5,0,3.5\r\n", "Q", 2, 4,
         "", "cgi/master_results.pl?file=F&1", 0},
        {"file=F\nnum_hits=1\nh1=A,1,0,1\nselectpeptides=1\nionquery1=x\nqscore1=1\n", "A", 1, 1, "",
         "master_results.pl?file=F", 0},
        {"file=F\nnum_hits=1\nh1=A,1,0,1\nionquery1=x\nselectpeptides=1\n", "A", 1, 1, "", "master_results.pl?file=F", 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.reply);
        SearchResultOutputs out{"caller", 8, 7, "", "", ""};
        SearchResultsRecord record;
        parseSearchResultsReply(row.reply, "http://h/sorvex/cgi/", out, record);
        EXPECT_EQ(out.accession, row.accession);
        EXPECT_EQ(out.score, row.score);
        EXPECT_EQ(out.mass, row.mass);
        EXPECT_EQ(out.title, row.title);
        EXPECT_EQ(record.resultUrl.toStdString(), (*row.url ? "http://h/sorvex/cgi/" + QString(row.url) : QString()).toStdString());
        EXPECT_EQ(record.selectpeptides, row.selectpeptides);
    }
    SearchResultOutputs out;
    SearchResultsRecord record;
    EXPECT_THROW(parseSearchResultsReply("num_hits=1\nh1=A,1e12,0,1\n", "u/", out, record), platform::Error);
}
