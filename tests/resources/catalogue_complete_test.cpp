// The English catalogue must translate every text key the code uses. The
// keys are what xgettext extracted from src/ and include/ at build time
// (<build>/i18n/orvasaleprice.pot), turned into the keys GetResText really
// looks up: trimmed, and for a mixed text only its "~$~" segments. On a
// failure the missing keys are listed, and written as PO entries to
// <build>/i18n/missing-ENG.po for pasting into the area's file under
// data/i18n/eng/.
//
// The extraction sees a key only where it is written at GetResText or N_; a
// text handed to a helper that passes it on to GetResText would escape it.
// So every Chinese string literal of the module (<build>/i18n/literals.pot)
// must be an extracted key, or one of the few literals listed below as no
// text at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string_view>

#include "host/base/text_util.h"
#include "host/mo_catalog.h"
#include "orva_build_paths.h"
#include "support/po_file.h"

namespace orva {
namespace {

const std::string kI18n = std::string(ORVA_BINARY_DIR) + "/i18n";

// Chinese literals of the module that are never shown as text.
const std::map<std::string, const char*> kNotTexts = {
    {"宋体", "a font family name"},
    {"新宋体", "a font family name"},
    {"仿宋", "a font family name"},
    {"黑体", "a font family name"},
    {"微软雅黑", "a font family name"},
    {"&[页]", "the page number's placeholder in a print footer"},
    {"&[总页]", "the page count's placeholder in a print footer"},
};

// Whether the text holds a CJK ideograph or full-width form (U+3000 to
// U+9FFF, U+FF00 to U+FFEF): the module writes every user-visible text in
// Chinese.
bool HasChinese(std::string_view text) {
    for (std::size_t i = 0; i + 2 < text.size(); ++i) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        const auto b1 = static_cast<unsigned char>(text[i + 1]);
        if (b0 >= 0xE3 && b0 <= 0xE9)
            return true;  // U+3000 to U+9FFF
        if (b0 == 0xEF && (b1 == 0xBC || b1 == 0xBD || b1 == 0xBE || b1 == 0xBF))
            return true;  // U+FF00 to U+FFFF
    }
    return false;
}

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

TEST(EnglishCatalogue, EveryChineseLiteralIsAnExtractedKey) {
    std::set<std::string> keys;
    for (const auto& entry : test::ReadPoFile(kI18n + "/orvasaleprice.pot"))
        keys.insert(std::string(Trim(entry.id)));
    std::set<std::string> notTextsSeen;
    std::string report;
    for (const auto& literal : test::ReadPoFile(kI18n + "/literals.pot")) {
        if (!HasChinese(literal.id) || keys.count(std::string(Trim(literal.id))))
            continue;
        if (kNotTexts.count(literal.id)) {
            notTextsSeen.insert(literal.id);
            continue;
        }
        std::string refs;
        for (const auto& r : literal.references) refs += " " + std::string(Trim(r));
        report += "  " + literal.id + "   (" + refs + " )\n";
    }
    EXPECT_TRUE(report.empty())
        << "Chinese literals that are no text key: mark each with N_ where it is written "
           "(a helper that hands its argument to GetResText hides it from the key "
           "extraction), or list it in kNotTexts when it is never shown as text:\n"
        << report;
    for (const auto& [literal, why] : kNotTexts)
        EXPECT_TRUE(notTextsSeen.count(literal)) << literal << " (" << why << ") is in no source";
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
