// The editor window's keyboard (shortcuts of the toolbar, quote characters)
// and the grid's events: change, key down (the lookups), edit change and
// cell leave.
#include <string>

#include "editor/frm_property.h"
#include "engine/user_def_info.h"
#include "orvasaleprice/prop_desc.h"

namespace orva {

namespace {

constexpr int kQuote = '"';
constexpr int kApostrophe = '\'';

bool HasQuote(const std::string& text) {
    return text.find_first_of("'\"") != std::string::npos;
}

std::string WithoutQuotes(std::string text) {
    std::erase_if(text, [](char c) { return c == kQuote || c == kApostrophe; });
    return text;
}

}  // namespace

bool frmProperty::ClickIfShown(const char* key) {
    if (!tbPrice_.Has(key) || !tbPrice_.Item(key).visible)
        return false;
    tbPrice_.Click(key);  // nothing happens while the button is disabled
    return true;
}

int frmProperty::FormKeyDown(int keyCode, int shift) {
    const char* button = nullptr;
    if ((shift & kCtrlMask) != 0 && keyCode == kKeyS) {
        button = kBtnSave;
    } else if ((shift & kCtrlMask) != 0 && keyCode == kKeyN) {
        button = kBtnNew;
    } else if ((shift & (kShiftMask | kCtrlMask | kAltMask)) != 0) {
        switch (keyCode) {
            case kKeyHome:
                button = kBtnFirst;
                break;
            case kKeyEnd:
                button = kBtnLast;
                break;
            case kKeyPageUp:
                button = kBtnPrevious;
                break;
            case kKeyPageDown:
                button = kBtnNext;
                break;
            default:
                break;
        }
    }
    if (button && ClickIfShown(button))
        return 0;
    return keyCode;
}

int frmProperty::FormKeyPress(int keyAscii) {
    // No text may carry a quote into a statement.
    return keyAscii == kQuote || keyAscii == kApostrophe ? 0 : keyAscii;
}

void frmProperty::GridChange(int col, int row) {
    if (busy_)
        return;
    dirty_ = true;
    if (col != UserDefInfo::kColText)
        return;
    const std::string& text = vaSProperty_.GetText(col, row);
    if (HasQuote(text))  // pasted text does not pass the key press
        vaSProperty_.SetText(col, row, WithoutQuotes(text));
    // A typed code or name no longer matches the stored ID: the ID is looked
    // up again when the cell is left. Plain values keep theirs, so that a
    // refused number can be put back.
    if (engine_ && row <= engine_->PropDesc()->Count() &&
        engine_->PropDesc()->Item(row)->m_Search != 0) {
        vaSProperty_.SetText(UserDefInfo::kColValue, row, "");
    }
}

void frmProperty::GridKeyDown(int& keyCode, int /*shift*/) {
    const int col = vaSProperty_.ActiveCol();
    const int row = vaSProperty_.ActiveRow();
    notedText_ = vaSProperty_.GetText(col, row);
    if ((keyCode == kKeyF7 || keyCode == kKeyF8) && col == UserDefInfo::kColText)
        LookupCommand(row, keyCode);
    if (vaSProperty_.GetText(col, row) != notedText_)
        dirty_ = true;
}

void frmProperty::vaSPropertyEditChange(const std::string& editorText) {
    if (!busy_ && editorText != notedText_)
        dirty_ = true;
}

void frmProperty::GridLeaveCell(int col, int row, bool& cancel) {
    // While the window fills the grid the cell left holds no value yet.
    if (busy_)
        return;
    if (!CellCheck(col, row))
        cancel = true;
}

}  // namespace orva
