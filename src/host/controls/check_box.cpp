#include "host/controls/check_box.h"

#include "orvasaleprice/com_error.h"

namespace orva {

void CheckBox::SetValue(int value) {
    if (value < kUnchecked || value > kGrayed) {
        throw ComError(ComError::kGeneric,
                       "Invalid property value: check box value " + std::to_string(value));
    }
    if (value == value_)
        return;
    value_ = value;
    changes_.Emit();
}

bool CheckBox::UserClick() {
    if (!enabled_ || !visible_)
        return false;
    SetValue(value_ == kChecked ? kUnchecked : kChecked);
    clicked_.Emit();
    return true;
}

}  // namespace orva
