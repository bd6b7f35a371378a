// Where the compiled translation catalogues live and how they are loaded.
//
// A catalogue is <root>/<LANGUAGE>/<base name>.mo, the language code in upper
// case (for example i18n/ENG/ORVAINDUSTRY.mo). The roots, in search order:
//   1. the folder in the environment variable ORVA_I18N_DIR, when it is set
//      and not empty: then it is the only root;
//   2. <folder of the executable>/i18n;
//   3. <folder of the executable>/../share/orvasaleprice/i18n (installed);
//   4. the build tree's i18n folder, where CMake compiles the catalogues.
// Each catalogue is read once per process. A language or base name without a
// catalogue (or with an unreadable one) gives nullptr and one warning on
// stderr naming what was searched; texts then stay in Chinese.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/mo_catalog.h"

namespace orva {

// The roots in search order, as described above.
std::vector<std::string> CatalogueRoots();

// The catalogue `baseName` of `language`. When `folder` is not empty it is the
// only root searched. Simplified Chinese ("CHS") is the source language and
// has no catalogue: nullptr without a warning.
std::shared_ptr<const MoCatalog> FindCatalogue(std::string_view baseName, std::string_view language,
                                               std::string_view folder = {});

// True for "CHS" in any case: the texts as written in the sources.
bool IsSourceLanguage(std::string_view language);

}  // namespace orva
