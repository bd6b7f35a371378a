#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

#include "host/catalogue_files.h"
#include "host/mo_catalog.h"
#include "orva_build_paths.h"
#include "resources_fixture.h"
#include "support/language_scope.h"
#include "support/po_file.h"

namespace orva {
namespace {

using namespace std::string_literals;

// Writes a catalogue in the .mo layout, in either byte order.
std::string BuildMo(const std::vector<std::pair<std::string, std::string>>& entries,
                    bool bigEndian) {
    std::string out;
    auto word = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            int shift = bigEndian ? 24 - 8 * i : 8 * i;
            out += static_cast<char>((v >> shift) & 0xFF);
        }
    };
    auto n = static_cast<std::uint32_t>(entries.size());
    std::uint32_t originals = 28, translations = 28 + 8 * n, strings = 28 + 16 * n;
    word(0x950412de);
    word(0);
    word(n);
    word(originals);
    word(translations);
    word(0);
    word(strings);
    std::string pool;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> keyAt, textAt;
    for (const auto& [k, t] : entries) {
        keyAt.emplace_back(k.size(), strings + pool.size());
        pool += k + '\0';
    }
    for (const auto& [k, t] : entries) {
        textAt.emplace_back(t.size(), strings + pool.size());
        pool += t + '\0';
    }
    for (auto [len, off] : keyAt) word(len), word(off);
    for (auto [len, off] : textAt) word(len), word(off);
    return out + pool;
}

const std::vector<std::pair<std::string, std::string>> kSample = {
    {"", "Language: en\nX-Orva-Font-Name: Arial Unicode\nX-Orva-Font-Charset: 0\n"},
    {"提示", "Notice"},
    {"一个文件\0%d 个文件"s, "one file\0%d files"s},
    {"菜单\x04文件", "File"},
    {"未译", ""},
};

TEST(MoCatalog, ReadsBothByteOrders) {
    for (bool big : {false, true}) {
        MoCatalog cat = MoCatalog::Parse(BuildMo(kSample, big));
        ASSERT_NE(cat.Find("提示"), nullptr) << big;
        EXPECT_EQ(*cat.Find("提示"), "Notice");
        ASSERT_NE(cat.Find("一个文件"), nullptr);  // plural: first form
        EXPECT_EQ(*cat.Find("一个文件"), "one file");
        ASSERT_NE(cat.Find("菜单\x04文件"), nullptr);  // context is part of the key
        EXPECT_EQ(cat.Find("文件"), nullptr);
        EXPECT_EQ(cat.Find("未译"), nullptr);  // empty translation = none
        EXPECT_EQ(cat.Find(""), nullptr);      // the header is no message
        EXPECT_EQ(cat.Size(), 3u);
        EXPECT_EQ(cat.HeaderField("x-orva-font-name"), "Arial Unicode");
        EXPECT_EQ(cat.HeaderField("X-Orva-Font-Charset"), "0");
        EXPECT_EQ(cat.HeaderField("Missing"), "");
    }
}

TEST(MoCatalog, RefusesDamagedFiles) {
    std::string good = BuildMo(kSample, false);
    EXPECT_THROW(MoCatalog::Parse(""), std::runtime_error);
    EXPECT_THROW(MoCatalog::Parse("not a catalogue at all, just text"), std::runtime_error);
    for (std::size_t cut : {std::size_t{20}, std::size_t{40}, good.size() - 1}) {
        EXPECT_THROW(MoCatalog::Parse(good.substr(0, cut)), std::runtime_error) << cut;
    }
    std::string badOffset = good;
    badOffset[28 + 8 + 4] = '\x7f';  // offset of the second key far past the end
    badOffset[28 + 8 + 7] = '\x7f';
    EXPECT_THROW(MoCatalog::Parse(badOffset), std::runtime_error);
    std::string hugeCount = good;
    hugeCount[11] = '\x40';
    EXPECT_THROW(MoCatalog::Parse(hugeCount), std::runtime_error);
    EXPECT_THROW(MoCatalog::ReadFile("/nonexistent/ORVAINDUSTRY.mo"), std::runtime_error);
}

using CatalogueFilesTest = ResourcesTest;

// Writes <root>/<code>/ORVAINDUSTRY.mo with the given bytes.
void WriteCatalogue(const std::string& root, const std::string& code, const std::string& bytes) {
    std::filesystem::create_directories(root + "/" + code);
    std::ofstream(root + "/" + code + "/ORVAINDUSTRY.mo", std::ios::binary) << bytes;
}

std::string Lookup(const std::string& language, const std::string& key) {
    ResLoader loader;
    loader.SetResFileBaseName("ORVAINDUSTRY");
    loader.SetLanguageID(language);
    return loader.LoadString(key);
}

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST_F(CatalogueFilesTest, EnvironmentFolderIsTheOnlyPlaceSearched) {
    std::string root = EmptyFolder("env");
    WriteCatalogue(root, "ENG", BuildMo({{"提示", "From the folder"}}, false));
    ScopedEnv dir("ORVA_I18N_DIR", root);
    EXPECT_EQ(CatalogueRoots(), std::vector<std::string>{root});
    EXPECT_EQ(Lookup("ENG", "提示"), "From the folder");
    EXPECT_EQ(Lookup("eng", "提示"), "From the folder");  // codes in any case
    // A key only the build's catalogue has is not found here.
    EXPECT_EQ(Lookup("ENG", "试图添加一个重复的数据！"), "试图添加一个重复的数据！");
}

TEST_F(CatalogueFilesTest, BuildFolderIsTheLastFallback) {
    ::unsetenv("ORVA_I18N_DIR");
    auto roots = CatalogueRoots();
    ASSERT_GE(roots.size(), 3u);
    EXPECT_EQ(roots.back(), std::string(ORVA_BINARY_DIR) + "/i18n");
    EXPECT_NE(roots.front().find("/i18n"), std::string::npos);
    EXPECT_EQ(Lookup("ENG", "提示"), test::PoTranslation(test::EnglishPo("model.po"), "提示"));
}

TEST_F(CatalogueFilesTest, MissingOrDamagedCataloguesWarnOnceAndKeepTheKey) {
    std::string root = EmptyFolder("missing");
    WriteCatalogue(root, "BAD", "this is no catalogue");
    ScopedEnv dir("ORVA_I18N_DIR", root);
    for (std::string code : {"XYZ", "BAD", "../ENG", "ENG/../ENG", ""}) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(Lookup(code, "提示"), "提示") << code;
        EXPECT_EQ(Lookup(code, "客户"), "客户") << code;
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(Count(err, "orvasaleprice: "), 1) << code << ": " << err;
    }
    // Simplified Chinese has no catalogue and needs none: no warning.
    testing::internal::CaptureStderr();
    EXPECT_EQ(Lookup("chs", "提示"), "提示");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace orva
