// The settings store: typed reads with defaults over garbage, names without
// regard to case, the INI file across instances and processes' writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "host/settings_store.h"
#include "orvasaleprice/com_error.h"
#include "support/temp_company.h"

namespace orva {
namespace {

bool Positive(const std::int32_t& v) {
    return v > 0;
}

TEST(SettingCodecs, ReadOnlyWhatIsAValueOfTheType) {
    using B = SettingCodec<bool>;
    EXPECT_EQ(B::Decode("TRUE"), true);
    EXPECT_EQ(B::Decode(" false "), false);
    EXPECT_EQ(B::Decode("-1"), true);
    EXPECT_EQ(B::Decode("0"), false);
    EXPECT_EQ(B::Decode("yes"), std::nullopt);
    EXPECT_EQ(B::Decode(""), std::nullopt);
    EXPECT_EQ(B::Encode(true), "True");

    using I = SettingCodec<std::int32_t>;
    EXPECT_EQ(I::Decode(" 42 "), 42);
    EXPECT_EQ(I::Decode("+7"), 7);
    EXPECT_EQ(I::Decode("-3"), -3);
    EXPECT_EQ(I::Decode("1e3"), std::nullopt);
    EXPECT_EQ(I::Decode("12.5"), std::nullopt);
    EXPECT_EQ(I::Decode("99999999999"), std::nullopt);

    using D = SettingCodec<double>;
    EXPECT_EQ(D::Decode("1.5"), 1.5);
    EXPECT_EQ(D::Decode("inf"), std::nullopt);
    EXPECT_EQ(D::Decode("1e400"), std::nullopt);
    EXPECT_EQ(D::Encode(0.1), "0.1");
}

TEST(MemorySettings, TypedKeysFallBackToTheirDefaultAndNamesIgnoreCase) {
    MemorySettingsStore store;
    const SettingKey<std::int32_t> width{"App", "Sect", "3Col", 1200, Positive};
    EXPECT_EQ(store.Get(width), 1200);
    EXPECT_EQ(store.Find(width), std::nullopt);
    store.Write("app", "SECT", "3col", "wide");
    EXPECT_EQ(store.Get(width), 1200);
    store.Write("APP", "sect", "3COL", "-5");
    EXPECT_EQ(store.Get(width), 1200);  // refused by the key's check
    store.Set(width, 800);
    EXPECT_EQ(store.Get(width), 800);
    EXPECT_EQ(store.Size(), 1u);
    store.Remove("App", "Sect", "3Col");
    EXPECT_EQ(store.Read("App", "Sect", "3Col"), std::nullopt);
}

TEST(MemorySettings, TheProcessStoreIsInMemoryUntilTheHostSetsOne) {
    auto mine = std::make_shared<MemorySettingsStore>();
    SetCurrentSettings(mine);
    CurrentSettings().Write("a", "b", "c", "d");
    EXPECT_EQ(mine->Read("a", "b", "c"), "d");
    SetCurrentSettings(nullptr);
    EXPECT_NE(CurrentSettingsPtr(), mine);
    EXPECT_EQ(CurrentSettings().Read("a", "b", "c"), std::nullopt);
}

class IniSettings : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = test::MakeTempDir("orva-settings");
        path_ = dir_ + "/conf/OrvaSalePrice.ini";
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string dir_;
    std::string path_;
};

TEST_F(IniSettings, ValuesSurviveANewStoreExactlyAsWritten) {
    {
        IniSettingsStore store(path_);
        EXPECT_EQ(store.Read("OrvaSalePrice", "OrvaCustInfo", "x"), std::nullopt);
        store.Write("OrvaSalePrice", "OrvaCustInfo", "tvwKey101", "gb1005");
        store.Write("OrvaSalePrice", "OrvaCustInfo", "note", " two\nlines \\ a=b\r");
        store.Write("OrvaSalePrice", "InterFaceSetting", "EffectAllCust", "True");
        store.Write("OrvaSalePrice", "OrvaCustInfo", "TVWKEY101", "gb7");  // same key
    }
    IniSettingsStore again(path_);
    EXPECT_EQ(again.Read("orvasaleprice", "orvacustinfo", "tvwkey101"), "gb7");
    EXPECT_EQ(again.Read("OrvaSalePrice", "OrvaCustInfo", "note"), " two\nlines \\ a=b\r");
    EXPECT_EQ(again.Get(SettingKey<bool>{"OrvaSalePrice", "InterFaceSetting", "EffectAllCust"}),
              true);
    again.Remove("OrvaSalePrice", "OrvaCustInfo", "note");
    EXPECT_EQ(IniSettingsStore(path_).Read("OrvaSalePrice", "OrvaCustInfo", "note"), std::nullopt);
}

TEST_F(IniSettings, TwoStoresOnOneFileKeepEachOthersKeys) {
    IniSettingsStore first(path_);
    IniSettingsStore second(path_);
    first.Write("A", "S", "one", "1");
    second.Write("A", "S", "two", "2");
    first.Write("A", "S", "three", "3");
    IniSettingsStore reader(path_);
    EXPECT_EQ(reader.Read("A", "S", "one"), "1");
    EXPECT_EQ(reader.Read("A", "S", "two"), "2");
    EXPECT_EQ(reader.Read("A", "S", "three"), "3");
}

TEST_F(IniSettings, GarbageLinesAreIgnoredAndBadNamesRefused) {
    std::filesystem::create_directories(dir_ + "/conf");
    std::ofstream(path_) << "no section=1\n[broken\nk=v\n[A/S]\r\n; comment\n=empty key\n"
                            "width=abc\nok = 5\r\njunk line\n[A/S]\nlater=6\n";
    IniSettingsStore store(path_);
    EXPECT_EQ(store.Read("A", "S", "ok"), "5");
    EXPECT_EQ(store.Read("A", "S", "later"), "6");
    EXPECT_EQ(store.Get(SettingKey<std::int32_t>{"A", "S", "width", 1200}), 1200);
    EXPECT_EQ(store.Read("A", "S", "k"), std::nullopt);
    EXPECT_THROW(store.Write("A", "S", "a=b", "1"), ComError);
    EXPECT_THROW(store.Write("A]", "S", "k", "1"), ComError);
    EXPECT_THROW(store.Write("A", "S", "", "1"), ComError);
    EXPECT_EQ(IniSettingsStore(path_).Read("A", "S", "ok"), "5");  // nothing lost
}

}  // namespace
}  // namespace orva
