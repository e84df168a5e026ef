#pragma once
// The simulator's deterministic "search": what it answers for a submitted
// peak list follows from the list's content alone, so a test can predict the
// top hit, score and mass of its own fixture. Header-only (Qt Core), shared by
// the simulator and the tests.
#include <QByteArray>
#include <QString>

#include <cstdint>

namespace sorvexsim {

// FNV-1a, 32 bits, over the bytes given, continuing from `h`.
inline quint32 fnv1a(const QByteArray& bytes, quint32 h = 2166136261u) {
    for (const char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 16777619u;
    }
    return h;
}

// The content hash of a submission: every line inside the "BEGIN IONS" ...
// "END IONS" blocks (both included, without their line ends) followed by "\n",
// and every query's QUE value (one starting "query=") followed by "\n", in body order.
inline quint32 addContentLine(quint32 h, const QByteArray& line) { return fnv1a(line + '\n', h); }
inline constexpr quint32 kEmptyContentHash = 2166136261u;

struct TopHit {
    QString accession;  // "P" + five digits
    QString score;      // one decimal, 20.0 .. 99.9
    QString mass;       // two decimals, ends in .25 so that rounding is plain
    int numHits = 0;
};

inline TopHit topHitFor(quint32 h, int queries) {
    TopHit t;
    t.accession = QStringLiteral("P%1").arg(h % 100000u, 5, 10, QLatin1Char('0'));
    const quint32 tenths = 200 + (h >> 3) % 800;
    t.score = QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
    t.mass = QStringLiteral("%1.25").arg(800 + (h >> 11) % 3000);
    t.numHits = queries > 0 ? 1 + static_cast<int>((h >> 17) % 5) : 0;
    return t;
}

// Score of one query block (its own hash) and the server's threshold for it.
inline QString queryScoreFor(quint32 queryHash) {
    const quint32 tenths = queryHash % 700;
    return QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
}
inline constexpr int kDefaultQueryThreshold = 25;

}  // namespace sorvexsim
