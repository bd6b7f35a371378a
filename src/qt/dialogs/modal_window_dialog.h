// The dialog a window logic class is shown in: it holds the window's widget
// and runs modally until the logic hides the window (close, "Exit", a pick).
// The title bar's close button and Esc ask the logic (ModalWindow::
// QueryClose), which may refuse, for example to ask about unsaved data.
#pragma once

#include <QDialog>

#include "host/modal_window.h"

namespace orva::qt {

class ModalWindowDialog : public QDialog {
    Q_OBJECT

  public:
    explicit ModalWindowDialog(ModalWindow& window, QWidget* parent = nullptr);

    ModalWindow& window() const { return window_; }
    // Puts the window's widget in (the dialog owns it); the dialog takes its
    // title when it has none of its own.
    void SetBody(QWidget* body);
    QWidget* Body() const { return body_; }
    // Whether Esc asks the window to close (default: yes).
    void SetEscapeCloses(bool on) { escapeCloses_ = on; }

  public Q_SLOTS:
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    ModalWindow& window_;
    QWidget* body_ = nullptr;
    bool escapeCloses_ = true;
};

}  // namespace orva::qt
