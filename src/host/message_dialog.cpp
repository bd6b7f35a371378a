#include "host/message_dialog.h"

#include "host/host_ui.h"

namespace orva {

void StandardMessageDialog::Show(std::int32_t kind, const std::string& helpFile,
                                 std::int32_t helpContext) {
    content_.kind = kind;
    content_.helpFile = helpFile;
    content_.helpContext = helpContext;
    result_ = ui_.ShowMessageDialog(content_);
}

}  // namespace orva
