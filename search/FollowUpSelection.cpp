#include "search/FollowUpSelection.h"

#include "common/ServerReplies.h"
#include "platform/Error.h"

namespace tavrelsvc {

namespace {

QString afterEquals(const QString& line) {
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : line.mid(eq + 1);
}

float numberAfterEquals(const QString& line) {
    return static_cast<float>(common::leadingNumber(afterEquals(line)));
}

// The queries that failed, and whether any passed.
void selectQueries(const FollowUpCriterion& c, const QStringList& lines, FollowUpSelection& s, bool& nonePassed) {
    qsizetype first = -1;
    for (qsizetype i = 0; i < lines.size() && first < 0; ++i)
        if (lines[i].left(8) == QLatin1String("ionquery")) first = i;
    if (first < 0) throw platform::Error(5, QStringLiteral("No query lines in the per-query search results"));
    float threshold = static_cast<float>(c.fu_score);
    // The reply's last line is no query's: it ends the reply.
    for (qsizetype i = first; i + 2 < lines.size() - 1; i += 3) {
        const float score = numberAfterEquals(lines[i + 1]);
        const float base = numberAfterEquals(lines[i + 2]);
        if (c.follow_up == 2) threshold = base + c.offset;
        if (score != 0 && base != -1 && score >= threshold) nonePassed = false;
        else s.queries << afterEquals(lines[i]);
    }
    s.selected = !s.queries.isEmpty();
}

}  // namespace

bool perQueryFollowUp(qint16 follow_up, const SearchResultsRecord& record) {
    return follow_up > 0 && record.queries > 0 && record.selectpeptides == 1;
}

FollowUpSelection selectFollowUp(const FollowUpCriterion& c, const SearchResultsRecord& record, qint32 topScore) {
    FollowUpSelection s;
    bool nonePassed = true;
    s.perQuery = perQueryFollowUp(c.follow_up, record);
    if (s.perQuery) selectQueries(c, record.lines, s, nonePassed);
    else if (c.follow_up == 1) s.selected = topScore < c.fu_score;
    else if (c.follow_up == 2) s.selected = double(c.offset) + record.sigscoreprot > double(topScore);
    s.discard = c.fu_discard && s.selected && nonePassed;
    return s;
}

}  // namespace tavrelsvc
