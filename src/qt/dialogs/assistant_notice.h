// The assistant's notice: a small balloon near the bottom right of the
// active window with the text and a close button. It does not block the
// window and closes by itself after a while; a new notice replaces the one
// on screen.
#pragma once

#include <QFrame>
#include <QString>

class QLabel;

namespace orva::qt {

class AssistantNotice : public QFrame {
    Q_OBJECT

  public:
    static constexpr int kShownMs = 8000;

    AssistantNotice(const QString& text, QWidget* anchor);

    QString Text() const;
    // Shows the notice for `description` and returns it (null outside a
    // running application).
    static AssistantNotice* Show(const QString& description);
    // The notice on screen, if any.
    static AssistantNotice* Current();

  private:
    QLabel* text_;
};

}  // namespace orva::qt
