#include "client/Reports.h"

#include "common/FileDialogs.h"
#include "platform/MessageBox.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QFileInfo>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>
#include <QToolBar>

namespace tavrel {

namespace {

constexpr qreal kFooterPoints = 18;

}  // namespace

void printReport(const QTextDocument& report, QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) return;
    std::unique_ptr<QTextDocument> doc(report.clone());
    const QRectF pageRect = printer.pageRect(QPrinter::DevicePixel);
    const qreal footer = kFooterPoints * printer.resolution() / 72.0;
    const QSizeF body(pageRect.width(), pageRect.height() - footer);
    // Lay the document out at the printer's resolution so that fonts keep their size.
    doc->documentLayout()->setPaintDevice(&printer);
    doc->setPageSize(body);
    const int pages = std::max(1, doc->pageCount());
    QFont footerFont(QStringLiteral("Arial"), 8);
    for (int i = 0; i < pages; ++i) {
        if (i > 0) printer.newPage();
        painter.save();
        painter.translate(0, -i * body.height());
        const QRectF visible(0, i * body.height(), body.width(), body.height());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = visible;
        painter.setClipRect(visible);
        doc->documentLayout()->draw(&painter, context);
        painter.restore();
        painter.setFont(QFont(footerFont, &printer));
        painter.drawText(QRectF(0, body.height(), body.width(), footer), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("Page %1 of %2").arg(i + 1).arg(pages));
    }
    painter.end();
}

bool writeReportPdf(const QTextDocument& report, const QString& pdfPath) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    printer.setDocName(report.metaInformation(QTextDocument::DocumentTitle));
    printReport(report, printer);
    return QFileInfo(pdfPath).size() > 0;
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
            if (!path.isEmpty() && !writeReportPdf(*doc, path))
                platform::MsgBox(QStringLiteral("Cannot write ") + path, platform::vbOKOnly | platform::vbExclamation);
        });
    }
    preview->resize(900, 700);
    preview->open();
}

}  // namespace tavrel
