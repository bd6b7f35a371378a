#include "host/lexon_loader.h"

#include "host/base/text_util.h"
#include "host/catalogue_files.h"
#include "host/component_registry.h"
#include "host/res_loader.h"

namespace orva {
namespace {
constexpr const char* kCatalogue = "ORVAINDUSTRY";
}  // namespace

std::int32_t LexonLoader::LoadLexonStrings(LocalizableForm& form, const std::string& language,
                                           const std::string& folder,
                                           const std::string& resFileBaseName,
                                           std::shared_ptr<Dictionary>& options) {
    if (!options)
        options = std::make_shared<Dictionary>();
    auto catalogue = FindCatalogue(resFileBaseName, language, folder);
    if (!catalogue)
        return 0;
    bool headers = options->Value(kNeedMLColumnHeaders).ToBool();
    std::int32_t replaced = 0;
    form.ForEachText(headers, [&](LocalizableForm::TextKind, std::string& text) {
        std::string_view key = Trim(text);
        if (key.empty())
            return;
        if (const std::string* translation = catalogue->Find(key)) {
            text = *translation;
            ++replaced;
        }
    });
    return replaced;
}

std::shared_ptr<Dictionary> LexonLoader::GetOrvaFontProps(const std::string& language) {
    auto props = std::make_shared<Dictionary>();
    if (IsSourceLanguage(language)) {
        props->SetValue(kFontName, "宋体");
        props->SetValue(kFontCharset, 134);
        return props;
    }
    auto catalogue = FindCatalogue(kCatalogue, language);
    if (!catalogue)
        return props;
    if (auto name = catalogue->HeaderField("X-Orva-Font-Name"); !name.empty()) {
        props->SetValue(kFontName, name);
    }
    if (auto charset = catalogue->HeaderField("X-Orva-Font-Charset"); !charset.empty()) {
        if (auto n = ParseNumber(charset))
            props->SetValue(kFontCharset, static_cast<int>(*n));
    }
    return props;
}

void RegisterLanguageComponents() {
    ComponentRegistry::Register<ResLoader>(ResLoader::kProgID,
                                           [] { return std::make_shared<ResLoader>(); });
    ComponentRegistry::Register<LexonLoader>(LexonLoader::kProgID,
                                             [] { return std::make_shared<LexonLoader>(); });
}

}  // namespace orva
