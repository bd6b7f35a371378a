// The base-data pickers and the list window on the demo company, used with
// the mouse: groups are opened, not picked; a record is.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "demo/demo_company.h"
#include "host/app_connection.h"
#include "orvasaleprice/com_error.h"
#include "qt/controls/qt_text.h"
#include "qt/dialogs/base_data_picker.h"
#include "qt/dialogs/qt_base_list.h"
#include "qt/hostapp/qt_host_ui.h"
#include "qt_test_app.h"
#include "support/language_scope.h"
#include "support/scoped_session.h"
#include "support/temp_company.h"

namespace orva::qt {
namespace {

struct Row {
    std::int32_t id;
    std::string number;
    std::string shortNumber;
    std::string name;
};

class PickerTest : public ::testing::Test {
  protected:
    void SetUp() override { test::App(); }

    Row First(const std::string& sql) {
        AppConnection db;
        RecordsetPtr rs = db.Execute(sql);
        if (rs->EOF_())
            return {};
        return {static_cast<std::int32_t>(rs->Fields("FItemID").Value().ToInteger()),
                rs->Fields("FNumber").Value().ToText(), rs->Fields("FShortNumber").Value().ToText(),
                rs->Fields("FName").Value().ToText()};
    }
    static QTreeWidget* Rows(BaseDataPicker& p) { return p.findChild<QTreeWidget*>("rows"); }
    static QString Notice(BaseDataPicker& p) { return p.findChild<QLabel*>("message")->text(); }
    static void ClickRow(BaseDataPicker& p, int row) {
        QTreeWidget* rows = Rows(p);
        QTest::mouseClick(rows->viewport(), Qt::LeftButton, {},
                          rows->visualItemRect(rows->topLevelItem(row)).center());
    }
    static void ClickOk(BaseDataPicker& p) {
        QTest::mouseClick(p.findChild<QPushButton*>("ok"), Qt::LeftButton);
    }
    static int RowWithCode(BaseDataPicker& p, const std::string& code) {
        QTreeWidget* rows = Rows(p);
        for (int i = 0; i < rows->topLevelItemCount(); ++i) {
            if (rows->topLevelItem(i)->text(0) == Q(code))
                return i;
        }
        return -1;
    }

    orva::test::TempCompany company_;
    orva::test::ScopedSession session_{company_.path(), demo::kAdminUserId};
    orva::test::LanguageScope chinese_{"CHS"};
    QtHostUi ui_;
};

TEST_F(PickerTest, ItemLookupReturnsARecordAndRefusesAGroup) {
    const Row group = First(
        "SELECT TOP 1 FItemID, FNumber, FShortNumber, FName FROM t_Item WHERE FItemClassID=4 AND "
        "FDetail=0 AND FParentID=0 ORDER BY FNumber");
    const Row item = First(
        "SELECT TOP 1 FItemID, FNumber, FShortNumber, FName FROM t_ICItem WHERE FErpClsID<>6 AND "
        "FErpClsID<>8 AND FDeleted=0 ORDER BY FNumber");
    ASSERT_GT(group.id, 0);
    ASSERT_GT(item.id, 0);
    LookupRequest request{"ItemLookUp", 4, "", " FErpClsID<>6 AND FErpClsID<>8 ", {}};
    request.params.SetValue("BeShortNumber", false);
    test::WhenModal<BaseDataPicker>([&](BaseDataPicker& p) {
        // The top of the tree lists the top-level groups; picking one is refused.
        const int row = RowWithCode(p, group.number);
        ASSERT_GE(row, 0);
        ClickRow(p, row);
        ClickOk(p);
        EXPECT_TRUE(p.isVisible());
        EXPECT_EQ(Notice(p), "只能选择明细资料，不能选择分组。");
        // Typing the item's name finds it; the user picks it.
        for (QChar c : Q(item.name))
            QTest::sendKeyEvent(QTest::Click, p.findChild<QLineEdit*>("search"), Qt::Key_unknown,
                                QString(c), Qt::NoModifier);
        QTest::keyClick(p.findChild<QLineEdit*>("search"), Qt::Key_Return);
        const int found = RowWithCode(p, item.number);
        ASSERT_GE(found, 0);
        ClickRow(p, found);
        ClickOk(p);
    });
    LookupReply reply = ui_.Lookup(request);
    ASSERT_TRUE(reply.ok);
    ASSERT_TRUE(reply.record);
    EXPECT_EQ(reply.record->Value("ItemID").ToInteger(), item.id);
    EXPECT_EQ(reply.record->Value("Number").ToText(), item.number);
    EXPECT_EQ(reply.record->Value("Name").ToText(), item.name);
    EXPECT_TRUE(reply.record->Value("Detail").ToBool());
    EXPECT_TRUE(reply.record->Exists("FModel"));
    EXPECT_TRUE(reply.record->Exists("FPriceDecimal"));
    EXPECT_TRUE(reply.record->Exists("FQtyDecimal"));
}

TEST_F(PickerTest, OpeningAGroupAndCancelling) {
    const Row group = First(
        "SELECT TOP 1 FItemID, FNumber, FShortNumber, FName FROM t_Item WHERE FItemClassID=1 AND "
        "FDetail=0 AND FParentID=0 ORDER BY FNumber");
    const Row customer = First(
        "SELECT TOP 1 FItemID, FNumber, FShortNumber, FName FROM t_Organization WHERE FParentID=" +
        std::to_string(group.id) + " ORDER BY FNumber");
    test::WhenModal<BaseDataPicker>([&](BaseDataPicker& p) {
        const int row = RowWithCode(p, group.number);
        ASSERT_GE(row, 0);
        // A double click: the first press and release, then the second press.
        const QPoint at = Rows(p)->visualItemRect(Rows(p)->topLevelItem(row)).center();
        QTest::mouseClick(Rows(p)->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(Rows(p)->viewport(), Qt::LeftButton, {}, at);
        EXPECT_TRUE(p.isVisible());  // a group opens
        if (customer.id > 0) {
            EXPECT_GE(RowWithCode(p, customer.number), 0);
        }
        EXPECT_EQ(RowWithCode(p, group.number), -1);
        QTest::keyClick(&p, Qt::Key_Escape);
    });
    LookupReply reply = ui_.Lookup({"ItemLookUp", 1, "", "", {}});
    EXPECT_FALSE(reply.ok);
    EXPECT_FALSE(reply.record);
}

TEST_F(PickerTest, ShortCodesWhenAskedFor) {
    const Row customer = First(
        "SELECT TOP 1 FItemID, FNumber, FShortNumber, FName FROM t_Organization WHERE "
        "FShortNumber<>'' AND FShortNumber<>FNumber ORDER BY FNumber");
    ASSERT_GT(customer.id, 0);
    LookupRequest request{"ItemLookUp", 1, customer.shortNumber, "", {}};
    request.params.SetValue("BeShortNumber", true);
    test::WhenModal<BaseDataPicker>([&](BaseDataPicker& p) {
        const int row = RowWithCode(p, customer.shortNumber);
        ASSERT_GE(row, 0);  // found by the short code it starts with, shown by it
        ClickRow(p, row);
        ClickOk(p);
    });
    LookupReply reply = ui_.Lookup(request);
    ASSERT_TRUE(reply.ok);
    EXPECT_EQ(reply.record->Value("Number").ToText(), customer.shortNumber);
    EXPECT_EQ(reply.record->Value("FNumber").ToText(), customer.number);
}

TEST_F(PickerTest, FilterKeepsPlanningItemsOut) {
    const Row planning =
        First("SELECT TOP 1 FItemID, FNumber, FShortNumber, FName FROM t_ICItem WHERE FErpClsID=6");
    ASSERT_GT(planning.id, 0);
    PickerSetup setup;
    setup.table = "t_ICItem";
    setup.itemClass = 4;
    BaseDataQuery all(setup, PickerConnection());
    setup.filter = "FErpClsID<>6 AND FErpClsID<>8";
    BaseDataQuery priced(setup, PickerConnection());
    auto codes = [&](const BaseDataQuery& q) {
        std::vector<std::string> out;
        for (const PickerRow& r : q.Rows(nullptr, planning.number))
            if (!r.group)
                out.push_back(r.code);
        return out;
    };
    EXPECT_EQ(codes(all), std::vector<std::string>{planning.number});
    EXPECT_TRUE(codes(priced).empty());
    // Search texts are matched literally, wildcards included.
    EXPECT_TRUE(all.Rows(nullptr, "%").empty());
    EXPECT_TRUE(all.Rows(nullptr, "'; DROP TABLE t_ICItem --").empty());
}

TEST_F(PickerTest, ListWindowReturnsThePickedRecords) {
    const Row unit = First(
        "SELECT TOP 1 FItemID, FNumber, FShortNumber, FName FROM t_MeasureUnit ORDER BY FNumber");
    AppConnection db;
    const std::int64_t unitGroup =
        db.Execute("SELECT FUnitGroupID FROM t_MeasureUnit WHERE FItemID=" +
                   std::to_string(unit.id))
            ->Fields("FUnitGroupID")
            .Value()
            .ToInteger();
    QtBaseList list;
    list.Filter("  FUnitGroupID=" + std::to_string(unitGroup));
    list.KeyWord(unit.number);
    test::WhenModal<BaseDataPicker>([&](BaseDataPicker& p) {
        EXPECT_EQ(p.findChild<QLineEdit*>("search")->text(), Q(unit.number));
        const int row = RowWithCode(p, unit.number);
        ASSERT_GE(row, 0);
        ClickRow(p, row);
        ClickOk(p);
    });
    std::int32_t hwnd = 0;
    std::int16_t code = 7;
    RecordsetPtr picked = list.Show(hwnd, code);
    ASSERT_TRUE(picked);
    ASSERT_EQ(picked->RecordCount(), 1);
    EXPECT_EQ(picked->Fields("FItemID").Value().ToInteger(), unit.id);
    EXPECT_EQ(picked->Fields("FName").Value().ToText(), unit.name);

    // Currencies come back with their key as FItemID too.
    QtBaseList currencies;
    test::WhenModal<BaseDataPicker>([&](BaseDataPicker& p) {
        ClickRow(p, 0);
        ClickOk(p);
    });
    code = 12;
    RecordsetPtr currency = currencies.Show(hwnd, code);
    ASSERT_TRUE(currency);
    EXPECT_EQ(currency->Fields("FItemID").Value().ToInteger(),
              currency->Fields("FCurrencyID").Value().ToInteger());

    code = 5;
    EXPECT_THROW(QtBaseList().Show(hwnd, code), ComError);
}

}  // namespace
}  // namespace orva::qt
