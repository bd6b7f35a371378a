#include "qt/print/preview_page_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace orva::qt {

PreviewPageView::PreviewPageView(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName("previewPages");
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    verticalScrollBar()->setSingleStep(40);
    horizontalScrollBar()->setSingleStep(40);
    // Always there, so that fitting the width does not change with it.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
}

void PreviewPageView::SetDocument(int pages, QSizeF sheet, int deviceDpi, Renderer render,
                                  int current) {
    pages_ = std::max(pages, 0);
    sheet_ = sheet;
    deviceDpi_ = std::max(deviceDpi, 1);
    render_ = std::move(render);
    cache_.clear();
    renderLog_.clear();
    scale_ = fit_ == Fit::kNone && scale_ > 0 ? scale_ : FitScale(fit_);
    UpdateScrollBars();
    ShowPage(std::clamp(current, 1, std::max(pages_, 1)));
    viewport()->update();
}

double PreviewPageView::RealScale() const {
    return static_cast<double>(logicalDpiX()) / deviceDpi_;
}

double PreviewPageView::Zoom() const {
    return scale_ / RealScale();
}

double PreviewPageView::FitScale(Fit fit) const {
    if (sheet_.isEmpty())
        return RealScale();
    // A pixel less, so that a page rounded up never calls for a horizontal
    // scroll bar.
    const double width = viewport()->width() - 2.0 * kGap - 1;
    const double height = viewport()->height() - 2.0 * kGap;
    const double byWidth = std::max(width, 1.0) / sheet_.width();
    const double byHeight = std::max(height, 1.0) / sheet_.height();
    switch (fit) {
        case Fit::kWidth:
            return byWidth;
        case Fit::kPage:
            return std::min(byWidth, byHeight);
        case Fit::kNone:
            break;
    }
    return scale_;
}

void PreviewPageView::SetFit(Fit fit) {
    fit_ = fit;
    SetScale(FitScale(fit));
}

void PreviewPageView::ZoomBy(double factor) {
    fit_ = Fit::kNone;
    SetScale(scale_ * factor);
}

void PreviewPageView::SetScale(double scale) {
    const double real = RealScale();
    scale = std::clamp(scale, real * kMinZoom, real * kMaxZoom);
    if (std::abs(scale - scale_) < 1e-9)
        return;
    scale_ = scale;
    cache_.clear();  // rendered at the old size
    UpdateScrollBars();
    ShowPage(current_);
    viewport()->update();
    Q_EMIT zoomChanged(Zoom());
}

QSize PreviewPageView::PageSize() const {
    return QSize(std::max(1, static_cast<int>(std::ceil(sheet_.width() * scale_))),
                 std::max(1, static_cast<int>(std::ceil(sheet_.height() * scale_))));
}

void PreviewPageView::UpdateScrollBars() {
    const QSize page = PageSize();
    const int width = page.width() + 2 * kGap;
    const int height = pages_ * PageStride() + kGap;
    horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    verticalScrollBar()->setRange(0, std::max(0, height - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
}

void PreviewPageView::ShowPage(int page) {
    if (pages_ == 0)
        return;
    page = std::clamp(page, 1, pages_);
    navigating_ = true;
    verticalScrollBar()->setValue((page - 1) * PageStride());
    navigating_ = false;
    if (page != current_) {
        current_ = page;
        Q_EMIT currentPageChanged(current_);
    }
}

void PreviewPageView::UpdateCurrentFromScroll() {
    if (navigating_ || pages_ == 0)
        return;
    const int middle = verticalScrollBar()->value() + viewport()->height() / 2;
    const int page = std::clamp(middle / PageStride() + 1, 1, pages_);
    if (page != current_) {
        current_ = page;
        Q_EMIT currentPageChanged(current_);
    }
}

void PreviewPageView::scrollContentsBy(int, int) {
    UpdateCurrentFromScroll();
    viewport()->update();
}

void PreviewPageView::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        const int steps = event->angleDelta().y() / 120;
        if (steps != 0)
            ZoomBy(std::pow(kZoomStep, steps));
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void PreviewPageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (fit_ != Fit::kNone) {
        const double fitted = FitScale(fit_);
        if (std::abs(fitted - scale_) > 1e-9) {
            SetScale(fitted);
            return;
        }
    }
    UpdateScrollBars();
}

const QImage& PreviewPageView::Image(int page) {
    auto it = std::find_if(cache_.begin(), cache_.end(),
                           [page](const Rendered& r) { return r.page == page; });
    if (it != cache_.end()) {
        cache_.splice(cache_.begin(), cache_, it);
        return cache_.front().image;
    }
    renderLog_.push_back(page);
    cache_.push_front({page, render_ ? render_(page, scale_) : QImage()});
    return cache_.front().image;
}

void PreviewPageView::Trim(int first, int last) {
    auto it = cache_.end();
    while (static_cast<int>(cache_.size()) > kCachedPages && it != cache_.begin()) {
        --it;
        if (it->page < first || it->page > last)
            it = cache_.erase(it);
    }
}

void PreviewPageView::paintEvent(QPaintEvent* event) {
    if (pages_ == 0)
        return;
    QPainter painter(viewport());
    const QSize page = PageSize();
    const int stride = PageStride();
    const int top = verticalScrollBar()->value();
    const int left = page.width() + 2 * kGap < viewport()->width()
                         ? (viewport()->width() - page.width()) / 2
                         : kGap - horizontalScrollBar()->value();
    const QRect dirty = event->rect();
    const int first = std::clamp((top + dirty.top() - kGap) / stride + 1, 1, pages_);
    const int last = std::clamp((top + dirty.bottom()) / stride + 1, 1, pages_);
    for (int p = first; p <= last; ++p) {
        const QRect sheet(QPoint(left, kGap + (p - 1) * stride - top), page);
        if (!sheet.intersects(dirty))
            continue;
        painter.fillRect(sheet.translated(3, 3), QColor(0, 0, 0, 90));
        painter.drawImage(sheet.topLeft(), Image(p));
        painter.setPen(QColor(0x60, 0x60, 0x60));
        painter.drawRect(sheet.adjusted(0, 0, -1, -1));
    }
    Trim(first, last);
}

}  // namespace orva::qt
