// Stop masses: peaks of a peptide-mass-fingerprint list that lie within the
// search tolerance of a known contaminant mass are removed before the search.
#include "search/SearchForm.h"

#include "common/ServerReplies.h"
#include "platform/BoundedRead.h"
#include "platform/Cp1252.h"
#include "platform/Error.h"
#include "service/SmallConversions.h"

#include <algorithm>
#include <vector>

namespace tavrelsvc {

namespace {

// The file lies in the shared program folder: far more than any list of
// contaminants, it is refused rather than read into memory.
constexpr qint64 kStopMassFileLimit = qint64(64) << 20;

// The selected column of every mass line; "#" starts a comment and a line
// without a comma holds no mass. There is no limit on the count: a long file
// filters with all of its masses.
std::vector<float> readStopMasses(const QString& path, bool monoisotopic) {
    QByteArray bytes;
    QString why;
    switch (platform::readBoundedFile(path, kStopMassFileLimit, bytes, &why, platform::Links::Follow)) {
        case platform::ReadOutcome::Missing:
            throw platform::Error(platform::errnum::FileNotFound, QStringLiteral("No such file: ") + path);
        case platform::ReadOutcome::Failed:
            throw platform::Error(57, why + QStringLiteral(": ") + path);
        case platform::ReadOutcome::Read:
            break;
    }
    std::vector<float> masses;
    for (QByteArray line : bytes.split('\n')) {
        while (line.endsWith('\r')) line.chop(1);
        if (line.startsWith('#')) continue;
        const qsizetype comma = line.indexOf(',');
        if (comma < 0) continue;
        const QByteArray column = monoisotopic ? line.left(comma) : line.mid(comma + 1);
        masses.push_back(static_cast<float>(common::leadingNumber(platform::fromCp1252(column.trimmed()))));
    }
    return masses;
}

}  // namespace

void clsJob_FilterStopMasses(QByteArray& list, const QByteArray& SearchFormHead, const QString& stopMassFile,
                             const SearchJobContext& job) {
    try {
        if (clsJob_GetFormValue(QStringLiteral("SEARCH"), list, SearchFormHead).toUpper() != QLatin1String("PMF")) return;
        const bool mono =
            clsJob_GetFormValue(QStringLiteral("MASS"), list, SearchFormHead).toUpper() == QLatin1String("MONOISOTOPIC");
        std::vector<float> stops = readStopMasses(stopMassFile, mono);
        if (stops.empty()) return;
        std::sort(stops.begin(), stops.end());
        const float tolerance =
            static_cast<float>(common::leadingNumber(clsJob_GetFormValue(QStringLiteral("TOL"), list, SearchFormHead)));
        const QString unit = clsJob_GetFormValue(QStringLiteral("TOLU"), list, SearchFormHead).toUpper();

        const QByteArray eol = list.contains("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
        QList<QByteArray> lines = list.split('\n');
        if (eol.size() == 2)
            for (QByteArray& l : lines)
                if (l.endsWith('\r')) l.chop(1);
        // Splitting leaves one piece after the last line end; it is no line.
        if (!lines.isEmpty() && lines.last().isEmpty() && list.endsWith('\n')) lines.removeLast();

        QByteArray rebuilt;
        rebuilt.reserve(list.size());
        for (const QByteArray& line : lines) {
            const float m = static_cast<float>(common::leadingNumber(platform::fromCp1252(line)));
            bool drop = false;
            if (m > 0) {
                const std::optional<double> window = modGlobal_ToleranceInDaltons(tolerance, unit, m);
                if (window) {
                    // Only stop masses within reach of m need a look.
                    auto it = std::lower_bound(stops.begin(), stops.end(), static_cast<float>(m - *window - 1.0));
                    for (; it != stops.end() && *it <= m + *window + 1.0; ++it)
                        if (std::abs(static_cast<double>(m) - static_cast<double>(*it)) <= *window) {
                            drop = true;
                            break;
                        }
                }
            }
            if (!drop) rebuilt += line + eol;
        }
        list = rebuilt;
    } catch (const platform::Error& e) {
        job.log(EventError, e.report(QStringLiteral("(TVS1039) ")));
    }
}

}  // namespace tavrelsvc
