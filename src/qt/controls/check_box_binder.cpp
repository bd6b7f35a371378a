#include "qt/controls/check_box_binder.h"

#include <QCheckBox>
#include <QSignalBlocker>

#include "qt/controls/qt_text.h"

namespace orva::qt {

CheckBoxBinder::CheckBoxBinder(CheckBox& model, QCheckBox* box)
    : QObject(box), model_(model), box_(box) {
    box_->setTristate(false);
    connect(box_, &QCheckBox::clicked, this, [this] {
        model_.UserClick();
        Sync();  // the box shows the model's value, not its own toggle
    });
    sub_ = model_.Subscribe([this] { Sync(); });
    Sync();
}

void CheckBoxBinder::Sync() {
    if (!box_)
        return;
    QSignalBlocker block(box_);
    box_->setText(Q(model_.Caption()));
    box_->setCheckState(model_.Value() == CheckBox::kChecked  ? Qt::Checked
                        : model_.Value() == CheckBox::kGrayed ? Qt::PartiallyChecked
                                                              : Qt::Unchecked);
    box_->setEnabled(model_.Enabled());
    box_->setVisible(model_.Visible());
}

}  // namespace orva::qt
