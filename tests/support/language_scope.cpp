#include "support/language_scope.h"

#include "host/lexon_loader.h"
#include "orva_build_paths.h"
#include "session/res_text.h"

namespace orva::test {

LanguageScope::LanguageScope(const std::string& language)
    : previousLanguage_(g_Language), previousLoader_(g_ResLoader) {
    RegisterLanguageComponents();
    g_Language = language;
    g_ResLoader.reset();
}

LanguageScope::~LanguageScope() {
    g_Language = previousLanguage_;
    g_ResLoader = previousLoader_;
}

std::string EnglishPo(const std::string& file) {
    return std::string(ORVA_SOURCE_DIR) + "/data/i18n/eng/" + file;
}

}  // namespace orva::test
