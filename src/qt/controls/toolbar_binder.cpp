#include "qt/controls/toolbar_binder.h"

#include <QAction>
#include <QToolBar>

#include "qt/controls/command_action.h"
#include "qt/controls/image_list.h"
#include "qt/controls/qt_text.h"
#include "qt/controls/spread_view.h"

namespace orva::qt {

ToolbarBinder::ToolbarBinder(Toolbar& toolbar, QToolBar* bar, IconFor icons)
    : QObject(bar), toolbar_(toolbar), bar_(bar), icons_(std::move(icons)) {
    if (!icons_) {
        icons_ = [](const CommandItem& item) { return ToolbarIcon(item.name, Q(item.caption)); };
    }
    bar_->setMovable(false);
    bar_->setFloatable(false);
    sub_ = toolbar_.Subscribe([this](const CommandChange& change) {
        switch (change.what) {
            case CommandChange::kAdded:
                Rebuild();
                break;
            case CommandChange::kChanged:
                Sync(change.name);
                break;
            case CommandChange::kBar:
                SyncBar();
                break;
            default:
                break;
        }
    });
    Rebuild();
}

QAction* ToolbarBinder::Action(const std::string& key) const {
    auto it = actions_.find(key);
    return it == actions_.end() ? nullptr : it->second.data();
}

void ToolbarBinder::Rebuild() {
    if (!bar_)
        return;
    bar_->clear();
    actions_.clear();
    for (const CommandItem* item : toolbar_.Children()) {
        QAction* action = nullptr;
        if (item->separator) {
            action = bar_->addSeparator();
        } else {
            action = bar_->addAction(icons_(*item), Q(item->caption));
            const std::string key = item->name;
            connect(action, &QAction::triggered, this, [this, key] {
                CommitFocusedSpreadEdit();
                toolbar_.Click(key);
                Sync(key);
            });
        }
        if (!item->name.empty()) {
            action->setObjectName(Q(item->name));
            actions_[item->name] = action;
            Sync(item->name);
        } else {
            action->setVisible(item->visible);
        }
    }
    SyncBar();
}

void ToolbarBinder::Sync(const std::string& key) {
    QAction* action = Action(key);
    if (!action || !toolbar_.Has(key))
        return;
    SyncAction(*action, toolbar_.Item(key));
}

void ToolbarBinder::SyncBar() {
    if (!bar_)
        return;
    bar_->setToolButtonStyle(toolbar_.ShowCaptions() ? Qt::ToolButtonTextUnderIcon
                                                     : Qt::ToolButtonIconOnly);
    bar_->setVisible(toolbar_.Visible());
}

}  // namespace orva::qt
