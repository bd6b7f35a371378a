// The find/filter/sort component as the browse window uses it: the dialog
// runs on Enter and cancels on Esc, refuses invalid values without running,
// remembers the last criteria of each mode, and leaves its results in the
// Re* properties.
#include <gtest/gtest.h>

#include "find/find_records.h"
#include "host/find/find_component.h"
#include "host/host_services.h"
#include "support/scripted_ui.h"

namespace orva {
namespace {

using test::kName;
using test::kPrice;

std::vector<Dictionary> Family() {
    std::vector<Dictionary> family;
    for (const FindField& f : test::LedgerFields()) {
        Dictionary d;
        d.SetValue("Caption", f.caption);
        d.SetValue("Column", f.column);
        d.SetValue("DataType", f.dataType);
        if (!f.choices.empty())
            d.SetValue("ComBoxList", f.choices[0] + "\t" + f.choices[1]);
        if (family.size() < 2) {  // the item's code and name come from the item list
            d.SetValue("LookUp", 4);
            d.SetValue("ValueType", family.empty() ? 1 : 2);
        }
        family.push_back(std::move(d));
    }
    return family;
}

class Component : public ::testing::Test {
  protected:
    std::shared_ptr<FindComponent> Make(std::int16_t mode) {
        auto c = std::make_shared<FindComponent>(memory_, nullptr);
        c->SetFfsMode(mode);
        c->SetFfsFamily(Family());
        c->SetFfsSysPar(Dictionary());
        c->SetFfsRecordset(records_);
        return c;
    }
    void User(std::function<void(FindDialog&)> script) {
        ui->OnModal<FindDialog>(FindDialog::kWindowName, std::move(script));
    }

    ScriptedUiScope ui;
    std::shared_ptr<FindMemory> memory_ = std::make_shared<FindMemory>();
    RecordsetPtr records_ = test::Ledger({{"01.001", "冷轧钢板", 45.0, "", "", "Y"},
                                          {"01.002", "铜管", 8.0, "", "", " "},
                                          {"01.003", "热镀锌板", 9.5, "", "", " "}});
};

TEST_F(Component, EnterFiltersEscChangesNothing) {
    auto filter = Make(1);
    User([](FindDialog& d) {
        d.SetField(0, kName);
        d.SetValue(0, "板");
        d.Run();
    });
    filter->Show();
    EXPECT_TRUE(filter->ReFfsOK());
    EXPECT_EQ(test::Numbers(*filter->ReFfsRecordset()),
              (std::vector<std::string>{"01.001", "01.003"}));
    EXPECT_EQ(records_->RecordCount(), 3);  // the given records stay as they were

    auto cancelled = Make(1);
    User([](FindDialog& d) { d.Cancel(); });
    cancelled->Show();
    EXPECT_FALSE(cancelled->ReFfsOK());
    EXPECT_EQ(cancelled->ReFfsRecordset(), nullptr);
}

TEST_F(Component, AnInvalidNumberIsShownAndNothingRunsUntilItIsFixed) {
    auto find = Make(0);
    std::vector<FindNotice> seen;
    User([&](FindDialog& d) {
        d.SetField(0, kPrice);
        d.SetOperator(0, FindOp::kLess);
        d.SetValue(0, "10元");
        d.Run();
        seen.push_back(d.Notice());
        EXPECT_TRUE(d.Visible());
        d.SetValue(0, "10");
        d.Run();
    });
    find->Show();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].key, "不是有效的数值");
    EXPECT_EQ(seen[0].row, 0);
    EXPECT_EQ(seen[0].detail, "10元");
    ASSERT_TRUE(find->ReFfsFdResult());
    EXPECT_EQ(*find->ReFfsFdResult(), (FindPositions{2, 3}));
}

TEST_F(Component, FindWithoutMatchReturnsNothing) {
    auto find = Make(0);
    User([](FindDialog& d) {
        d.SetField(0, kName);
        d.SetValue(0, "不存在");
        d.Run();
    });
    find->Show();
    EXPECT_TRUE(find->ReFfsOK());
    EXPECT_EQ(find->ReFfsFdResult(), nullptr);
}

TEST_F(Component, RemembersTheLastCriteriaOfEachMode) {
    User([](FindDialog& d) {
        d.SetField(0, kName);
        d.SetOperator(0, FindOp::kBeginsWith);
        d.SetValue(0, "冷轧");
        d.Run();
    });
    Make(1)->Show();
    User([](FindDialog& d) {
        d.SetSortKeys({{kPrice, true}});
        d.Run();
    });
    auto sort = Make(2);
    sort->Show();
    EXPECT_EQ(test::Numbers(*sort->ReFfsRecordset()),
              (std::vector<std::string>{"01.001", "01.003", "01.002"}));

    FindCriteria filterShown, findShown;
    std::vector<FindSortKey> sortShown;
    User([&](FindDialog& d) { filterShown = d.Criteria(); });
    Make(1)->Show();  // closed by the user without running
    User([&](FindDialog& d) { findShown = d.Criteria(); });
    Make(0)->Show();
    User([&](FindDialog& d) { sortShown = d.SortKeys(); });
    Make(2)->Show();

    ASSERT_EQ(filterShown.rows.size(), 1u);
    EXPECT_EQ(filterShown.rows[0].value, "冷轧");
    EXPECT_EQ(filterShown.rows[0].op, FindOp::kBeginsWith);
    ASSERT_EQ(findShown.rows.size(), 1u);
    EXPECT_EQ(findShown.rows[0].value, "");  // find has its own memory
    EXPECT_EQ(sortShown, (std::vector<FindSortKey>{{kPrice, true}}));
}

TEST_F(Component, ChangingTheKindOfFieldResetsTheRow) {
    User([](FindDialog& d) {
        d.SetValue(0, "abc");
        d.SetField(0, test::kUsed);
        EXPECT_EQ(d.Criteria().rows[0].value, "已审核");
        EXPECT_EQ(d.Criteria().rows[0].op, FindOp::kEquals);
        d.SetField(0, kPrice);
        EXPECT_EQ(d.Criteria().rows[0].value, "");
        d.Cancel();
    });
    Make(0)->Show();
}

TEST_F(Component, APickedItemGivesItsCodeOrItsName) {
    RegisterHostServices();
    auto record = std::make_shared<Dictionary>();
    record->SetValue("FNumber", "01.01.001");
    record->SetValue("FName", "冷轧钢板");
    ui->AnswerLookup({true, record});
    ui->AnswerLookup({true, record});
    User([](FindDialog& d) {
        d.SetValue(0, "01.01");
        ASSERT_TRUE(d.CanPick(0));
        d.Pick(0);
        EXPECT_EQ(d.Criteria().rows[0].value, "01.01.001");
        d.SetField(0, kName);
        d.Pick(0);
        EXPECT_EQ(d.Criteria().rows[0].value, "冷轧钢板");
        d.SetField(0, kPrice);
        EXPECT_FALSE(d.CanPick(0));
        d.Cancel();
    });
    Make(0)->Show();
    ASSERT_EQ(ui->Lookups().size(), 2u);
    EXPECT_EQ(ui->Lookups()[0].method, "ItemLookUp");
    EXPECT_EQ(ui->Lookups()[0].classID, 4);
    EXPECT_EQ(ui->Lookups()[0].first, "01.01");
}

}  // namespace
}  // namespace orva
