// The pages of a print preview, one under the other on a grey desk, in a
// scrolling area. A page is rendered only when it comes into view, and only
// the last few rendered are kept: the first page shows at once however long
// the document is, and memory does not grow with the page count.
#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QSizeF>
#include <functional>
#include <list>
#include <vector>

namespace orva::qt {

class PreviewPageView : public QAbstractScrollArea {
    Q_OBJECT

  public:
    // Renders page `page` (1-based) at `scale` image pixels per device pixel.
    using Renderer = std::function<QImage(int page, double scale)>;
    enum class Fit { kWidth, kPage, kNone };

    // Rendered pages kept beyond the ones in view.
    static constexpr int kCachedPages = 6;
    // Pixels of desk around each page.
    static constexpr int kGap = 12;
    // The zoom limits, against the page's real size on the screen.
    static constexpr double kMinZoom = 0.1;
    static constexpr double kMaxZoom = 4.0;
    // The factor of one step of zoom (a command, or a notch of the wheel
    // with Ctrl held).
    static constexpr double kZoomStep = 1.25;

    explicit PreviewPageView(QWidget* parent = nullptr);

    // A new document: its page count, the sheet's size and resolution on
    // the device, and how its pages are rendered. Drops every rendered page
    // and shows page `current` (clamped to the new count).
    void SetDocument(int pages, QSizeF sheet, int deviceDpi, Renderer render, int current = 1);

    int PageCount() const { return pages_; }
    // The page in the middle of the view, or the one last gone to.
    int CurrentPage() const { return current_; }
    // Scrolls so that the page's top is at the top of the view.
    void ShowPage(int page);

    // The zoom against the page's real size (1 = 100 %).
    double Zoom() const;
    Fit FitMode() const { return fit_; }
    // Fits the page width or the whole page into the view, and keeps doing
    // so when the view is resized.
    void SetFit(Fit fit);
    // Multiplies the zoom by `factor` within the limits; leaves fitting.
    void ZoomBy(double factor);

    // The pages rendered since the document was set, in order; a page
    // rendered again after it left the cache appears again.
    const std::vector<int>& RenderLog() const { return renderLog_; }
    int CachedPages() const { return static_cast<int>(cache_.size()); }

  Q_SIGNALS:
    void currentPageChanged(int page);
    void zoomChanged(double zoom);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    // With Ctrl held the wheel zooms.
    void wheelEvent(QWheelEvent* event) override;

  private:
    struct Rendered {
        int page;
        QImage image;
    };

    // Screen pixels per device pixel.
    double RealScale() const;
    double FitScale(Fit fit) const;
    void SetScale(double scale);
    QSize PageSize() const;  // on the screen
    int PageStride() const { return PageSize().height() + kGap; }
    void UpdateScrollBars();
    void UpdateCurrentFromScroll();
    const QImage& Image(int page);
    // Drops the least recently shown pages beyond the cache's size, never
    // those from `first` to `last` (the ones in view).
    void Trim(int first, int last);

    int pages_ = 0;
    QSizeF sheet_;
    int deviceDpi_ = 72;
    Renderer render_;
    double scale_ = 0;
    Fit fit_ = Fit::kWidth;
    int current_ = 1;
    bool navigating_ = false;
    std::list<Rendered> cache_;  // most recently shown first
    std::vector<int> renderLog_;
};

}  // namespace orva::qt
