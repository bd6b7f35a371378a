// Paints the pages of a printed ledger with QPainter: text line 1 as the
// heading (its size and bold), lines 2 and 3 (the print date) under it, the
// two title rows with their merged cells repeated on every page, the data
// rows at one fixed height, and lines 6 and 7 as the footer with the page
// number and count filled in. The page layout (page_layout.h) is worked out
// once for the device, so every page can be painted on its own: a preview
// draws the pages it shows without touching the others.
#pragma once

#include <QFont>
#include <QImage>
#include <QPagedPaintDevice>
#include <optional>

#include "host/controls/ledger.h"
#include "host/print/page_layout.h"

class QPainter;

namespace orva::qt {

class LedgerPagePainter {
  public:
    // Body text size in points.
    static constexpr int kBodyPoints = 9;

    // Lays the ledger out on the device's printable area.
    LedgerPagePainter(Ledger& ledger, QPagedPaintDevice& device, bool fitToWidth);

    const PageLayout& Layout() const { return *layout_; }
    int PageCount() const { return layout_->PageCount(); }

    // Paints page `number` (1-based) with a painter active on the device.
    void PaintPage(QPainter& painter, int number);

    // The whole sheet, margins included, in device pixels.
    QSizeF SheetSize() const { return sheet_.size(); }
    // The device's resolution the layout was made for.
    int Dpi() const { return dpi_; }
    // Page `number` on a white sheet as an image of `scale` image pixels per
    // device pixel. The image keeps the device's resolution, so fonts are
    // sized as on the device and only the drawing is scaled: the page looks
    // exactly as printed, line breaks and elided texts included.
    QImage PageImage(int number, double scale);

  private:
    void PaintTitleRows(QPainter& painter, const PrintPage& page, double top, double left);
    void PaintCell(QPainter& painter, const QRectF& rect, const std::string& text, int alignment,
                   bool title);
    double ColumnLeft(const PrintPage& page, int index) const;

    Ledger& ledger_;
    QFont body_;
    QFont heading_;
    double twipsToDevice_ = 1;
    int dpi_ = 72;
    QRectF sheet_;       // the full page, in device pixels
    QPointF printArea_;  // the printable area's top left on the sheet
    std::optional<PageLayout> layout_;
};

}  // namespace orva::qt
