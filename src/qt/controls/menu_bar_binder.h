// Draws a CommandSet as a menu bar: top-level commands are the menus, their
// children the items (a child with children of its own is a submenu), with
// the captions and mnemonics ("文件(&F)"), shortcuts ("Ctrl+N", "F3"), check
// marks, visible and enabled states of the model. Choosing an item, or its
// shortcut, clicks the command in the model; a pop-up the window logic asks
// for (CommandSet::PopUp) opens at the mouse pointer and returns when closed.
#pragma once

#include <QObject>
#include <QPointer>
#include <map>
#include <string>

#include "host/controls/command_set.h"
#include "host/controls/signal.h"

class QAction;
class QKeySequence;
class QMenu;
class QMenuBar;
class QWidget;

namespace orva::qt {

class MenuBarBinder : public QObject {
    Q_OBJECT

  public:
    // Builds the menus into `bar` (which the caller owns and places).
    MenuBarBinder(CommandSet& commands, QMenuBar* bar);

    // The action of a command (a menu's own action for a menu), or null.
    QAction* Action(const std::string& name) const;
    QMenu* Menu(const std::string& name) const;
    // Opens the menu at the pointer and returns when it closes.
    void PopUp(const std::string& name);

  private:
    void Rebuild();
    void AddChildren(const std::string& parent, QMenu* menu);
    QAction* MakeAction(const CommandItem& item, QWidget* owner);
    void Sync(const std::string& name);
    void OnChange(const CommandChange& change);

    CommandSet& commands_;
    QPointer<QMenuBar> bar_;
    std::map<std::string, QPointer<QAction>> actions_;
    std::map<std::string, QPointer<QMenu>> menus_;
    Subscription sub_;
};

// A shortcut text of the model as a key sequence ("Ctrl+N", "F3").
QKeySequence ShortcutKeys(const std::string& shortcut);

}  // namespace orva::qt
