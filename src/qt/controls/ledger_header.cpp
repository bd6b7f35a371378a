#include "qt/controls/ledger_header.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyleOptionHeader>
#include <QToolTip>

#include "qt/controls/qt_text.h"

namespace orva::qt {

LedgerHeader::LedgerHeader(Ledger& ledger, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent), ledger_(ledger) {
    setSectionsClickable(false);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Interactive);
    setDefaultAlignment(Qt::AlignCenter);
}

int LedgerHeader::TitleRowHeight() const {
    return fontMetrics().height() + 8;
}

QSize LedgerHeader::sizeHint() const {
    QSize size = QHeaderView::sizeHint();
    size.setHeight(2 * TitleRowHeight());
    return size;
}

QRect LedgerHeader::TitleCellRect(int row, int col) const {
    int row1 = row, row2 = row, col1 = col, col2 = col;
    if (auto merge = ledger_.MergeAt(row, col)) {
        row1 = std::max(merge->row1, 1);
        row2 = std::min(merge->row2, 2);
        col1 = merge->col1;
        col2 = merge->col2;
    }
    int left = -1, right = -1;
    for (int c = col1; c <= col2 && c <= count(); ++c) {
        const int logical = c - 1;
        if (logical < 0 || isSectionHidden(logical) || sectionSize(logical) == 0)
            continue;
        const int x = sectionViewportPosition(logical);
        if (left < 0 || x < left)
            left = x;
        right = std::max(right, x + sectionSize(logical));
    }
    if (left < 0)
        return {};
    const int h = height() / 2;
    const int top = (row1 - 1) * h;
    const int bottom = row2 == 2 ? height() : row2 * h;
    return QRect(left, top, right - left, bottom - top);
}

void LedgerHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!rect.isValid())
        return;
    const int col = logicalIndex + 1;
    painter->save();
    painter->setClipRect(rect);
    for (int row = 1; row <= 2; ++row) {
        // A cell merged with the row above was drawn with it.
        if (auto merge = ledger_.MergeAt(row, col); merge && merge->row1 < row && row == 2)
            continue;
        const QRect cell = TitleCellRect(row, col);
        if (cell.isEmpty())
            continue;
        QStyleOptionHeader opt;
        initStyleOption(&opt);
        opt.rect = cell;
        opt.section = logicalIndex;
        // Elided by hand: the header style draws a label clipped, not elided.
        opt.text = fontMetrics().elidedText(TitleText(row, col), Qt::ElideRight,
                                            std::max(0, cell.width() - 6));
        opt.textAlignment = Qt::AlignCenter;
        opt.position = QStyleOptionHeader::Middle;
        opt.orientation = Qt::Horizontal;
        style()->drawControl(QStyle::CE_Header, &opt, painter, this);
    }
    painter->restore();
}

QString LedgerHeader::TitleText(int row, int col) const {
    if (auto merge = ledger_.MergeAt(row, col)) {
        row = std::max(merge->row1, 1);
        col = merge->col1;
    }
    return Q(ledger_.CellText(row, col));
}

QString LedgerHeader::TitleTextAt(const QPoint& pos) const {
    const int logical = logicalIndexAt(pos.x());
    if (logical < 0 || pos.y() < 0 || pos.y() >= height())
        return {};
    const int row = pos.y() < height() / 2 ? 1 : 2;
    return TitleText(row, logical + 1);
}

bool LedgerHeader::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = TitleTextAt(help->pos());
        if (text.trimmed().isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, viewport());
        return true;
    }
    return QHeaderView::viewportEvent(event);
}

}  // namespace orva::qt
