// Draws a CheckBox model as a QCheckBox: caption, tick (greyed for value 2),
// enabled and visible follow the model; a click by the user goes to
// CheckBox::UserClick, which flips the value and raises the click event.
#pragma once

#include <QObject>
#include <QPointer>

#include "host/controls/check_box.h"
#include "host/controls/signal.h"

class QCheckBox;

namespace orva::qt {

class CheckBoxBinder : public QObject {
    Q_OBJECT

  public:
    CheckBoxBinder(CheckBox& model, QCheckBox* box);

  private:
    void Sync();

    CheckBox& model_;
    QPointer<QCheckBox> box_;
    Subscription sub_;
};

}  // namespace orva::qt
