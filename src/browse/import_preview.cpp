#include "browse/import_preview.h"

#include <stdexcept>

#include "host/app_connection.h"
#include "host/component_registry.h"
#include "host/host_ui.h"
#include "import/import_rejects.h"
#include "orvasaleprice/com_error.h"
#include "session/module_context.h"
#include "session/res_text.h"

namespace orva {
namespace {

const char* const kTitle = N_("Tesmar提示");

}  // namespace

ImportPreview::ImportPreview(ModuleContext& ctx, import::ImportPlan plan)
    : ctx_(ctx), plan_(std::move(plan)) {
    Refilter();
}

void ImportPreview::Refilter() {
    shown_.clear();
    for (std::size_t i = 0; i < plan_.rows.size(); ++i) {
        if (!filter_ || plan_.rows[i].outcome == *filter_)
            shown_.push_back(i);
    }
}

void ImportPreview::SetFilter(std::optional<import::RowOutcome> outcome) {
    filter_ = outcome;
    Refilter();
    changed_.Emit();
}

std::string ImportPreview::Counts() const {
    std::string text;
    for (int i = 0; i < static_cast<int>(import::RowOutcome::kCount); ++i) {
        const auto outcome = static_cast<import::RowOutcome>(i);
        if (const std::int64_t n = plan_.Count(outcome); n > 0) {
            if (!text.empty())
                text += "  ";
            text += import::OutcomeName(outcome) + " " + std::to_string(n);
        }
    }
    return text;
}

void ImportPreview::ChooseBelowFloor(std::size_t row, bool write) {
    if (row >= plan_.rows.size() || Imported() ||
        plan_.rows[row].outcome != import::RowOutcome::kBelowFloor)
        return;
    plan_.rows[row].writeBelowFloor = write;
    changed_.Emit();
}

void ImportPreview::Import() {
    if (Imported())
        return;
    try {
        result_ = import::WriteImport(ctx_, ctx_.Connection(), plan_);
    } catch (const std::runtime_error& e) {
        ctx_.Ui().MessageBox(e.what(), MsgButtons::kOK, MsgIcon::kExclamation, GetResText(kTitle));
        return;
    }
    Refilter();
    changed_.Emit();
    std::string text = GetResText("此次共新增") + std::to_string(result_->added) +
                       GetResText("条记录！") + "\n" + GetResText("修改") + " " +
                       std::to_string(result_->changed);
    if (result_->stopped)
        text += "\n" + GetResText("操作已被用户中止：已引入的行保留，其余行没有引入。");
    ctx_.Ui().MessageBox(text, MsgButtons::kOK, MsgIcon::kInformation, GetResText(kTitle));
}

std::shared_ptr<ImportFiles> ImportPreview::Files() {
    return ComponentRegistry::Create<ImportFiles>(ImportFiles::kProgID);
}

void ImportPreview::SaveRejects() {
    try {
        if (auto path = Files()->ChooseTarget(GetResText("未引入的价格资料")))
            import::WriteRejects(plan_, *path);
    } catch (const std::runtime_error& e) {
        ctx_.Ui().MessageBox(e.what(), MsgButtons::kOK, MsgIcon::kExclamation, GetResText(kTitle));
    }
}

void ImportPreview::SaveTemplate() {
    try {
        if (auto path = Files()->ChooseTarget(GetResText("价格资料")))
            import::WriteTemplate(*path);
    } catch (const std::runtime_error& e) {
        ctx_.Ui().MessageBox(e.what(), MsgButtons::kOK, MsgIcon::kExclamation, GetResText(kTitle));
    }
}

}  // namespace orva
