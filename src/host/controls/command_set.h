// Menu items and toolbar buttons: commands addressed by name (a menu item's
// name, a button's key) with caption, tool tip, shortcut text, image,
// visible, enabled and checked state, separators, and children (a menu's
// items). The window logic sets the state and subscribes to clicks; the view
// draws the items, subscribes to CommandChange notices and reports the user's
// clicks and shortcut keys. A menu bar is one CommandSet, a toolbar another
// (toolbar.h adds its own flags).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/controls/signal.h"

namespace orva {

struct CommandItem {
    std::string name;  // empty for an unnamed separator
    std::string caption;
    std::string toolTip;
    std::string shortcut;  // as shown: "Ctrl+N", "F3"
    int image = 0;
    bool visible = true;
    bool enabled = true;
    bool checked = false;
    bool separator = false;
};

struct CommandChange {
    enum What {
        kAdded,    // `name` (its parent's last child)
        kChanged,  // caption, tool tip, shortcut, image, visible, enabled or checked of `name`
        kBar,      // a flag of the whole bar (toolbar.h)
        kPopup,    // the logic asks the view to pop up the menu `name` at the pointer
    };
    What what;
    std::string name;
};

class CommandSet {
  public:
    virtual ~CommandSet() = default;

    // Adds a command as the last child of `parent` (top level when empty).
    // Raises ComError kItemNotFound for an unknown parent and kDuplicateKey
    // for a name already used.
    void Add(std::string_view parent, std::string_view name, std::string_view caption,
             std::string_view shortcut = {}, std::string_view toolTip = {});
    // A separator; it may have a name (for its visibility) or none.
    void AddSeparator(std::string_view parent, std::string_view name = {});

    bool Has(std::string_view name) const { return Find(name) >= 0; }
    // Raises ComError kItemNotFound for an unknown name.
    const CommandItem& Item(std::string_view name) const;
    // Parent's name ("" at top level).
    std::string Parent(std::string_view name) const;
    // Children in order, separators included; "" lists the top level.
    std::vector<const CommandItem*> Children(std::string_view parent = {}) const;

    void SetCaption(std::string_view name, std::string_view caption);
    void SetToolTip(std::string_view name, std::string_view toolTip);
    void SetShortcut(std::string_view name, std::string_view shortcut);
    void SetImage(std::string_view name, int image);
    void SetVisible(std::string_view name, bool visible);
    void SetEnabled(std::string_view name, bool enabled);
    void SetChecked(std::string_view name, bool checked);

    // Whether the user can run the command now: it and every parent are
    // visible and enabled, and it is no separator.
    bool Available(std::string_view name) const;

    // Asks the view to pop up a menu (the logic goes on when it closes).
    void PopUp(std::string_view name);

    [[nodiscard]] Subscription Subscribe(std::function<void(const CommandChange&)> fn) {
        return changes_.Subscribe(std::move(fn));
    }
    [[nodiscard]] Subscription OnClick(std::function<void(const std::string& name)> fn) {
        return clicked_.Subscribe(std::move(fn));
    }

    // The user clicks a command: raises the click event when it is
    // available; returns whether it was raised.
    bool Click(std::string_view name);
    // The user presses a shortcut ("ctrl+n" matches "Ctrl+N"): clicks the
    // first available command that carries it; false when none does.
    bool PressShortcut(std::string_view shortcut);

  protected:
    void NotifyBar() { changes_.Emit(CommandChange{CommandChange::kBar, {}}); }

  private:
    struct Entry {
        CommandItem item;
        int parent = -1;
        std::vector<int> children;
    };
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>{}(s);
        }
    };
    int Find(std::string_view name) const;
    int IndexOf(std::string_view name) const;  // raises for an unknown name
    void Insert(std::string_view parent, CommandItem item);
    template <class F>
    void Change(std::string_view name, F&& apply);

    std::vector<Entry> entries_;
    std::vector<int> top_;
    std::unordered_map<std::string, int, NameHash, std::equal_to<>> byName_;
    Signal<const CommandChange&> changes_;
    Signal<const std::string&> clicked_;
};

// The menus of a window.
using MenuBar = CommandSet;

}  // namespace orva
