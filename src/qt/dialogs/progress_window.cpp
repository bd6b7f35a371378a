#include "qt/dialogs/progress_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QProgressBar>
#include <algorithm>
#include <climits>

#include "qt/controls/qt_text.h"
#include "qt/dialogs/dialog_parent.h"
#include "session/res_text.h"

namespace orva::qt {
namespace {

// How long work runs before its window shows: the host's one setting for
// every progress window.
std::chrono::milliseconds showAfter{500};

// Repaints and input are taken at most this often: a step of a batch takes
// far less, and events processed on every step would slow the work down.
constexpr qint64 kPaintEveryMs = 40;

// The bar's range is an int: a larger total is scaled down.
int BarValue(std::int64_t value, std::int64_t total) {
    if (total <= INT_MAX)
        return static_cast<int>(value);
    return static_cast<int>(value * static_cast<double>(INT_MAX) / static_cast<double>(total));
}

// The dialog of work that cannot be stopped stays up whatever the user
// presses: hidden, it would no longer keep the user's input from the windows
// under it while the work runs.
class ProgressDialog : public QProgressDialog {
  public:
    ProgressDialog(QWidget* parent, bool cancellable)
        : QProgressDialog(parent), cancellable_(cancellable) {}

    void reject() override {
        if (cancellable_)
            Q_EMIT canceled();
    }

  protected:
    void closeEvent(QCloseEvent* event) override {
        if (cancellable_)
            QProgressDialog::closeEvent(event);
        else
            event->ignore();
    }

  private:
    bool cancellable_;
};

}  // namespace

void ProgressWindow::SetShowAfter(std::chrono::milliseconds delay) {
    showAfter = delay;
}

std::chrono::milliseconds ProgressWindow::ShowAfter() {
    return showAfter;
}

ProgressWindow::ProgressWindow() = default;

ProgressWindow::~ProgressWindow() {
    End();
}

void ProgressWindow::Begin(const std::string& caption, std::int64_t total, const std::string& text,
                           bool cancellable) {
    caption_ = caption;
    total_ = std::max<std::int64_t>(total, 0);
    text_ = text;
    cancellable_ = cancellable;
    done_ = 0;
    // The window is made only when the work has lasted long enough to show
    // it: short work costs a clock reading per step.
    started_.start();
}

bool ProgressWindow::TextWanted() {
    if (cancelled_ || ended_)
        return false;
    if (!dialog_)
        return started_.elapsed() >= showAfter.count();
    return painted_.elapsed() >= kPaintEveryMs;
}

void ProgressWindow::Step(std::int64_t done, const std::string& text) {
    if (cancelled_ || ended_)
        return;
    done_ = std::max<std::int64_t>(done, 0);
    if (!text.empty())
        text_ = text;
    if (!dialog_) {
        if (started_.elapsed() < showAfter.count())
            return;
        Show();
    } else if (painted_.elapsed() < kPaintEveryMs && !(total_ > 0 && done_ >= total_)) {
        // The report that every step is done is always taken: work that
        // writes at its end asks there for a Cancel pressed during its last
        // step.
        return;
    }
    Paint();
}

void ProgressWindow::Show() {
    dialog_ = std::make_unique<ProgressDialog>(DialogParent(), cancellable_);
    dialog_->setObjectName("progressWindow");
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setWindowTitle(Q(caption_));
    // The dialog is advanced and closed from here alone: its own timer would
    // show it again after a Cancel, and at its maximum it would reset (and
    // forget a Cancel).
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
    dialog_->setMinimumDuration(INT_MAX);
    auto* bar = new QProgressBar(dialog_.get());
    bar->setTextVisible(true);
    dialog_->setBar(bar);
    bar_ = bar;
    dialog_->setRange(0, total_ > 0 ? BarValue(total_, total_) : 0);
    dialog_->setMinimumWidth(360);
    if (cancellable_)
        dialog_->setCancelButtonText(Q(GetResText("取消")));
    else
        dialog_->setCancelButton(nullptr);
    // Cancel, Esc and the title bar's close all come here; once cancelled,
    // the window goes at once and the work stops after its current step.
    QObject::connect(dialog_.get(), &QProgressDialog::canceled, dialog_.get(), [this] {
        if (!cancellable_ || cancelled_)
            return;
        cancelled_ = true;
        dialog_->hide();
        if (arrowCursor_) {
            QGuiApplication::restoreOverrideCursor();
            arrowCursor_ = false;
        }
    });
    // The pointer over the window is the arrow: the user may press Cancel,
    // although the command shows the hourglass.
    QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    arrowCursor_ = true;
    dialog_->show();
}

void ProgressWindow::Paint() {
    // "n / N": n is the step being worked on, counted from 1.
    const std::int64_t current = total_ > 0 ? std::min(done_ + 1, total_) : done_;
    if (bar_) {
        bar_->setFormat(total_ > 0 ? QStringLiteral("%1 / %2").arg(current).arg(total_)
                                   : QString::number(current));
    }
    if (total_ > 0)
        dialog_->setValue(BarValue(done_, total_));
    dialog_->setLabelText(Q(text_));
    painted_.start();
    // The dialog is window modal: the user's input reaches it alone, and the
    // windows under it repaint.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void ProgressWindow::End() {
    ended_ = true;
    if (arrowCursor_) {
        QGuiApplication::restoreOverrideCursor();
        arrowCursor_ = false;
    }
    if (!dialog_)
        return;
    std::unique_ptr<QProgressDialog> dialog = std::move(dialog_);
    QObject::disconnect(dialog.get(), nullptr, nullptr, nullptr);
    dialog->hide();
}

}  // namespace orva::qt
