// Runs a test in a given user-interface language: sets the cached language
// code (g_Language) of the module context in force as if the session had
// named it, forgets its resource loader, and registers the language components
// (ORVARESLOADER.Loader, Lexon.LexonLoader). Puts the previous code and loader back afterwards.
//
//   orva::test::LanguageScope english("ENG");
//   EXPECT_EQ(GetResText("提示"), PoTranslation(EnglishPo("model.po"), "提示"));
#pragma once

#include <memory>
#include <string>

#include "host/res_loader.h"
#include "session/module_context.h"

namespace orva::test {

class LanguageScope {
  public:
    explicit LanguageScope(const std::string& language);
    ~LanguageScope();
    LanguageScope(const LanguageScope&) = delete;
    LanguageScope& operator=(const LanguageScope&) = delete;

  private:
    ModuleContext& ctx_;
    std::string previousLanguage_;
    std::shared_ptr<ResLoader> previousLoader_;
};

// data/i18n/eng/<file> in the source tree.
std::string EnglishPo(const std::string& file);

}  // namespace orva::test
