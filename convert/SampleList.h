#pragma once
// MassLynx sample lists (".spl"): a Jet database whose table "ANALYSIS" names
// one sample per row, each with its ".pkl" peak list in the task's peak-list
// folder. The reading and the per-row decisions, without the job.
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

namespace tavrelsvc {

struct SampleListTable {
    QStringList columns;      // in the table's order
    QList<QStringList> rows;  // values as text, one per column ("" for Null)
};

class SampleListReader {
public:
    enum class Status {
        Read,              // `table` holds the rows of "ANALYSIS"
        NotADatabase,      // the file cannot be opened as a database
        TableUnavailable,  // it opens, but "ANALYSIS" cannot be read (yet)
        ReaderMissing,     // the programs that read Jet files are not installed
    };
    struct Result {
        Status status = Status::NotADatabase;
        QString error;  // the description of the failure
        SampleListTable table;
    };
    virtual ~SampleListReader() = default;
    virtual Result readAnalysis(const QString& path) = 0;
};

// The reader Debian ships for Jet files: the programs "mdb-tables" and
// "mdb-export" of mdbtools, found on PATH and run with argument lists.
class MdbSampleListReader final : public SampleListReader {
public:
    Result readAnalysis(const QString& path) override;
};

// The table as mdb-export writes it: a header row of column names, then one
// row per record; fields separated by ",", text in double quotes with inner
// quotes doubled, line breaks allowed inside quotes.
SampleListTable parseExportedTable(const QByteArray& csv);

// The peak list of a sample: "<folder>/<file_name>.pkl", or "" when the name
// would lead out of the folder (an absolute path, "..", a separator).
QString samplePeakListPath(const QString& folder, const QString& fileName);

// The sample's peak list as it is in the folder: the path above when that
// file exists, else the folder's file of that name in another letter case
// (as the folder walk matches names), else the path above.
QString findSamplePeakList(const QString& folder, const QString& fileName);

// The column of the peak-list names, "file_name" in any letter case (Jet
// reads field names so); -1 when there is none.
int sampleNameColumn(const QStringList& columns);

// The comment of a sample: in a copy of the template, each column whose value
// is not empty replaces the first "<column>" (letter case ignored), columns in
// the table's order; cut to 255 characters.
QString sampleComment(const QString& titleTemplate, const QStringList& columns, const QStringList& values);

}  // namespace tavrelsvc
