#include "session/form_res.h"

#include "host/base/pass_over.h"
#include "host/base/text_util.h"
#include "host/component_registry.h"
#include "host/lexon_loader.h"
#include "session/res_text.h"
#include "session/session.h"

namespace orva {
namespace {
constexpr const char* kDefaultFontName = "宋体";
constexpr int kDefaultCharset = 134;  // GB 2312
}  // namespace

void LoadFormRes(ModuleContext& ctx, LocalizableForm& form, std::shared_ptr<Dictionary>& options) {
    std::string language = ctx.g_Language.empty() ? GetLoginProp(ctx, "LANGUAGE") : ctx.g_Language;
    if (EqualsNoCase(language, "CHS"))
        return;
    auto loader = ComponentRegistry::Create<LexonLoader>(LexonLoader::kProgID);
    if (!options) {
        options = std::make_shared<Dictionary>();
        options->SetValue(LexonLoader::kNeedMLColumnHeaders, true);
    }
    loader->LoadLexonStrings(form, language, "", kResFileBaseName, options);
}

std::shared_ptr<Dictionary> GetFontProps(ModuleContext& ctx) {
    if (ctx.g_Language.empty())
        ctx.g_Language = GetLoginProp(ctx, "LANGUAGE");
    // Without the loader component there are no font settings.
    std::shared_ptr<LexonLoader> loader = PassOver(
        [] { return ComponentRegistry::Create<LexonLoader>(LexonLoader::kProgID); }, nullptr);
    if (!loader)
        return nullptr;
    return loader->GetOrvaFontProps(ctx.g_Language);
}

void SetLedgerFonts(ModuleContext& ctx, Ledger& ledger) {
    auto props = GetFontProps(ctx);
    Variant name = props && props->Exists(LexonLoader::kFontName)
                       ? props->Value(LexonLoader::kFontName)
                       : Variant(kDefaultFontName);
    Variant charset = props && props->Exists(LexonLoader::kFontCharset)
                          ? props->Value(LexonLoader::kFontCharset)
                          : Variant(kDefaultCharset);
    for (int line = 1; line <= Ledger::kTextlines; ++line) {
        ledger.SetTextlineFontName(line, name.ToText());
        ledger.SetTextlineFontCharset(line, static_cast<int>(charset.ToInteger()));
    }
}

}  // namespace orva
