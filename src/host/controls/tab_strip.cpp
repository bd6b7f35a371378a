#include "host/controls/tab_strip.h"

#include "orvasaleprice/com_error.h"

namespace orva {

int TabStrip::AddTab(std::string_view caption) {
    tabs_.push_back(Entry{std::string(caption), true});
    if (selected_ < 0)
        selected_ = 0;
    changes_.Emit();
    return TabCount() - 1;
}

const TabStrip::Entry& TabStrip::At(int tab) const {
    if (tab < 0 || tab >= TabCount()) {
        throw ComError(ComError::kItemNotFound, "Element not found: no tab " + std::to_string(tab));
    }
    return tabs_[tab];
}

TabStrip::Entry& TabStrip::At(int tab) {
    return const_cast<Entry&>(static_cast<const TabStrip*>(this)->At(tab));
}

const std::string& TabStrip::TabCaption(int tab) const {
    return At(tab).caption;
}

void TabStrip::SetTabCaption(int tab, std::string_view caption) {
    At(tab).caption.assign(caption);
    changes_.Emit();
}

bool TabStrip::TabEnabled(int tab) const {
    return At(tab).enabled;
}

void TabStrip::SetTabEnabled(int tab, bool enabled) {
    At(tab).enabled = enabled;
    changes_.Emit();
}

void TabStrip::SetTab(int tab) {
    At(tab);
    if (tab == selected_)
        return;
    selected_ = tab;
    changes_.Emit();
}

bool TabStrip::UserSelect(int tab) {
    if (!At(tab).enabled)
        return false;
    if (tab == selected_)
        return true;
    const int previous = selected_;
    SetTab(tab);
    clicked_.Emit(previous);
    return true;
}

}  // namespace orva
