#include "qt/hostapp/host_app_batch.h"

#include <QApplication>
#include <QDateTime>

#include "browse/browse_base.h"
#include "browse/browse_settings.h"
#include "host/component_registry.h"
#include "host/export/export_file.h"
#include "host/host_ui.h"
#include "host/settings_store.h"
#include "qt/dialogs/modal_window_dialog.h"
#include "qt/hostapp/host_app_company.h"
#include "qt/hostapp/host_app_options.h"
#include "qt/print/qt_export.h"
#include "qt/print/qt_ledger_print.h"
#include "session/res_text.h"

namespace orva::qt {
namespace {

constexpr int kTickMs = 40;

// The Qt face's user interface, except that messages are kept (the safe
// answer is given) instead of shown: nobody is there to read them, and the
// program reports them on standard error.
class KeepingUi : public HostUi {
  public:
    KeepingUi(std::shared_ptr<HostUi> inner, std::shared_ptr<std::string> kept)
        : inner_(std::move(inner)), kept_(std::move(kept)) {}

    void ShowHelp(std::int32_t, const std::string&) override {}
    MsgResult MessageBox(const std::string& text, MsgButtons buttons, MsgIcon,
                         const std::string&) override {
        Keep(text);
        return buttons == MsgButtons::kOK ? MsgResult::kOK : MsgResult::kCancel;
    }
    std::int32_t ShowMessageDialog(const MessageDialogContent& content) override {
        std::string text = content.headline;
        for (const std::string& line : content.details) text += "\n" + line;
        Keep(text);
        return 0;
    }
    void ShowModal(ModalWindow& window) override { inner_->ShowModal(window); }
    void ShowAssistant(const std::string& description, std::int16_t) override { Keep(description); }
    LookupReply Lookup(const LookupRequest&) override { return {}; }

  private:
    void Keep(const std::string& text) {
        if (!kept_->empty())
            *kept_ += "\n";
        *kept_ += text;
    }

    std::shared_ptr<HostUi> inner_;
    std::shared_ptr<std::string> kept_;
};

// The user's saved choices (column widths, hidden columns) as they are, but
// never changed by a job, and without the saved grouping: the file is
// written from the tree of the customer or item named on the command line.
class ReadOnlySettings : public SettingsStore {
  public:
    explicit ReadOnlySettings(std::shared_ptr<SettingsStore> inner) : inner_(std::move(inner)) {}

    std::optional<std::string> Read(std::string_view app, std::string_view section,
                                    std::string_view key) const override {
        const SettingKey<bool> grouping = browse_settings::CategoryByCust(true);
        if (app == grouping.app && section == grouping.section && key == grouping.key)
            return std::nullopt;
        return inner_->Read(app, section, key);
    }
    void Write(std::string_view, std::string_view, std::string_view, std::string_view) override {}
    void Remove(std::string_view, std::string_view, std::string_view) override {}

  private:
    std::shared_ptr<SettingsStore> inner_;
};

BrowseBase* BrowseOnTop() {
    auto* dialog = qobject_cast<ModalWindowDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible() || dialog->window().WindowName() != "BrowseBase")
        return nullptr;
    return dynamic_cast<BrowseBase*>(&dialog->window());
}

}  // namespace

BatchJob::BatchJob(const HostAppOptions& options, QObject* parent)
    : QObject(parent),
      exportFile_(options.exportFile),
      pdfFile_(options.printPdfFile),
      messages_(std::make_shared<std::string>()) {
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &BatchJob::Tick);
}

BatchJob::~BatchJob() = default;

void BatchJob::Install() {
    if (!exportFile_.empty()) {
        ComponentRegistry::Register<ExportComponent>(ExportComponent::kProgID, [this] {
            auto component = std::make_shared<QtExport>();
            // The option was checked for its extension when it was parsed.
            component->SetTarget(
                ExportTarget{exportFile_, FormatOfPath(exportFile_).value_or(ExportFormat::kXlsx)});
            export_ = component;
            return component;
        });
    }
    if (!pdfFile_.empty()) {
        ComponentRegistry::Register<LedgerPrint>(LedgerPrint::kProgID, [this] {
            print_ = std::make_shared<QtLedgerPrint>(pdfFile_);
            return print_;
        });
    }
    SetCurrentUi(std::make_shared<KeepingUi>(CurrentUiPtr(), messages_));
    SetCurrentSettings(std::make_shared<ReadOnlySettings>(CurrentSettingsPtr()));
}

void BatchJob::Start() {
    started_ = QDateTime::currentMSecsSinceEpoch();
    timer_.start();
}

void BatchJob::Tick() {
    if (ran_) {
        // The window closes on its own logic, as from its title bar.
        if (QWidget* top = QApplication::activeModalWidget())
            top->close();
        else
            timer_.stop();
        return;
    }
    if (BrowseBase* window = BrowseOnTop()) {
        ran_ = true;
        Run(*window);
        return;
    }
    if (QDateTime::currentMSecsSinceEpoch() - started_ > kOpenTimeoutMs) {
        ran_ = true;
        failure_ = GetResText("价格资料窗口没有打开。");
    }
}

void BatchJob::Run(BrowseBase& window) {
    // The toolbar's print refuses a group as it does for the user; the
    // export runs from the menu.
    if (!exportFile_.empty())
        window.Menus().Click("mnuFileExport");
    else
        window.tbToolBar().Click("Print");
    if (!messages_->empty())
        failure_ = *messages_;
    else if (!exportFile_.empty() && (!export_ || export_->WrittenPath().empty()))
        failure_ = FillIn(GetResText("没有写入文件：%1"), {exportFile_});
    else if (!pdfFile_.empty() && (!print_ || print_->PagesPrinted() == 0))
        failure_ = FillIn(GetResText("没有写入文件：%1"), {pdfFile_});
}

std::string BatchJob::Failure() const {
    if (!failure_.empty())
        return failure_;
    if (!ran_)
        return GetResText("价格资料窗口没有打开。");
    return {};
}

}  // namespace orva::qt
