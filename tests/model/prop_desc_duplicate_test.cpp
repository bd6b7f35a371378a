// A key that is taken (in any case) adds nothing and tells the user through
// the message dialog, in the session's language.
#include <gtest/gtest.h>

#include "orvasaleprice/prop_desc.h"
#include "support/language_scope.h"
#include "support/po_file.h"
#include "support/scripted_ui.h"

namespace orva {
namespace {

using test::EnglishPo;
using test::LanguageScope;
using test::PoTranslation;

std::shared_ptr<t_PropDesc> AddPrice(PropDesc& col, std::string_view key, std::string value) {
    return col.Add(1, 8, 6, 19, 5, "FPrice", "报价", 9, 0, std::move(value), 2, key);
}

TEST(PropDescDuplicate, KeysDifferingInCaseCollideAndTheDialogSaysSo) {
    LanguageScope chinese("CHS");
    ScriptedUiScope ui;
    PropDesc col;
    auto first = AddPrice(col, "FPrice", "1");
    ASSERT_NE(first, nullptr);

    EXPECT_EQ(AddPrice(col, "fprice", "2"), nullptr);
    EXPECT_EQ(col.Count(), 1);
    EXPECT_EQ(col.Item("FPRICE"), first);
    EXPECT_EQ(first->m_Value, "1");

    ASSERT_EQ(ui->Dialogs().size(), 1u);
    const auto& shown = ui->Dialogs()[0].content;
    EXPECT_EQ(shown.title, "提示");
    EXPECT_EQ(shown.headline, "试图添加一个重复的数据！");
    EXPECT_EQ(shown.details, std::vector<std::string>{"请重新输入数据."});
    EXPECT_EQ(shown.kind, 0);
    EXPECT_EQ(shown.helpFile, "");
    EXPECT_EQ(shown.helpContext, -1);
    EXPECT_EQ(ui->UnansweredQuestions(), 0);

    // Entries without a key never collide and show nothing.
    EXPECT_NE(AddPrice(col, "", "3"), nullptr);
    EXPECT_NE(AddPrice(col, "", "4"), nullptr);
    EXPECT_EQ(ui->Dialogs().size(), 1u);
}

TEST(PropDescDuplicate, DialogTextsAreLocalised) {
    LanguageScope english("ENG");
    ScriptedUiScope ui;
    PropDesc col;
    AddPrice(col, "FPrice", "1");
    EXPECT_EQ(AddPrice(col, "FPRICE", "2"), nullptr);

    ASSERT_EQ(ui->Dialogs().size(), 1u);
    const auto& shown = ui->Dialogs()[0].content;
    std::string po = EnglishPo("model.po");
    EXPECT_EQ(shown.title, PoTranslation(po, "提示"));
    EXPECT_EQ(shown.headline, PoTranslation(po, "试图添加一个重复的数据！"));
    ASSERT_EQ(shown.details.size(), 1u);
    EXPECT_EQ(shown.details[0], PoTranslation(po, "请重新输入数据."));
    EXPECT_NE(shown.title, "提示");  // the catalogue really was used
}

}  // namespace
}  // namespace orva
