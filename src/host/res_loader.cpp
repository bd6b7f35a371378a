#include "host/res_loader.h"

#include "host/catalogue_files.h"

namespace orva {

std::string ResLoader::LoadString(std::string_view key) {
    if (auto catalogue = FindCatalogue(resFileBaseName_, languageID_)) {
        if (const std::string* text = catalogue->Find(key))
            return *text;
    }
    return std::string(key);
}

}  // namespace orva
