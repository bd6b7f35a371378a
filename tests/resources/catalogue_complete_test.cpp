// The English catalogue must translate every text key the code uses. The
// keys are what xgettext extracted from src/ and include/ at build time
// (<build>/i18n/orvasaleprice.pot), turned into the keys GetResText really
// looks up: trimmed, and for a mixed text only its "~$~" segments. On a
// failure the missing keys are listed, and written as PO entries to
// <build>/i18n/missing-ENG.po for pasting into the area's file under
// data/i18n/eng/.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "host/mo_catalog.h"
#include "host/text_util.h"
#include "support/po_file.h"

namespace orva {
namespace {

const std::string kI18n = std::string(ORVA_BINARY_DIR) + "/i18n";

// The keys GetResText looks up for a text passed to it.
std::vector<std::string> LookupKeys(const std::string& text) {
    std::string_view trimmed = Trim(text);
    if (trimmed.find("^|^") == std::string_view::npos) {
        if (trimmed.empty())
            return {};
        return {std::string(trimmed)};
    }
    std::vector<std::string> keys;
    for (const auto& segment : Split(trimmed, "^|^")) {
        if (!std::string_view(segment).starts_with("~$~"))
            continue;
        for (auto& k : LookupKeys(segment.substr(3))) keys.push_back(k);
    }
    return keys;
}

TEST(EnglishCatalogue, HasEveryKeyUsedInTheCode) {
    std::vector<test::PoEntry> extracted = test::ReadPoFile(kI18n + "/orvasaleprice.pot");
    MoCatalog english = MoCatalog::ReadFile(kI18n + "/ENG/ORVAINDUSTRY.mo");

    std::map<std::string, std::set<std::string>> missing;  // key -> where it is used
    std::size_t keys = 0;
    for (const auto& entry : extracted) {
        for (const auto& key : LookupKeys(entry.id)) {
            ++keys;
            if (english.Find(key))
                continue;
            auto& where = missing[key];
            for (const auto& ref : entry.references) where.insert(std::string(Trim(ref)));
        }
    }
    EXPECT_GT(keys, 0u) << "no keys extracted: is xgettext looking at the sources?";

    std::string report;
    std::ofstream out(kI18n + "/missing-ENG.po");
    for (const auto& [key, where] : missing) {
        std::string refs;
        for (const auto& r : where) refs += " " + r;
        report += "  " + key + "   (" + Trim(refs).data() + ")\n";
        out << "#:" << refs << "\nmsgid " << test::PoQuote(key) << "\nmsgstr \"\"\n\n";
    }
    EXPECT_TRUE(missing.empty()) << missing.size() << " text key(s) without an English "
                                 << "translation (entries in " << kI18n << "/missing-ENG.po):\n"
                                 << report;
}

TEST(EnglishCatalogue, AreaFilesAgreeOnEveryKey) {
    std::map<std::string, std::pair<std::string, std::string>> seen;  // key -> text, file
    std::string conflicts;
    std::string dir = std::string(ORVA_SOURCE_DIR) + "/data/i18n/eng";
    for (const auto& file : std::filesystem::directory_iterator(dir)) {
        if (file.path().extension() != ".po")
            continue;
        std::string name = file.path().filename().string();
        for (const auto& e : test::ReadPoFile(file.path().string())) {
            if (e.id.empty())
                continue;
            EXPECT_FALSE(e.fuzzy) << name << ":" << e.line << " is marked fuzzy: " << e.id;
            EXPECT_FALSE(e.str.empty()) << name << ":" << e.line << " has no translation: " << e.id;
            EXPECT_EQ(std::string(Trim(e.id)), e.id)
                << name << ":" << e.line << ": keys are looked up trimmed";
            auto [it, fresh] = seen.emplace(e.id, std::make_pair(e.str, name));
            if (!fresh && it->second.first != e.str) {
                conflicts += "  " + e.id + ": \"" + it->second.first + "\" (" + it->second.second +
                             ") against \"" + e.str + "\" (" + name + ")\n";
            }
        }
    }
    EXPECT_TRUE(conflicts.empty()) << "keys translated differently in two files:\n" << conflicts;
}

}  // namespace
}  // namespace orva
