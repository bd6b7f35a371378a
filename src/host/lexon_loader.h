// "Lexon.LexonLoader": the form-resource loader. Translates the captions of a
// window (and the column headers of its grids) as a whole when the window
// loads, and tells which fonts suit a language. Uses the same catalogues as
// ResLoader. The form options and the font properties are keyed sets of
// values (Dictionary), as the lookups use.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/dictionary.h"
#include "host/localizable_form.h"

namespace orva {

class LexonLoader {
  public:
    static constexpr const char* kProgID = "Lexon.LexonLoader";
    // Option of the form options set: translate grid column headers too.
    static constexpr const char* kNeedMLColumnHeaders = "NeedMLColumnHeaders";
    // Names in the font property set.
    static constexpr const char* kFontName = "Font.Name";
    static constexpr const char* kFontCharset = "Font.Charset";

    virtual ~LexonLoader() = default;

    // Replaces every caption of the form that the catalogue `resFileBaseName`
    // of `language` translates; grid column headers too when `options` holds
    // NeedMLColumnHeaders = True. Captions are looked up trimmed. `folder`,
    // when not empty, is the only place the catalogue is looked for. A
    // missing options set is created empty. Returns the number of texts
    // replaced; simplified Chinese replaces none.
    virtual std::int32_t LoadLexonStrings(LocalizableForm& form, const std::string& language,
                                          const std::string& folder,
                                          const std::string& resFileBaseName,
                                          std::shared_ptr<Dictionary>& options);

    // "Font.Name" and "Font.Charset" for the language: for simplified Chinese
    // 宋体 and 134 (GB 2312); otherwise the catalogue's header fields
    // X-Orva-Font-Name and X-Orva-Font-Charset of ORVAINDUSTRY, each only when
    // present. Never nullptr.
    virtual std::shared_ptr<Dictionary> GetOrvaFontProps(const std::string& language);
};

// Registers ResLoader and LexonLoader under their ProgIDs in the component
// registry. The host application calls it once at start; calling it again
// is harmless.
void RegisterLanguageComponents();

}  // namespace orva
