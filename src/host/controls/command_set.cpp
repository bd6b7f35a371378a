#include "host/controls/command_set.h"

#include "host/base/text_util.h"
#include "orvasaleprice/com_error.h"

namespace orva {

int CommandSet::Find(std::string_view name) const {
    if (name.empty())
        return -1;
    auto it = byName_.find(name);
    return it == byName_.end() ? -1 : it->second;
}

int CommandSet::IndexOf(std::string_view name) const {
    const int i = Find(name);
    if (i < 0) {
        throw ComError(ComError::kItemNotFound,
                       "Element not found: no command named \"" + std::string(name) + "\"");
    }
    return i;
}

void CommandSet::Insert(std::string_view parent, CommandItem item) {
    const int parentIndex = parent.empty() ? -1 : IndexOf(parent);
    if (!item.name.empty() && Find(item.name) >= 0) {
        throw ComError(ComError::kDuplicateKey,
                       "Key is not unique in collection: \"" + item.name + "\"");
    }
    const int index = static_cast<int>(entries_.size());
    const std::string name = item.name;
    entries_.push_back(Entry{std::move(item), parentIndex, {}});
    (parentIndex < 0 ? top_ : entries_[parentIndex].children).push_back(index);
    if (!name.empty())
        byName_.emplace(name, index);
    changes_.Emit(CommandChange{CommandChange::kAdded, name});
}

void CommandSet::Add(std::string_view parent, std::string_view name, std::string_view caption,
                     std::string_view shortcut, std::string_view toolTip) {
    if (name.empty()) {
        throw ComError(ComError::kGeneric, "Invalid procedure call: a command needs a name");
    }
    CommandItem item;
    item.name.assign(name);
    item.caption.assign(caption);
    item.shortcut.assign(shortcut);
    item.toolTip.assign(toolTip);
    Insert(parent, std::move(item));
}

void CommandSet::AddSeparator(std::string_view parent, std::string_view name) {
    CommandItem item;
    item.name.assign(name);
    item.separator = true;
    Insert(parent, std::move(item));
}

const CommandItem& CommandSet::Item(std::string_view name) const {
    return entries_[IndexOf(name)].item;
}

std::string CommandSet::Parent(std::string_view name) const {
    const int p = entries_[IndexOf(name)].parent;
    return p < 0 ? std::string() : entries_[p].item.name;
}

std::vector<const CommandItem*> CommandSet::Children(std::string_view parent) const {
    const std::vector<int>& list = parent.empty() ? top_ : entries_[IndexOf(parent)].children;
    std::vector<const CommandItem*> out;
    out.reserve(list.size());
    for (int i : list) out.push_back(&entries_[i].item);
    return out;
}

template <class F>
void CommandSet::Change(std::string_view name, F&& apply) {
    CommandItem& item = entries_[IndexOf(name)].item;
    if (apply(item))
        changes_.Emit(CommandChange{CommandChange::kChanged, item.name});
}

namespace {
template <class T>
bool Assign(T& field, const T& value) {
    if (field == value)
        return false;
    field = value;
    return true;
}
}  // namespace

void CommandSet::SetCaption(std::string_view name, std::string_view caption) {
    Change(name, [&](CommandItem& i) { return Assign(i.caption, std::string(caption)); });
}

void CommandSet::SetToolTip(std::string_view name, std::string_view toolTip) {
    Change(name, [&](CommandItem& i) { return Assign(i.toolTip, std::string(toolTip)); });
}

void CommandSet::SetShortcut(std::string_view name, std::string_view shortcut) {
    Change(name, [&](CommandItem& i) { return Assign(i.shortcut, std::string(shortcut)); });
}

void CommandSet::SetImage(std::string_view name, int image) {
    Change(name, [&](CommandItem& i) { return Assign(i.image, image); });
}

void CommandSet::SetVisible(std::string_view name, bool visible) {
    Change(name, [&](CommandItem& i) { return Assign(i.visible, visible); });
}

void CommandSet::SetEnabled(std::string_view name, bool enabled) {
    Change(name, [&](CommandItem& i) { return Assign(i.enabled, enabled); });
}

void CommandSet::SetChecked(std::string_view name, bool checked) {
    Change(name, [&](CommandItem& i) { return Assign(i.checked, checked); });
}

bool CommandSet::Available(std::string_view name) const {
    int i = Find(name);
    if (i < 0 || entries_[i].item.separator)
        return false;
    for (; i >= 0; i = entries_[i].parent) {
        if (!entries_[i].item.visible || !entries_[i].item.enabled)
            return false;
    }
    return true;
}

void CommandSet::PopUp(std::string_view name) {
    changes_.Emit(CommandChange{CommandChange::kPopup, entries_[IndexOf(name)].item.name});
}

bool CommandSet::Click(std::string_view name) {
    if (!Available(name))
        return false;
    const std::string n(name);  // a handler may add commands
    clicked_.Emit(n);
    return true;
}

bool CommandSet::PressShortcut(std::string_view shortcut) {
    if (Trim(shortcut).empty())
        return false;
    for (const Entry& e : entries_) {
        if (EqualsNoCase(e.item.shortcut, Trim(shortcut)) && Available(e.item.name)) {
            return Click(e.item.name);
        }
    }
    return false;
}

}  // namespace orva
