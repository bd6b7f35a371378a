#include "qt/controls/tab_strip_binder.h"

#include <QTabWidget>

#include "qt/controls/qt_text.h"

namespace orva::qt {

TabStripBinder::TabStripBinder(TabStrip& model, QTabWidget* tabs)
    : QObject(tabs), model_(model), tabs_(tabs) {
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        if (syncing_)
            return;
        if (!model_.UserSelect(index) || model_.Tab() != index)
            Sync();
    });
    sub_ = model_.Subscribe([this] { Sync(); });
    Sync();
}

void TabStripBinder::Sync() {
    if (!tabs_)
        return;
    syncing_ = true;
    while (tabs_->count() < model_.TabCount()) tabs_->addTab(new QWidget(tabs_), QString());
    for (int i = 0; i < model_.TabCount(); ++i) {
        tabs_->setTabText(i, Q(model_.TabCaption(i)));
        tabs_->setTabEnabled(i, model_.TabEnabled(i));
    }
    if (model_.Tab() >= 0 && model_.Tab() < tabs_->count())
        tabs_->setCurrentIndex(model_.Tab());
    syncing_ = false;
}

}  // namespace orva::qt
