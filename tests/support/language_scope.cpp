#include "support/language_scope.h"

#include "host/lexon_loader.h"
#include "orva_build_paths.h"
#include "session/res_text.h"

namespace orva::test {

LanguageScope::LanguageScope(const std::string& language)
    : ctx_(ModuleContext::InForce()),
      previousLanguage_(ctx_.g_Language),
      previousLoader_(ctx_.g_ResLoader) {
    RegisterLanguageComponents();
    ctx_.g_Language = language;
    ctx_.g_ResLoader.reset();
}

LanguageScope::~LanguageScope() {
    ctx_.g_Language = previousLanguage_;
    ctx_.g_ResLoader = previousLoader_;
}

std::string EnglishPo(const std::string& file) {
    return std::string(ORVA_SOURCE_DIR) + "/data/i18n/eng/" + file;
}

}  // namespace orva::test
