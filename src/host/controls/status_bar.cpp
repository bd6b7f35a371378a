#include "host/controls/status_bar.h"

#include <algorithm>

#include "orvasaleprice/com_error.h"

namespace orva {

int StatusBar::AddPanel(std::string_view key, std::string_view text, int width) {
    if (!key.empty() && PanelIndex(key) != 0) {
        throw ComError(ComError::kDuplicateKey,
                       "Key is not unique in collection: \"" + std::string(key) + "\"");
    }
    panels_.push_back(StatusPanel{std::string(key), std::string(text), std::max(width, 0)});
    changes_.Emit(0);
    return PanelCount();
}

int StatusBar::PanelIndex(std::string_view key) const {
    if (key.empty())
        return 0;
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        if (panels_[i].key == key)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

int StatusBar::CheckedIndex(int index) const {
    if (index < 1 || index > PanelCount()) {
        throw ComError(ComError::kItemNotFound,
                       "Element not found: no status panel " + std::to_string(index));
    }
    return index;
}

int StatusBar::CheckedIndex(std::string_view key) const {
    const int i = PanelIndex(key);
    if (i == 0) {
        throw ComError(ComError::kItemNotFound,
                       "Element not found: no status panel keyed \"" + std::string(key) + "\"");
    }
    return i;
}

const StatusPanel& StatusBar::Panel(int index) const {
    return panels_[CheckedIndex(index) - 1];
}

const StatusPanel& StatusBar::Panel(std::string_view key) const {
    return panels_[CheckedIndex(key) - 1];
}

void StatusBar::SetPanelText(int index, std::string_view text) {
    std::string& t = panels_[CheckedIndex(index) - 1].text;
    if (t == text)
        return;
    t.assign(text);
    changes_.Emit(index);
}

void StatusBar::SetPanelText(std::string_view key, std::string_view text) {
    SetPanelText(CheckedIndex(key), text);
}

void StatusBar::SetPanelWidth(int index, int twips) {
    int& w = panels_[CheckedIndex(index) - 1].width;
    if (w == std::max(twips, 0))
        return;
    w = std::max(twips, 0);
    changes_.Emit(index);
}

void StatusBar::SetVisible(bool visible) {
    if (visible == visible_)
        return;
    visible_ = visible;
    changes_.Emit(0);
}

}  // namespace orva
