// The host's message dialog on screen: the title as the caption, the
// headline in bold beside an icon, the detail lines below it (selectable, so
// an error text can be copied), and the buttons of the kind: one OK button
// for a notice (kind 0) or a failure after a concurrent change (kind 2), Yes
// and No for a question (kind 1). Closing a question without an answer is No.
#pragma once

#include <QDialog>
#include <cstdint>

#include "host/message_dialog.h"

class QPushButton;

namespace orva::qt {

class MessageDialogView : public QDialog {
    Q_OBJECT

  public:
    explicit MessageDialogView(const MessageDialogContent& content, QWidget* parent = nullptr);

    // After exec(): 1 for Yes, 0 for No or a dialog without a question.
    std::int32_t Result() const { return result_; }

    QPushButton* YesButton() const { return yes_; }
    QPushButton* NoButton() const { return no_; }
    QPushButton* OkButton() const { return ok_; }

  private:
    std::int32_t result_ = 0;
    QPushButton* yes_ = nullptr;
    QPushButton* no_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace orva::qt
