#include "qt/hostapp/qt_host_ui.h"

#include <QInputDialog>
#include <QLineEdit>

#include "host/base_list.h"
#include "host/component_registry.h"
#include "host/settings_store.h"
#include "orvasaleprice/com_error.h"
#include "qt/controls/qt_text.h"
#include "qt/dialogs/assistant_notice.h"
#include "qt/dialogs/base_data_picker.h"
#include "qt/dialogs/dialog_parent.h"
#include "qt/dialogs/help_page.h"
#include "qt/dialogs/lookup_setups.h"
#include "qt/dialogs/message_box.h"
#include "qt/dialogs/message_dialog_view.h"
#include "qt/dialogs/modal_view_registry.h"
#include "qt/dialogs/modal_window_dialog.h"
#include "qt/dialogs/progress_window.h"
#include "qt/dialogs/qt_base_list.h"
#include "qt/dialogs/qt_settings_store.h"
#include "qt/print/qt_export.h"
#include "qt/print/qt_ledger_print.h"
#include "session/module_context.h"

namespace orva::qt {
namespace {

LookupReply Pick(PickerSetup setup, const std::string& search) {
    BaseDataQuery query(std::move(setup), PickerConnection());
    BaseDataPicker picker(query, false, Q(search).trimmed(), DialogParent());
    if (picker.exec() != QDialog::Accepted || picker.PickedIds().empty())
        return {};
    return {true, query.Record(picker.PickedIds().front())};
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

void QtHostUi::ShowHelp(std::int32_t, const std::string& helpPage) {
    ShowHelpWindow(helpPage, DialogParent());
}

MsgResult QtHostUi::MessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                               const std::string& title) {
    return ShowMessageBox(DialogParent(), text, buttons, icon, title);
}

MsgResult QtHostUi::DetailedMessageBox(const std::string& text, const std::string& detail,
                                       MsgButtons buttons, MsgIcon icon, const std::string& title) {
    return ShowMessageBox(DialogParent(), text, buttons, icon, title, detail);
}

std::int32_t QtHostUi::ShowMessageDialog(const MessageDialogContent& content) {
    MessageDialogView dialog(content, DialogParent());
    dialog.exec();
    return dialog.Result();
}

void QtHostUi::ShowModal(ModalWindow& window) {
    ModalViewRegistry::Factory factory = ModalViewRegistry::Find(window.WindowName());
    if (!factory) {
        throw ComError(ComError::kGeneric,
                       "No view is registered for the window " + window.WindowName() + ".");
    }
    ModalWindowDialog dialog(window, DialogParent());
    window.MarkShown();
    window.SetHideListener([&dialog] { dialog.done(QDialog::Accepted); });
    try {
        dialog.SetBody(factory(window, dialog));
        // The logic may have hidden the window while its view was built.
        if (window.Visible())
            dialog.exec();
    } catch (...) {
        window.SetHideListener(nullptr);
        window.Hide();
        throw;
    }
    window.SetHideListener(nullptr);
}

void QtHostUi::ShowAssistant(const std::string& description, std::int16_t) {
    AssistantNotice::Show(Q(description));
}

LookupReply QtHostUi::Lookup(const LookupRequest& request) {
    const std::string& method = request.method;
    if (method == "ItemLookUp" || method == "SubMesLookup") {
        std::optional<PickerSetup> setup = ItemClassSetup(request.classID);
        if (!setup) {
            throw ComError(ComError::kGeneric, "There is no base data of item class " +
                                                   std::to_string(request.classID) + ".");
        }
        std::string search = request.first;
        if (method == "ItemLookUp") {
            setup->filter = Trimmed(request.second);
            const Variant shortNumber = request.params.Value("BeShortNumber");
            setup->shortNumber = shortNumber.IsNull() ? ModuleContext::InForce().g_UseShortNumber
                                                      : shortNumber.ToBool();
            if (search.empty() && !request.params.Value("Search").IsNull())
                search = request.params.Value("Search").ToText();
        }
        return Pick(std::move(*setup), search);
    }
    if (method == "UnitLookup")
        return Pick(UnitSetup(request.classID), request.first);
    if (method == "CurrencyLookup")
        return Pick(CurrencySetup(), request.first);
    if (method == "SettTypeLookup" || method == "AccountLookup") {
        throw ComError(
            ComError::kGeneric,
            "This company database keeps no " +
                std::string(method == "AccountLookup" ? "accounts" : "settlement types") +
                " to look up.");
    }
    throw ComError(ComError::kGeneric, "Unknown base-data lookup " + method + ".");
}

std::unique_ptr<Progress> QtHostUi::CreateProgress() {
    return std::make_unique<ProgressWindow>();
}

std::optional<std::string> QtHostUi::AskText(const std::string& prompt, const std::string& title,
                                             const std::string& initial) {
    bool ok = false;
    const QString text = QInputDialog::getText(DialogParent(), Q(title), Q(prompt),
                                               QLineEdit::Normal, Q(initial), &ok);
    if (!ok)
        return std::nullopt;
    return U(text);
}

void InstallQtHost(const std::string& settingsFile) {
    SetCurrentUi(std::make_shared<QtHostUi>());
    ComponentRegistry::Register<BaseList>(BaseList::kProgID,
                                          [] { return std::make_shared<QtBaseList>(); });
    RegisterQtExportComponents();
    RegisterQtLedgerPrint();
    if (settingsFile.empty())
        SetCurrentSettings(std::make_shared<QtSettingsStore>());
    else
        SetCurrentSettings(std::make_shared<QtSettingsStore>(Q(settingsFile)));
}

}  // namespace orva::qt
