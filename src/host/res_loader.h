// "ORVARESLOADER.Loader": looks up the translation of a text. The caller sets
// the catalogue's base name and the language, then asks for each key (the
// text as written in simplified Chinese). Catalogues are found as
// catalogue_files.h describes.
#pragma once

#include <string>
#include <string_view>

namespace orva {

class ResLoader {
  public:
    static constexpr const char* kProgID = "ORVARESLOADER.Loader";

    virtual ~ResLoader() = default;

    const std::string& ResFileBaseName() const { return resFileBaseName_; }
    void SetResFileBaseName(std::string name) { resFileBaseName_ = std::move(name); }
    const std::string& LanguageID() const { return languageID_; }
    void SetLanguageID(std::string language) { languageID_ = std::move(language); }

    // The translation of key into LanguageID(). The key itself when the
    // language is simplified Chinese, when the catalogue has no translation
    // for it, or when there is no catalogue for the language (reported once
    // on stderr).
    virtual std::string LoadString(std::string_view key);

  private:
    std::string resFileBaseName_;
    std::string languageID_;
};

}  // namespace orva
