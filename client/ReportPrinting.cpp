#include "client/Reports.h"

#include "common/AtomicSave.h"
#include "clientcommon/FileDialogs.h"
#include "platform/MessageBox.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>
#include <QToolBar>

namespace tavrel {

namespace {

constexpr qreal kFooterPoints = 18;

// The pages of the report on any paged device (a printer, a PDF writer).
bool paintReport(const QTextDocument& report, QPagedPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    std::unique_ptr<QTextDocument> doc(report.clone());
    const QRectF pageRect = device.pageLayout().paintRectPixels(device.logicalDpiX());
    const qreal footer = kFooterPoints * device.logicalDpiY() / 72.0;
    const QSizeF body(pageRect.width(), pageRect.height() - footer);
    // Lay the document out at the device's resolution so that fonts keep their size.
    doc->documentLayout()->setPaintDevice(&device);
    doc->setPageSize(body);
    const int pages = std::max(1, doc->pageCount());
    QFont footerFont(QStringLiteral("Arial"), 8);
    for (int i = 0; i < pages; ++i) {
        if (i > 0) device.newPage();
        painter.save();
        painter.translate(0, -i * body.height());
        const QRectF visible(0, i * body.height(), body.width(), body.height());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = visible;
        painter.setClipRect(visible);
        doc->documentLayout()->draw(&painter, context);
        painter.restore();
        painter.setFont(QFont(footerFont, &device));
        painter.drawText(QRectF(0, body.height(), body.width(), footer), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("Page %1 of %2").arg(i + 1).arg(pages));
    }
    return painter.end();
}

}  // namespace

void printReport(const QTextDocument& report, QPrinter& printer) { paintReport(report, printer); }

bool writeReportPdf(const QTextDocument& report, const QString& pdfPath, QString* error) {
    // Made in memory and then saved whole: a target that cannot take all of
    // it (read-only, a full disk) keeps what it held and no partial file is left.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(1200);
        writer.setTitle(report.metaInformation(QTextDocument::DocumentTitle));
        if (!paintReport(report, writer)) {
            if (error) *error = QStringLiteral("the report could not be laid out as PDF");
            return false;
        }
    }
    // As every file the client writes: never through a link, and the group's
    // in a folder the group shares.
    const QString failure = common::saveFileAtomically(pdfPath, pdf.data());
    if (failure.isEmpty()) return true;
    if (error) *error = failure;
    return false;
}

void showReportPreview(std::unique_ptr<QTextDocument> report, QWidget* owner) {
    // The printer lives as long as the preview's connection that holds it.
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    auto* preview = new QPrintPreviewDialog(printer.get(), owner);
    preview->setObjectName(QStringLiteral("frmReportPreview"));
    preview->setAttribute(Qt::WA_DeleteOnClose);
    preview->setWindowTitle(QStringLiteral("Sorvex Tavrel: ") + report->metaInformation(QTextDocument::DocumentTitle));
    QTextDocument* doc = report.release();
    doc->setParent(preview);
    QObject::connect(preview, &QPrintPreviewDialog::paintRequested, preview,
                     [doc, printer](QPrinter* p) { printReport(*doc, *p); });
    // Beside printing, the report can be kept as a PDF file.
    if (auto* toolbar = preview->findChild<QToolBar*>()) {
        QAction* exportPdf = toolbar->addAction(QStringLiteral("Export PDF ..."));
        exportPdf->setObjectName(QStringLiteral("cmdExportPdf"));
        QObject::connect(exportPdf, &QAction::triggered, preview, [preview, doc] {
            FileDialogRequest request;
            request.owner = preview;
            request.title = QStringLiteral("Export PDF");
            request.fileName = doc->metaInformation(QTextDocument::DocumentTitle) + QStringLiteral(".pdf");
            request.filter = QStringLiteral("PDF files (*.pdf)");
            request.defaultSuffix = QStringLiteral("pdf");
            const QString path = showSaveFileDialog(request);
            QString why;
            if (!path.isEmpty() && !writeReportPdf(*doc, path, &why))
                platform::MsgBox(QStringLiteral("Cannot write ") + QDir::toNativeSeparators(path) +
                                     QStringLiteral(": ") + why,
                                 platform::vbOKOnly | platform::vbExclamation);
        });
    }
    preview->resize(900, 700);
    preview->open();
}

}  // namespace tavrel
