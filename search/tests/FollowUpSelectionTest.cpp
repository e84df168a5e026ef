// Which finished searches are searched again, and with which queries: the
// decision alone, row by row, at its boundaries.
#include "search/FollowUpSelection.h"

#include "platform/Error.h"

#include <gtest/gtest.h>

using namespace tavrelsvc;

namespace {

struct Query {
    const char* score;
    const char* base;  // the server's own threshold for the query
};

// A results reply that selected peptides over the queries q1, q2, ... in
// order; `closed` false ends the reply with the last query's threshold line.
SearchResultsRecord perQueryReply(std::initializer_list<Query> queries, bool closed = true) {
    SearchResultsRecord r;
    r.file = QStringLiteral("../data/F1.dat");
    r.selectpeptides = 1;
    r.sigscoreprot = 45;
    r.lines = QStringList{"file=../data/F1.dat", "queries=" + QString::number(queries.size()), "sigscoreprot=45"};
    int n = 0;
    for (const Query& q : queries) {
        ++n;
        r.lines << QStringLiteral("ionquery%1=q%1").arg(n) << QStringLiteral("qscore%1=%2").arg(n).arg(q.score)
                << QStringLiteral("qbase%1=%2").arg(n).arg(q.base);
    }
    r.queries = n;
    if (closed) r.lines << QStringLiteral("selectpeptides=1");
    return r;
}

SearchResultsRecord perSearchReply(double sigscoreprot = 45) {
    SearchResultsRecord r;
    r.queries = 3;
    r.sigscoreprot = sigscoreprot;
    return r;
}

}  // namespace

TEST(FollowUpSelection, QueriesAndSearchesAtTheirThresholds) {
    struct Row {
        const char* name;
        FollowUpCriterion criterion;
        SearchResultsRecord record;
        qint32 topScore;
        bool perQuery, selected;
        QStringList queries;
        bool discard;
    } rows[] = {
        // Per query, "score below": the threshold is fu_score.
        {"a score equal to the threshold passes", {1, 30, 0, true}, perQueryReply({{"30", "25"}}), 30,
         true, false, {}, false},
        {"a score just below it is searched again", {1, 30, 0, false}, perQueryReply({{"29.9", "25"}, {"40", "25"}}),
         40, true, true, {"q1"}, false},
        {"score 0 is searched again whatever the threshold", {1, -5, 0, false}, perQueryReply({{"0", "25"}}), 0,
         true, true, {"q1"}, false},
        {"a threshold of -1 is searched again whatever the score", {1, 10, 0, false}, perQueryReply({{"90", "-1"}}),
         90, true, true, {"q1"}, false},
        // Per query, "probability": the threshold is the query's own plus the offset.
        {"probability: below base plus offset", {2, 200, 10, false}, perQueryReply({{"34", "25"}}), 34, true,
         true, {"q1"}, false},
        {"probability: equal to base plus offset passes", {2, 200, 10, false}, perQueryReply({{"35", "25"}}), 35,
         true, false, {}, false},
        {"probability: a negative offset lowers the threshold", {2, 2, -10, false}, perQueryReply({{"16", "25"}}),
         16, true, false, {}, false},
        {"probability: base -1 is searched again", {2, 200, 10, false}, perQueryReply({{"90", "-1"}}), 90, true,
         true, {"q1"}, false},
        // Discarding: only when no query passed.
        {"discard with no query passing", {1, 30, 0, true}, perQueryReply({{"10", "25"}, {"0", "25"}}), 10, true,
         true, {"q1", "q2"}, true},
        {"no discard once one query passed", {1, 30, 0, true}, perQueryReply({{"10", "25"}, {"31", "25"}}), 31, true,
         true, {"q1"}, false},
        {"discard off keeps the result", {1, 30, 0, false}, perQueryReply({{"10", "25"}}), 10, true, true, {"q1"},
         false},
        {"the reply's last line is no query's", {1, 30, 0, false}, perQueryReply({{"40", "25"}, {"10", "25"}}, false),
         40, true, false, {}, false},
        // Per search: no peptides selected, or a search without queries.
        {"per search: a top score equal to fu_score is kept", {1, 30, 0, true}, perSearchReply(), 30, false, false,
         {}, false},
        {"per search: a top score below fu_score is discarded", {1, 30, 0, true}, perSearchReply(), 29, false, true,
         {}, true},
        {"per search: below fu_score, discard off", {1, 30, 0, false}, perSearchReply(), 29, false, true, {}, false},
        {"per search, probability: top score equal to sigscoreprot", {2, 20, 0, false}, perSearchReply(45), 45, false,
         false, {}, false},
        {"per search, probability: one below sigscoreprot", {2, 20, 0, false}, perSearchReply(45), 44, false, true,
         {}, false},
        {"per search, probability: the offset adds to sigscoreprot", {2, 200, 10, false}, perSearchReply(45), 54,
         false, true, {}, false},
        {"no follow-up: nothing is selected", {0, 30, 0, true}, perQueryReply({{"0", "-1"}}), 0, false, false, {},
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const FollowUpSelection s = selectFollowUp(row.criterion, row.record, row.topScore);
        EXPECT_EQ(s.perQuery, row.perQuery);
        EXPECT_EQ(s.selected, row.selected);
        EXPECT_EQ(s.queries, row.queries);
        EXPECT_EQ(s.discard, row.discard);
    }
}

TEST(FollowUpSelection, PerQueryNeedsQueriesAndSelectedPeptides) {
    SearchResultsRecord r = perQueryReply({{"10", "25"}});
    EXPECT_TRUE(perQueryFollowUp(1, r));
    EXPECT_TRUE(perQueryFollowUp(2, r));
    EXPECT_FALSE(perQueryFollowUp(0, r));
    r.selectpeptides = 0;
    EXPECT_FALSE(perQueryFollowUp(1, r));
    r.selectpeptides = 1;
    r.queries = 0;
    EXPECT_FALSE(perQueryFollowUp(1, r));

    // A per-query reply without query lines is an error, not "nothing failed".
    SearchResultsRecord bare = perQueryReply({});
    bare.queries = 2;
    try {
        selectFollowUp({1, 30, 0, false}, bare, 0);
        ADD_FAILURE() << "no error";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), 5);
        EXPECT_EQ(e.description(), "No query lines in the per-query search results");
    }
}
