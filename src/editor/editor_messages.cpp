#include "editor/editor_messages.h"

#include "session/res_text.h"

namespace orva {

void EditorNotice(const std::string& text, MsgIcon icon) {
    CurrentUi().MessageBox(text, MsgButtons::kOK, icon, GetResText("Tesmar提示"));
}

void EditorDialog(const std::string& title, const std::string& headline,
                  const std::string& detail) {
    auto dialog = CurrentUi().CreateMessageDialog();
    if (!title.empty())
        dialog->Title(title);
    dialog->Headline(headline);
    if (!detail.empty())
        dialog->AddDetail(detail);
    dialog->Show(MessageDialog::kNotice);
}

}  // namespace orva
