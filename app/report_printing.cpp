#include "app/report_printing.h"

#include <QAbstractTextDocumentLayout>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>
#include <QTextFrame>
#include <memory>

namespace korvel {

namespace {
// Text that touches the edge of the sheet is hard to read and cut by many
// printers: a side with a smaller unprintable border keeps this much.
constexpr qreal LeastBorderMm = 10;
} // namespace

QString printReport(const QTextDocument& document, QPrinter& printer) {
    printer.setDocName(QStringLiteral("OtcetPrint"));
    // The printable page, no margins of the report's own, but never less
    // than the least border.
    printer.setFullPage(false);
    QPageLayout layout = printer.pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    const QMarginsF least = layout.minimumMargins();
    layout.setMargins(QMarginsF(qMax(least.left(), LeastBorderMm), qMax(least.top(), LeastBorderMm),
                                qMax(least.right(), LeastBorderMm),
                                qMax(least.bottom(), LeastBorderMm)));
    printer.setPageLayout(layout);
    QPainter painter;
    if (!painter.begin(&printer))
        return QStringLiteral("Не удалось начать печать на принтере \"%1\".")
            .arg(printer.printerName());

    // A copy laid out for the printer's page.
    std::unique_ptr<QTextDocument> copy(document.clone());
    copy->documentLayout()->setPaintDevice(&printer);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    copy->setPageSize(page.size());
    QTextFrameFormat frame = copy->rootFrame()->frameFormat();
    frame.setMargin(0);
    copy->rootFrame()->setFrameFormat(frame);

    const int pages = qMax(1, copy->pageCount());
    for (int p = 0; p < pages; ++p) {
        if (p > 0 && !printer.newPage())
            break;
        const QRectF view(0, p * page.height(), page.width(), page.height());
        painter.save();
        painter.translate(0, -view.top());
        copy->drawContents(&painter, view);
        painter.restore();
    }
    painter.end();
    if (printer.printerState() == QPrinter::Error || printer.printerState() == QPrinter::Aborted)
        return QStringLiteral("Ошибка печати на принтере \"%1\".").arg(printer.printerName());
    return {};
}

} // namespace korvel
