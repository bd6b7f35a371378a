// The settings store on QSettings: typed settings survive a new store on the
// same file, names match without regard to case, bad names are refused.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <filesystem>

#include "orvasaleprice/com_error.h"
#include "qt/dialogs/qt_settings_store.h"
#include "qt_test_app.h"
#include "support/temp_company.h"

namespace orva::qt {
namespace {

class QtSettingsStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::App();
        dir_ = orva::test::MakeTempDir("qtsettings");
        path_ = QString::fromStdString(dir_ + "/settings.ini");
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string dir_;
    QString path_;
};

TEST_F(QtSettingsStoreTest, KeepsTypedValuesAcrossStores) {
    const SettingKey<bool> byCust{"OrvaSalePrice", "OrvaCustInfo", "CategoryByCust", true};
    const SettingKey<std::int32_t> width{"OrvaSalePrice", "OrvaCustInfo", "3CustCol", 1200,
                                         [](const std::int32_t& v) { return v >= 0; }};
    {
        QtSettingsStore store(path_);
        EXPECT_TRUE(store.Get(byCust));  // the default
        store.Set(byCust, false);
        store.Set(width, 1500);
        store.Write("OrvaSalePrice", "InterFaceSetting", "EffectAllCust", "True");
    }
    QtSettingsStore again(path_);
    EXPECT_FALSE(again.Get(byCust));
    EXPECT_EQ(again.Get(width), 1500);
    // Any spelling of the names finds the same setting, and keeps the first.
    EXPECT_EQ(again.Read("orvasaleprice", "ORVACUSTINFO", "3custcol"), "1500");
    again.Write("ORVASALEPRICE", "orvacustinfo", "3CUSTCOL", "-5");
    EXPECT_EQ(again.Read("OrvaSalePrice", "OrvaCustInfo", "3CustCol"), "-5");
    EXPECT_EQ(again.Get(width), 1200);  // refused by the key's check: the default
    QFile file(path_);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains("3CustCol=-5"));
    EXPECT_FALSE(text.contains("3CUSTCOL"));

    again.Remove("orvasaleprice", "orvacustinfo", "categorybycust");
    EXPECT_FALSE(again.Read("OrvaSalePrice", "OrvaCustInfo", "CategoryByCust"));
    EXPECT_EQ(again.Read("OrvaSalePrice", "InterFaceSetting", "EffectAllCust"), "True");
}

TEST_F(QtSettingsStoreTest, RefusesNamesThatWouldNest) {
    QtSettingsStore store(path_);
    EXPECT_THROW(store.Write("OrvaSalePrice", "a/b", "k", "v"), ComError);
    EXPECT_THROW(store.Write("OrvaSalePrice", "s", "", "v"), ComError);
    EXPECT_THROW(store.Read("Orva\\SalePrice", "s", "k"), ComError);
    EXPECT_FALSE(store.Read("OrvaSalePrice", "s", "k"));
}

TEST_F(QtSettingsStoreTest, AFileThatCannotBeWrittenIsAnError) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    QtSettingsStore unwritable(QString::fromStdString(dir_ + "/missing/folder/x.ini"));
    std::filesystem::permissions(
        dir_, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_THROW(unwritable.Write("a", "b", "c", "d"), ComError);
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all);
}

}  // namespace
}  // namespace orva::qt
