#include "editor/editor_messages.h"

#include "session/res_text.h"

namespace orva {

void EditorNotice(ModuleContext& ctx, const std::string& text, MsgIcon icon) {
    ctx.Ui().MessageBox(text, MsgButtons::kOK, icon, GetResText("Tesmar提示"));
}

void EditorDialog(ModuleContext& ctx, const std::string& title, const std::string& headline,
                  const std::string& detail) {
    auto dialog = ctx.Ui().CreateMessageDialog();
    if (!title.empty())
        dialog->Title(title);
    dialog->Headline(headline);
    if (!detail.empty())
        dialog->AddDetail(detail);
    dialog->Show(MessageDialog::kNotice);
}

}  // namespace orva
