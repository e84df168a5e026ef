#pragma once
// The follow-up decision of one finished search, alone: from the search's
// record and top score, whether the data file is searched again, which of its
// queries, and whether its result row is dropped. No server, file or database.
#include "search/SearchResults.h"

#include <QStringList>

namespace tavrelsvc {

struct FollowUpCriterion {
    qint16 follow_up = 0;   // 0 none, 1 score below fu_score, 2 probability of a random match above 1 in fu_score
    qint32 fu_score = 0;
    float offset = 0;       // probabilityOffset(fu_score) for follow_up 2 (0 when it has none)
    bool fu_discard = false;
};

struct FollowUpSelection {
    bool perQuery = false;  // only the queries that failed are searched again
    bool selected = false;  // the file is searched again, or handed to the follower
    bool discard = false;   // selected with nothing passed, and the task drops such results
    QStringList queries;    // per query: the texts of the queries to search again, in reply order
};

// A follow-up limited to the failed queries: the task asks for a follow-up and
// the server selected peptides over some queries.
bool perQueryFollowUp(qint16 follow_up, const SearchResultsRecord& record);

// Per query: the reply's lines from the first "ionquery" line, in threes (the
// query's text, its score, the server's own threshold for it); a query passes
// when it has a score and a threshold and the score reaches the threshold
// (the threshold plus the offset for follow_up 2). Per search: the top score
// against fu_score, or against the server's significance score plus the
// offset. Throws platform::Error 5 for a per-query reply without query lines.
FollowUpSelection selectFollowUp(const FollowUpCriterion& criterion, const SearchResultsRecord& record,
                                 qint32 topScore);

}  // namespace tavrelsvc
