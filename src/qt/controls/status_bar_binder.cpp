#include "qt/controls/status_bar_binder.h"

#include <QLabel>
#include <QStatusBar>

#include "qt/controls/qt_text.h"

namespace orva::qt {

StatusBarBinder::StatusBarBinder(StatusBar& model, QStatusBar* bar)
    : QObject(bar), model_(model), bar_(bar) {
    bar_->setSizeGripEnabled(false);
    sub_ = model_.Subscribe([this](int panel) {
        if (panel == 0 || panel > static_cast<int>(labels_.size()))
            Rebuild();
        else
            SyncPanel(panel);
    });
    Rebuild();
}

QLabel* StatusBarBinder::Panel(int index) const {
    return index >= 1 && index <= static_cast<int>(labels_.size()) ? labels_[index - 1].data()
                                                                   : nullptr;
}

void StatusBarBinder::Rebuild() {
    if (!bar_)
        return;
    if (static_cast<int>(labels_.size()) != model_.PanelCount()) {
        for (auto& label : labels_) {
            if (label) {
                bar_->removeWidget(label);
                delete label;
            }
        }
        labels_.clear();
        for (int i = 1; i <= model_.PanelCount(); ++i) {
            auto* label = new QLabel(bar_);
            label->setObjectName(Q(model_.Panel(i).key));
            label->setFrameShape(QFrame::StyledPanel);
            label->setFrameShadow(QFrame::Sunken);
            label->setTextInteractionFlags(Qt::TextSelectableByMouse);
            bar_->addWidget(label, model_.Panel(i).width > 0 ? 0 : 1);
            labels_.push_back(label);
        }
    }
    for (int i = 1; i <= model_.PanelCount(); ++i) SyncPanel(i);
    bar_->setVisible(model_.Visible());
}

void StatusBarBinder::SyncPanel(int index) {
    QLabel* label = Panel(index);
    if (!label)
        return;
    const StatusPanel& panel = model_.Panel(index);
    label->setText(Q(panel.text));
    // An empty panel would still draw its sunken frame and take its share.
    label->setHidden(panel.text.empty());
    if (panel.width > 0) {
        const int dpi = label->logicalDpiX() > 0 ? label->logicalDpiX() : kDefaultDpi;
        label->setFixedWidth(TwipsToPixels(panel.width, dpi));
    } else {
        label->setMinimumWidth(0);
        label->setMaximumWidth(QWIDGETSIZE_MAX);
    }
}

}  // namespace orva::qt
