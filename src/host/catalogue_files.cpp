#include "host/catalogue_files.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <mutex>
#include <stdexcept>

#include "host/base/text_util.h"

namespace orva {
namespace {

std::string ExecutableFolder() {
    static const std::string folder = [] {
        std::error_code ec;
        auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
        return ec ? std::string() : exe.parent_path().string();
    }();
    return folder;
}

// Language codes and base names become path components: letters, digits,
// '-' and '_' only, so no code can reach outside the catalogue folders.
bool IsPlainName(std::string_view s) {
    if (s.empty())
        return false;
    for (char c : s) {
        bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                  c == '-' || c == '_';
        if (!ok)
            return false;
    }
    return true;
}

struct Cache {
    std::mutex mutex;
    // Key: roots searched, base name and language; nullptr when not found.
    std::map<std::string, std::shared_ptr<const MoCatalog>> loaded;
};

Cache& TheCache() {
    static Cache cache;
    return cache;
}

void Warn(const std::string& message) {
    std::cerr << "orvasaleprice: " << message << "; texts stay in Chinese\n";
}

std::string JoinRoots(const std::vector<std::string>& roots) {
    std::string out;
    for (const auto& r : roots) out += (out.empty() ? "" : ", ") + r;
    return out;
}

std::shared_ptr<const MoCatalog> Load(const std::vector<std::string>& roots,
                                      std::string_view baseName, std::string_view language) {
    if (language.empty()) {
        Warn("the session names no language");
        return nullptr;
    }
    if (!IsPlainName(language) || !IsPlainName(baseName)) {
        Warn("no catalogue \"" + std::string(baseName) + "\" for language code \"" +
             std::string(language) + "\"");
        return nullptr;
    }
    std::string relative = ToUpperAscii(language) + "/" + std::string(baseName) + ".mo";
    for (const auto& root : roots) {
        std::string path = root + "/" + relative;
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec))
            continue;
        try {
            return std::make_shared<const MoCatalog>(MoCatalog::ReadFile(path));
        } catch (const std::runtime_error& e) {
            Warn(e.what());
            return nullptr;
        }
    }
    Warn("no catalogue " + relative + " for language code \"" + std::string(language) +
         "\" (searched " + JoinRoots(roots) + ")");
    return nullptr;
}

}  // namespace

bool IsSourceLanguage(std::string_view language) {
    return EqualsNoCase(language, "CHS");
}

std::vector<std::string> CatalogueRoots() {
    if (const char* env = std::getenv("ORVA_I18N_DIR"); env && *env)
        return {env};
    std::vector<std::string> roots;
    if (auto exe = ExecutableFolder(); !exe.empty()) {
        roots.push_back(exe + "/i18n");
        roots.push_back(exe + "/../share/orvasaleprice/i18n");
    }
#ifdef ORVA_I18N_BUILD_DIR
    roots.push_back(ORVA_I18N_BUILD_DIR);
#endif
    return roots;
}

std::shared_ptr<const MoCatalog> FindCatalogue(std::string_view baseName, std::string_view language,
                                               std::string_view folder) {
    if (IsSourceLanguage(language))
        return nullptr;
    std::vector<std::string> roots =
        folder.empty() ? CatalogueRoots() : std::vector<std::string>{std::string(folder)};
    std::string key =
        JoinRoots(roots) + '\n' + std::string(baseName) + '\n' + ToUpperAscii(language);
    auto& cache = TheCache();
    std::lock_guard lock(cache.mutex);
    auto it = cache.loaded.find(key);
    if (it == cache.loaded.end()) {
        it = cache.loaded.emplace(key, Load(roots, baseName, language)).first;
    }
    return it->second;
}

}  // namespace orva
