#include "qt/controls/menu_bar_binder.h"

#include <QAction>
#include <QCursor>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "qt/controls/command_action.h"
#include "qt/controls/qt_text.h"
#include "qt/controls/spread_view.h"

namespace orva::qt {

QKeySequence ShortcutKeys(const std::string& shortcut) {
    return QKeySequence::fromString(Q(shortcut), QKeySequence::PortableText);
}

MenuBarBinder::MenuBarBinder(CommandSet& commands, QMenuBar* bar)
    : QObject(bar), commands_(commands), bar_(bar) {
    sub_ = commands_.Subscribe([this](const CommandChange& change) { OnChange(change); });
    Rebuild();
}

QAction* MenuBarBinder::Action(const std::string& name) const {
    auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second.data();
}

QMenu* MenuBarBinder::Menu(const std::string& name) const {
    auto it = menus_.find(name);
    return it == menus_.end() ? nullptr : it->second.data();
}

void MenuBarBinder::PopUp(const std::string& name) {
    if (QMenu* menu = Menu(name))
        menu->exec(QCursor::pos());
}

QAction* MenuBarBinder::MakeAction(const CommandItem& item, QWidget* owner) {
    auto* action = new QAction(Q(item.caption), owner);
    const std::string name = item.name;
    if (!item.shortcut.empty()) {
        action->setShortcut(ShortcutKeys(item.shortcut));
        action->setShortcutContext(Qt::WindowShortcut);
    }
    connect(action, &QAction::triggered, this, [this, name] {
        CommitFocusedSpreadEdit();
        commands_.Click(name);
        Sync(name);  // a check mark Qt flipped by itself goes back to the model's
    });
    return action;
}

void MenuBarBinder::AddChildren(const std::string& parent, QMenu* menu) {
    for (const CommandItem* item : commands_.Children(parent)) {
        QAction* action = nullptr;
        if (item->separator) {
            action = menu->addSeparator();
        } else if (!commands_.Children(item->name).empty()) {
            QMenu* sub = menu->addMenu(Q(item->caption));
            menus_[item->name] = sub;
            AddChildren(item->name, sub);
            action = sub->menuAction();
        } else {
            action = MakeAction(*item, menu);
            menu->addAction(action);
        }
        if (!item->name.empty())
            actions_[item->name] = action;
        Sync(item->name);
        if (item->name.empty())
            action->setVisible(item->visible);
    }
}

void MenuBarBinder::Rebuild() {
    if (!bar_)
        return;
    bar_->clear();
    for (auto& [name, menu] : menus_) {
        if (menu)
            menu->deleteLater();
    }
    actions_.clear();
    menus_.clear();
    for (const CommandItem* item : commands_.Children()) {
        if (item->separator) {
            bar_->addSeparator();
            continue;
        }
        if (commands_.Children(item->name).empty()) {
            // A top-level command without items acts at once.
            QAction* action = MakeAction(*item, bar_);
            bar_->addAction(action);
            actions_[item->name] = action;
        } else {
            QMenu* menu = bar_->addMenu(Q(item->caption));
            menus_[item->name] = menu;
            actions_[item->name] = menu->menuAction();
            AddChildren(item->name, menu);
        }
        Sync(item->name);
    }
}

void MenuBarBinder::Sync(const std::string& name) {
    QAction* action = Action(name);
    if (!action || !commands_.Has(name))
        return;
    const CommandItem& item = commands_.Item(name);
    SyncAction(*action, item);
    if (!item.separator && !action->menu())
        action->setShortcut(ShortcutKeys(item.shortcut));
}

void MenuBarBinder::OnChange(const CommandChange& change) {
    switch (change.what) {
        case CommandChange::kAdded:
            Rebuild();
            break;
        case CommandChange::kChanged:
            Sync(change.name);
            break;
        case CommandChange::kPopup:
            PopUp(change.name);
            break;
        default:
            break;
    }
}

}  // namespace orva::qt
