#include "qt/dialogs/modal_window_dialog.h"

#include <QCloseEvent>
#include <QVBoxLayout>

namespace orva::qt {

ModalWindowDialog::ModalWindowDialog(ModalWindow& window, QWidget* parent)
    : QDialog(parent), window_(window) {
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setObjectName(QString::fromStdString(window.WindowName()));
}

void ModalWindowDialog::SetBody(QWidget* body) {
    body_ = body;
    if (!body)
        return;
    body->setParent(this);
    layout()->addWidget(body);
    if (windowTitle().isEmpty())
        setWindowTitle(body->windowTitle());
}

void ModalWindowDialog::reject() {
    if (escapeCloses_ && window_.Visible())
        window_.QueryClose();
}

void ModalWindowDialog::closeEvent(QCloseEvent* event) {
    if (window_.Visible())
        window_.QueryClose();
    // The window stays when its logic did not hide it.
    if (window_.Visible())
        event->ignore();
    else
        event->accept();
}

}  // namespace orva::qt
