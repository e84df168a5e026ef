#pragma once
// The task and result reports of the File menu's Print: Qt text documents
// built from the task database, shown in a print preview that prints and
// writes PDF. No value in a report shows a password.
#include <QString>
#include <QTextDocument>

#include <memory>

class QPrinter;

class QWidget;

namespace platform {
class AdoConnection;
class AdoRecordset;
}  // namespace platform

namespace tavrel {

// "Sorvex Tavrel Tasks": every row of the recordset (the whole task table as
// the status view holds it, in its order), the recordset left at its first row.
std::unique_ptr<QTextDocument> buildTasksReport(platform::AdoRecordset& tasks);
// The same of the task table as it is now, read when the report is made (the
// shared recordset holds the rows as its last reader left them).
std::unique_ptr<QTextDocument> buildTasksReport(platform::AdoConnection& connection);

// "Sorvex Tavrel Results": the results of one task in result order. Throws
// platform::Error when the database cannot be read.
std::unique_ptr<QTextDocument> buildResultsReport(platform::AdoConnection& connection, long taskUid);

// The report on the printer's pages with "Page n" at the foot of each.
void printReport(const QTextDocument& report, QPrinter& printer);
// Written as a PDF file, whole or not at all; false (and why, when asked)
// when the file cannot be written, leaving what the path held unchanged.
bool writeReportPdf(const QTextDocument& report, const QString& pdfPath, QString* error = nullptr);
// The print preview (modeless), from which the user prints or saves a PDF.
void showReportPreview(std::unique_ptr<QTextDocument> report, QWidget* owner);

}  // namespace tavrel
