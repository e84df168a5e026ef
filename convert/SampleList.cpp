#include "convert/SampleList.h"

#include "platform/Process.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tavrelsvc {

namespace {

const QString kTable = QStringLiteral("ANALYSIS");
constexpr int kCommentLength = 255;
constexpr int kReadTimeoutMs = 60000;

struct Run {
    bool missing = false;  // the program is not installed
    bool ran = false;
    int exitCode = -1;
    QByteArray output;
    QString error;
};

Run runTool(const QString& name, const QStringList& arguments) {
    Run run;
    const QString program = QStandardPaths::findExecutable(name);
    if (program.isEmpty()) {
        run.error = name + QStringLiteral(" (mdbtools) is not installed");
        run.missing = true;
        return run;
    }
    platform::ProcessOptions options;
    options.captureOutput = true;
    options.captureError = true;
    platform::Process process;
    try {
        process.start(program, arguments, options);
    } catch (const std::exception& e) {
        run.error = QString::fromLocal8Bit(e.what());
        return run;
    }
    if (!process.waitForFinished(kReadTimeoutMs)) {
        run.error = name + QStringLiteral(" did not finish");
        return run;
    }
    run.ran = true;
    run.exitCode = process.exitCode();
    run.output = process.readOutput();
    run.error = QString::fromLocal8Bit(process.readError()).simplified();
    return run;
}

}  // namespace

SampleListReader::Result MdbSampleListReader::readAnalysis(const QString& path) {
    Result result;
    if (!QFileInfo(path).isFile()) {
        result.error = QStringLiteral("File not found: ") + path;
        return result;
    }
    const Run tables = runTool(QStringLiteral("mdb-tables"), {QStringLiteral("-1"), path});
    if (tables.missing) {
        result.status = Status::ReaderMissing;
        result.error = tables.error;
        return result;
    }
    if (!tables.ran || tables.exitCode != 0) {
        result.error = tables.error.isEmpty() ? QStringLiteral("Not a Jet database file") : tables.error;
        return result;
    }
    bool hasTable = false;
    for (const QByteArray& name : tables.output.split('\n'))
        hasTable = hasTable || QString::fromUtf8(name).trimmed().compare(kTable, Qt::CaseInsensitive) == 0;
    result.status = Status::TableUnavailable;
    if (!hasTable) {
        result.error = QStringLiteral("The sample list has no table ") + kTable;
        return result;
    }
    const Run exported = runTool(QStringLiteral("mdb-export"),
                                 {QStringLiteral("-D"), QStringLiteral("%Y-%m-%d"), QStringLiteral("-T"),
                                  QStringLiteral("%Y-%m-%d %H:%M:%S"), QStringLiteral("-b"), QStringLiteral("strip"),
                                  path, kTable});
    if (exported.missing) {
        result.status = Status::ReaderMissing;
        result.error = exported.error;
        return result;
    }
    if (!exported.ran || exported.exitCode != 0) {
        result.error = exported.error.isEmpty() ? QStringLiteral("Table ") + kTable + QStringLiteral(" cannot be read")
                                                : exported.error;
        return result;
    }
    result.table = parseExportedTable(exported.output);
    result.status = Status::Read;
    return result;
}

SampleListTable parseExportedTable(const QByteArray& csv) {
    const QString text = QString::fromUtf8(csv);
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false, fieldStarted = false;
    const auto endField = [&] {
        record << field;
        field.clear();
        fieldStarted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
            fieldStarted = true;
        } else if (c == QLatin1Char(',')) {
            endField();
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
            if (fieldStarted || !field.isEmpty() || !record.isEmpty()) {
                endField();
                records << record;
                record.clear();
            }
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (fieldStarted || !field.isEmpty() || !record.isEmpty()) {
        endField();
        records << record;
    }
    SampleListTable table;
    if (records.isEmpty()) return table;
    table.columns = records.takeFirst();
    for (QStringList& row : records) {
        while (row.size() < table.columns.size()) row << QString();
        table.rows << row.mid(0, table.columns.size());
    }
    return table;
}

QString samplePeakListPath(const QString& folder, const QString& fileName) {
    const QString& name = fileName;
    if (name.trimmed().isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        name.contains(QLatin1Char(':')) || name == u"." || name == u"..")
        return QString();
    return QDir(folder).filePath(name + QStringLiteral(".pkl"));
}

QString findSamplePeakList(const QString& folder, const QString& fileName) {
    const QString path = samplePeakListPath(folder, fileName);
    if (path.isEmpty() || QFileInfo(path).isFile()) return path;
    const QString wanted = QFileInfo(path).fileName();
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name))
        if (name.compare(wanted, Qt::CaseInsensitive) == 0) return dir.filePath(name);
    return path;
}

int sampleNameColumn(const QStringList& columns) {
    for (qsizetype i = 0; i < columns.size(); ++i)
        if (columns[i].trimmed().compare(QLatin1String("file_name"), Qt::CaseInsensitive) == 0) return static_cast<int>(i);
    return -1;
}

QString sampleComment(const QString& titleTemplate, const QStringList& columns, const QStringList& values) {
    QString comment = titleTemplate;
    if (comment.isEmpty()) return comment;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const QString value = values.value(i);
        if (value.isEmpty()) continue;
        const QString placeholder = QLatin1Char('<') + columns[i] + QLatin1Char('>');
        const qsizetype at = comment.indexOf(placeholder, 0, Qt::CaseInsensitive);
        if (at >= 0) comment.replace(at, placeholder.size(), value);
    }
    return comment.left(kCommentLength);
}

}  // namespace tavrelsvc
