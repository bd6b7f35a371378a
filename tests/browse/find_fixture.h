// Browse window tests of find, filter, sort and search all: a stand-in for
// the find component that records what the window handed it and returns
// what the test gives it, and a fixture that registers it or the real
// component and scripts the user of its dialog.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "browse/find_search_all.h"
#include "browse_fixture.h"
#include "host/component_registry.h"
#include "host/find/find_dialog.h"
#include "model/sql_values.h"
#include "orvasaleprice/com_error.h"

namespace orva {

// A stand-in component: records what the window set, in order, and returns
// what the test gives it.
struct FakeFfs : FFSFace {
    std::vector<std::string> calls;
    std::vector<Dictionary> family;
    Dictionary sysPar;
    RecordsetPtr records;
    bool ok = true;
    bool fail = false;
    std::shared_ptr<const FindPositions> found;

    void SetFfsMode(std::int16_t m) override { calls.push_back("Mode" + std::to_string(m)); }
    void SetFfsFamily(std::vector<Dictionary> f) override {
        calls.push_back("Family");
        family = std::move(f);
    }
    void SetFfsSysPar(Dictionary p) override {
        calls.push_back("SysPar");
        sysPar = std::move(p);
    }
    void SetFfsRecordset(RecordsetPtr r) override {
        calls.push_back("Recordset");
        records = std::move(r);
    }
    void SetFfstvwBase(Tree*) override { calls.push_back("Tree"); }
    void Show() override {
        calls.push_back("Show");
        if (fail)
            throw ComError(ComError::kGeneric, "component failed");
    }
    bool ReFfsOK() const override { return ok; }
    RecordsetPtr ReFfsRecordset() const override { return records; }
    std::shared_ptr<const FindPositions> ReFfsFdResult() const override { return found; }
};

class BrowseFind : public BrowseTest {
  protected:
    void TearDown() override {
        ComponentRegistry::Unregister(FFSFace::kProgID);
        BrowseTest::TearDown();
    }
    std::shared_ptr<FakeFfs> Fake() {
        auto fake = std::make_shared<FakeFfs>();
        ComponentRegistry::Register<FFSFace>(FFSFace::kProgID, [fake] { return fake; });
        return fake;
    }
    void User(std::function<void(FindDialog&)> script) {
        ui->OnModal<FindDialog>(FindDialog::kWindowName, std::move(script));
    }
    // Field indexes of search all in the customer tree.
    static constexpr int kCustName = 1, kNote = 7;
    std::vector<std::string> Texts() { return ui->MessageBoxTexts(); }
    // Marks one price entry of a customer that the group clerk may see in
    // full (base or US dollar currency, an item of group 01, 01.01 or 03.01).
    std::int32_t MarkEntry(std::int32_t custID, const std::string& note) {
        auto id = static_cast<std::int32_t>(
            Scalar("SELECT TOP 1 e.FEntryID FROM t_CustEntry e INNER JOIN t_ICItem i ON "
                   "i.FItemID=e.FItemID WHERE e.FCustID=" +
                   std::to_string(custID) +
                   " AND e.FCyID IN (1,2) AND (i.FNumber LIKE '01.01.%' OR i.FNumber LIKE "
                   "'03.01.%' OR i.FNumber LIKE '01.00%') ORDER BY e.FEntryID")
                .ToInteger());
        Query("UPDATE t_CustEntry SET FNote=" + SqlText(note) +
              " WHERE FEntryID=" + std::to_string(id));
        return id;
    }
    std::string Selected(BrowseBase& w) {
        NodeId n = w.tvwBase().Selected();
        return n == kNoNode ? "" : w.tvwBase().Node(n).key;
    }
    // The index of the field of `column` in the dialog's list, -1 when none.
    static int FieldIndex(const FindDialog& d, const std::string& column) {
        for (std::size_t i = 0; i < d.Fields().size(); ++i) {
            if (d.Fields()[i].column == column)
                return static_cast<int>(i);
        }
        return -1;
    }
    // The user asks for the entries whose price is below `limit`.
    void PriceBelow(double limit) {
        User([limit](FindDialog& d) {
            const int price = FieldIndex(d, "FPrice");
            d.SetField(0, price);
            d.SetOperator(0, FindOp::kLess);
            d.SetValue(0, std::to_string(limit));
            d.Run();
        });
    }
    // The user sorts by price, highest first.
    void SortByPriceDown() {
        User([](FindDialog& d) {
            d.SetSortKeys({{FieldIndex(d, "FPrice"), true}});
            d.Run();
        });
    }
};

}  // namespace orva
