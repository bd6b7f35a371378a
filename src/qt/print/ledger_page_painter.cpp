#include "qt/print/ledger_page_painter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "qt/controls/cjk_fonts.h"
#include "qt/controls/qt_text.h"

namespace orva::qt {
namespace {

constexpr double kCellPadding = 0.25;  // of the body font's height, left and right
constexpr double kRowSpacing = 1.45;   // row height in body font heights

Qt::Alignment QtAlignment(int alignment) {
    switch (alignment) {
        case Ledger::kAlignRight:
            return Qt::AlignRight | Qt::AlignVCenter;
        case Ledger::kAlignCenter:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        default:
            return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

}  // namespace

LedgerPagePainter::LedgerPagePainter(Ledger& ledger, QPagedPaintDevice& device, bool fitToWidth)
    : ledger_(ledger) {
    const LedgerTextline& line1 = ledger_.Textline(1);
    body_ = CjkFont(Q(line1.fontName), QFont());
    body_.setPointSize(kBodyPoints);
    heading_ = body_;
    heading_.setPointSize(line1.fontSize > 0 ? line1.fontSize : 14);
    heading_.setBold(line1.fontBold);

    // Fonts sized for the device, so that metrics are in device units.
    const QFontMetricsF bodyMetrics(body_, &device);
    const QFontMetricsF headingMetrics(heading_, &device);
    twipsToDevice_ = device.logicalDpiX() / 1440.0;

    std::vector<PrintColumn> columns = PrintColumnsOf(ledger_);
    for (PrintColumn& c : columns) c.width *= twipsToDevice_;

    dpi_ = device.logicalDpiX();
    const QRect area = device.pageLayout().paintRectPixels(dpi_);
    sheet_ = device.pageLayout().fullRectPixels(dpi_);
    printArea_ = area.topLeft();
    PageMetrics m;
    m.width = area.width();
    m.height = area.height();
    m.rowHeight = std::ceil(bodyMetrics.height() * kRowSpacing);
    m.titleRowHeight = m.rowHeight;
    m.headingHeight = std::ceil(headingMetrics.height() * 1.6);
    m.dateHeight = m.rowHeight;
    m.footerHeight = m.rowHeight * 1.5;
    layout_.emplace(std::move(columns), std::max(ledger_.Rows() - 2, 0), m, fitToWidth);
}

double LedgerPagePainter::ColumnLeft(const PrintPage& page, int index) const {
    double x = 0;
    for (int i = page.firstColumn; i < index; ++i)
        x += layout_->Columns()[static_cast<std::size_t>(i)].width;
    return x;
}

void LedgerPagePainter::PaintCell(QPainter& painter, const QRectF& rect, const std::string& text,
                                  int alignment, bool title) {
    painter.drawRect(rect);
    if (text.empty())
        return;
    painter.save();
    painter.setPen(Qt::black);
    const double pad = layout_->Metrics().rowHeight / kRowSpacing * kCellPadding;
    const QRectF inner = rect.adjusted(pad, 0, -pad, 0);
    const QString shown =
        painter.fontMetrics().elidedText(Q(text), Qt::ElideRight, static_cast<int>(inner.width()));
    painter.drawText(inner, title ? (Qt::AlignHCenter | Qt::AlignVCenter) : QtAlignment(alignment),
                     shown);
    painter.restore();
}

void LedgerPagePainter::PaintTitleRows(QPainter& painter, const PrintPage& page, double top,
                                       double left) {
    const auto& columns = layout_->Columns();
    const double h = layout_->Metrics().titleRowHeight;
    const int last = page.firstColumn + page.columns;  // one past
    for (int row = 1; row <= 2; ++row) {
        for (int i = page.firstColumn; i < last; ++i) {
            const int col = columns[static_cast<std::size_t>(i)].col;
            const std::optional<LedgerMerge> merge = ledger_.MergeAt(row, col);
            double y = top + (row - 1) * h;
            double height = h;
            double width = columns[static_cast<std::size_t>(i)].width;
            std::string text = ledger_.CellText(row, col);
            if (merge && (merge->row1 != merge->row2 || merge->col1 != merge->col2)) {
                // A merged block is drawn once, from its first cell shown on
                // this page, across the shown columns it spans.
                const bool firstShown =
                    (row == merge->row1 || row == 1) &&
                    (i == page.firstColumn ||
                     columns[static_cast<std::size_t>(i - 1)].col < merge->col1);
                if (!firstShown)
                    continue;
                text = ledger_.CellText(merge->row1, merge->col1);
                y = top + (merge->row1 - 1) * h;
                height = (std::min(merge->row2, 2) - merge->row1 + 1) * h;
                for (int j = i + 1;
                     j < last && columns[static_cast<std::size_t>(j)].col <= merge->col2; ++j)
                    width += columns[static_cast<std::size_t>(j)].width;
            }
            PaintCell(painter, QRectF(left + ColumnLeft(page, i), y, width, height), text,
                      Ledger::kAlignCenter, true);
        }
    }
}

void LedgerPagePainter::PaintPage(QPainter& painter, int number) {
    const PrintPage page = layout_->Page(number);
    const PageMetrics& m = layout_->Metrics();
    const double width = layout_->PageWidth();
    const double height = layout_->PageHeight();

    painter.save();
    painter.scale(layout_->Scale(), layout_->Scale());
    QPen pen(QColor(0x80, 0x80, 0x80));
    pen.setWidthF(std::max(1.0, twipsToDevice_ * 10));
    painter.setPen(pen);

    // Heading, then lines 2 (left) and 3 (right, the print date).
    painter.setFont(heading_);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, 0, width, m.headingHeight), Qt::AlignCenter,
                     Q(ledger_.Textline(1).text));
    painter.setFont(body_);
    double y = m.headingHeight;
    const QRectF dateRow(0, y, width, m.dateHeight);
    painter.drawText(dateRow, Qt::AlignLeft | Qt::AlignVCenter, Q(ledger_.Textline(2).text));
    painter.drawText(dateRow, Qt::AlignRight | Qt::AlignVCenter, Q(ledger_.Textline(3).text));
    y += m.dateHeight;

    painter.setPen(pen);
    PaintTitleRows(painter, page, y, 0);
    y += 2 * m.titleRowHeight;

    const auto& columns = layout_->Columns();
    for (int r = 0; r < page.rows; ++r) {
        const int row = page.firstRow + r;
        const std::vector<std::string>& cells = ledger_.RowCells(row);
        double x = 0;
        for (int i = page.firstColumn; i < page.firstColumn + page.columns; ++i) {
            const PrintColumn& c = columns[static_cast<std::size_t>(i)];
            const std::size_t index = static_cast<std::size_t>(c.col - 1);
            static const std::string kEmpty;
            const std::string& text = index < cells.size() ? cells[index] : kEmpty;
            painter.setPen(pen);
            painter.drawRect(QRectF(x, y, c.width, m.rowHeight));
            if (!text.empty()) {
                painter.setPen(Qt::black);
                const double pad = m.rowHeight / kRowSpacing * kCellPadding;
                const QRectF inner(x + pad, y, c.width - 2 * pad, m.rowHeight);
                painter.drawText(inner, QtAlignment(c.alignment),
                                 painter.fontMetrics().elidedText(Q(text), Qt::ElideRight,
                                                                  static_cast<int>(inner.width())));
            }
            x += c.width;
        }
        y += m.rowHeight;
    }

    // Footer: line 6 at the left, line 7 with its page fields at the right.
    painter.setPen(Qt::black);
    const QRectF footer(0, height - m.footerHeight, width, m.footerHeight);
    painter.drawText(footer, Qt::AlignLeft | Qt::AlignBottom, Q(ledger_.Textline(6).text));
    painter.drawText(footer, Qt::AlignRight | Qt::AlignBottom,
                     Q(ExpandPageFields(ledger_.Textline(7).text, number, PageCount())));
    painter.restore();
}

QImage LedgerPagePainter::PageImage(int number, double scale) {
    const QSize size(std::max(1, static_cast<int>(std::ceil(sheet_.width() * scale))),
                     std::max(1, static_cast<int>(std::ceil(sheet_.height() * scale))));
    QImage image(size, QImage::Format_RGB32);
    const int dotsPerMeter = qRound(dpi_ / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);
    painter.translate(printArea_);
    PaintPage(painter, number);
    return image;
}

}  // namespace orva::qt
