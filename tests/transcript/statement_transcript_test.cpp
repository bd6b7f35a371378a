// Every statement the module sends while a user works through every command
// of the browse window and of the record editor on the demo company, in both
// groupings and both languages, compared byte for byte with the transcript
// kept in expected/. A change to how the code holds its state must leave
// these texts, their order and their write transactions as they are.
//
// Run the program (all of it, so that each language is compared with what
// the Chinese run wrote) with ORVA_WRITE_TRANSCRIPT=1 to write the
// transcripts from the code as it stands: only when a change of statement
// text is meant.
//
// The texts do not depend on the user's language: both languages of a
// grouping are held to one transcript, which the Chinese run writes. The
// administrator sees everything; the group clerk's walk, held to a
// transcript of its own, has the data-rights joins in its texts.
//
// One transcript line per entry of the statement log: a text with its CR,
// LF, tab and backslash written as \r, \n, \t and \\, or a marker (NUMBER,
// BEGIN/COMMIT/ROLLBACK WRITE, FAILED); "## " lines name the user's step.
// Today's date is written as <today>, so that the transcript holds on any
// day: the sales bill's filter holds it (the walk types the dates it saves,
// so the new record's default effective date is not sent).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "browse/browse_base.h"
#include "browse/find_search_all.h"
#include "demo/demo_company.h"
#include "editor/frm_property.h"
#include "engine/user_def_info.h"
#include "host/base_list.h"
#include "host/component_registry.h"
#include "host/dictionary.h"
#include "host/export/export_component.h"
#include "host/find/find_dialog.h"
#include "host/host_services.h"
#include "host/key_codes.h"
#include "minprice/frm_se_low_price.h"
#include "orva_build_paths.h"
#include "orvasaleprice/cust_face.h"
#include "orvasaleprice/recordset.h"
#include "orvasaleprice/variant.h"
#include "support/file_text.h"
#include "support/language_scope.h"
#include "support/scoped_session.h"
#include "support/scripted_ui.h"
#include "support/statement_log.h"
#include "support/temp_company.h"
#include "support/test_context.h"
#include "transcript_file.h"

namespace orva::test {
namespace {

using R = UserDefInfo;
using W = frmProperty;

// The demo company's records the walk uses. Entry 15 is customer 01.01.001's
// unaudited price of item 03.01.002: the host preselects that pair.
constexpr std::int32_t kCustomer = 1021;  // 01.01.001, under groups 01 and 01.01
constexpr std::int32_t kItem = 1242;      // 03.01.002, under groups 03 and 03.01
constexpr std::int32_t kEntry = 15;

// What the walk does in one grouping.
struct Grouping {
    bool byCustomer;
    // The leaf shown and the groups above it, top first.
    std::string leaf;
    std::vector<std::string> leafGroups;
    // The other party a new entry gets: its editor row and code.
    int otherRow;
    std::string newOther;
    std::int32_t newOtherID;
    // The group of the batch commands, the groups above it, and the other
    // party of the batch's criteria.
    std::string batchGroup;
    std::vector<std::string> batchGroupPath;
    std::string batchOther;
};

const Grouping kByCustomer{.byCustomer = true,
                           .leaf = "gb1021",
                           .leafGroups = {"gi1019", "gi1020"},
                           .otherRow = R::kRowItemNumber,
                           .newOther = "03.01.001",
                           .newOtherID = 1241,
                           .batchGroup = "gi1020",  // 01.01, eight customers
                           .batchGroupPath = {"gi1019"},
                           .batchOther = "03.01.003"};
const Grouping kByItem{.byCustomer = false,
                       .leaf = "gb1242",
                       .leafGroups = {"gi1239", "gi1240"},
                       .otherRow = R::kRowCustNumber,
                       .newOther = "01.01.002",
                       .newOtherID = 1022,
                       .batchGroup = "gi1240",  // 03.01
                       .batchGroupPath = {"gi1239"},
                       .batchOther = "01.01.003"};

struct Scenario {
    const char* name;
    const Grouping* grouping;
    const char* language;
    int user;
    const char* transcript;  // the file in expected/
};

// The group clerk sees the walk's customers, items and entry through its
// data rights.
const Scenario kScenarios[] = {
    {"customer_chs", &kByCustomer, "CHS", demo::kAdminUserId, "customer"},
    {"customer_eng", &kByCustomer, "ENG", demo::kAdminUserId, "customer"},
    {"customer_clerk", &kByCustomer, "CHS", demo::kGroupClerkUserId, "customer_clerk"},
    {"item_chs", &kByItem, "CHS", demo::kAdminUserId, "item"},
    {"item_eng", &kByItem, "ENG", demo::kAdminUserId, "item"},
    {"item_clerk", &kByItem, "CHS", demo::kGroupClerkUserId, "item_clerk"},
};

// The host's base-data list: the user picks the record with the ID.
class PickingList : public BaseList {
  public:
    explicit PickingList(std::int32_t id) : id_(id) {}
    void Filter(const std::string&) override {}
    void KeyWord(const std::string&) override {}
    RecordsetPtr Show(std::int32_t&, std::int16_t&) override {
        return std::make_shared<Recordset>(std::vector<std::string>{"FItemID"},
                                           std::vector<Variant>{id_});
    }

  private:
    std::int32_t id_;
};

std::shared_ptr<Dictionary> Record(std::initializer_list<std::pair<const char*, Variant>> values) {
    auto record = std::make_shared<Dictionary>();
    for (const auto& [key, value] : values) record->SetValue(key, value);
    return record;
}

void PrintTo(const Scenario& s, std::ostream* out) {
    *out << s.name;
}

class StatementTranscript : public ::testing::TestWithParam<Scenario> {
  protected:
    void SetUp() override {
        RegisterHostServices();
        RegisterFindComponent();
        session_ = std::make_unique<ScopedSession>(company_.path(), GetParam().user, "ic",
                                                   GetParam().language);
        language_ = std::make_unique<LanguageScope>(GetParam().language);
        logged_ = std::make_unique<StatementLogScope>(log_);
        exportFile_ = company_.dir() + "/ledger.csv";
        ComponentRegistry::Register<ExportComponent>(ExportComponent::kProgID, [this] {
            auto c = std::make_shared<ExportComponent>();
            c->SetTarget({exportFile_, ExportFormat::kCsv});
            return c;
        });
    }
    void TearDown() override {
        ComponentRegistry::Unregister(ExportComponent::kProgID);
        ComponentRegistry::Unregister(BaseList::kProgID);
        ComponentRegistry::Unregister(FFSFace::kProgID);
        logged_.reset();
    }

    void Step(const std::string& name) { log_->Add("## " + name); }

    static void Click(BrowseBase& w, const std::string& key) {
        const NodeId node = w.tvwBase().Find(key);
        ASSERT_NE(node, kNoNode) << key;
        w.tvwBase().UserClick(node);
    }
    static void Expand(BrowseBase& w, const std::vector<std::string>& keys) {
        for (const std::string& key : keys) w.tvwBase().UserExpand(w.tvwBase().Find(key));
    }
    static void SelectEntry(BrowseBase& w, std::int32_t entry) {
        for (int r = 3; r <= w.ldgBase().Rows(); ++r) {
            if (w.ldgBase().CellText(r, 1) == std::to_string(entry)) {
                w.ldgBase().UserClick(r, 2);
                return;
            }
        }
        ADD_FAILURE() << "entry " << entry << " is not in the ledger";
    }
    // The user moves to column 2 of the row and types the text key by key.
    static void Type(frmProperty& e, int row, const std::string& text) {
        ASSERT_TRUE(e.vaSProperty().UserMoveTo(2, row)) << row;
        std::string kept;
        for (char c : text) {
            if (e.FormKeyPress(static_cast<unsigned char>(c)) != 0)
                kept += c;
        }
        e.vaSProperty().TypeText(2, row, kept);
    }
    // A key pressed on column 2 of the row: the window sees it first.
    static void Press(frmProperty& e, int row, int keyCode) {
        ASSERT_TRUE(e.vaSProperty().UserMoveTo(2, row)) << row;
        if (const int left = e.FormKeyDown(keyCode, 0); left != 0)
            e.vaSProperty().UserKeyDown(left, 0);
    }
    // Fills a record or a batch's criteria and leaves the last cell.
    static void Fill(frmProperty& e, int otherRow, const std::string& other,
                     const std::string& price) {
        Type(e, otherRow, other);
        Type(e, R::kRowPrice, price);
        Type(e, R::kRowQuoteTime, "2026-06-01");
        ASSERT_TRUE(e.vaSProperty().UserMoveTo(2, R::kRowNote));
    }
    static int FieldIndex(const FindDialog& d, const std::string& column) {
        for (std::size_t i = 0; i < d.Fields().size(); ++i) {
            if (d.Fields()[i].column == column)
                return static_cast<int>(i);
        }
        ADD_FAILURE() << "no find field " << column;
        return 0;
    }
    // The user asks for the entries priced above `limit`.
    void PriceAbove(const std::string& limit) {
        ui->OnModal<FindDialog>(FindDialog::kWindowName, [limit](FindDialog& d) {
            d.SetField(0, FieldIndex(d, "FPrice"));
            d.SetOperator(0, FindOp::kGreater);
            d.SetValue(0, limit);
            d.Run();
        });
    }

    void Walk(BrowseBase& w);
    void EditorCommands(BrowseBase& w);
    void BrowseCommands(BrowseBase& w);
    void BatchCommands(BrowseBase& w);

    TempCompany company_;
    std::unique_ptr<ScopedSession> session_;
    ScriptedUiScope ui;
    TestContext ctx_{TestContext::Slots::kShared};
    std::unique_ptr<LanguageScope> language_;
    std::shared_ptr<StatementLog> log_ = std::make_shared<StatementLog>();
    std::unique_ptr<StatementLogScope> logged_;
    std::string exportFile_;
    std::int32_t newEntry_ = 0;
    std::string caption_;  // the browse window's, in the session's language
};

void StatementTranscript::Walk(BrowseBase& w) {
    const Grouping& s = *GetParam().grouping;
    caption_ = w.Caption();
    Step("click the root");
    Click(w, "gc0");
    Step("click the leaf's group");
    Click(w, s.leafGroups.back());
    Step("collapse the leaf's group");
    w.tvwBase().UserCollapse(w.tvwBase().Find(s.leafGroups.back()));
    Step("expand the leaf's group and click the leaf");
    Expand(w, {s.leafGroups.back()});
    Click(w, s.leaf);
    Step("refresh");
    w.Menus().Click("mnuViewRefresh");
    EditorCommands(w);
    BrowseCommands(w);
    BatchCommands(w);
    Step("switch the tree");
    w.Menus().Click(s.byCustomer ? "mnuVBaseICItem" : "mnuVBaseSalePrice");
    Step("switch the tree back");
    w.tbToolBar().Click(s.byCustomer ? "Organization" : "ICItem");
    Step("close");
    w.Menus().Click("mnuFileClose");
}

void StatementTranscript::EditorCommands(BrowseBase& w) {
    const Grouping& s = *GetParam().grouping;
    Step("new entry: fill, save, new record, exit");
    ui->OnModal<frmProperty>("frmProperty", [&](frmProperty& e) {
        Fill(e, s.otherRow, s.newOther, "888");
        Type(e, R::kRowUnit, "BOX");
        Type(e, R::kRowNote, "transcript");
        ASSERT_TRUE(e.vaSProperty().UserMoveTo(2, R::kRowPrice));
        e.TbPrice().Click(W::kBtnSave);
        newEntry_ = e.EntryID();
        e.TbPrice().Click(W::kBtnNew);
        e.TbPrice().Click(W::kBtnExit);
    });
    w.tbToolBar().Click("New");
    ASSERT_GT(newEntry_, 0) << "the new entry was not saved";

    Step("lookups: F7 and F8 on the other party, F7 on the unit and on the currency, exit");
    ui->OnModal<frmProperty>("frmProperty", [&](frmProperty& e) {
        const std::int32_t unit = 102, other = s.newOtherID;
        ui->AnswerLookup({true, Record({{"Detail", true},
                                        {"Number", s.newOther},
                                        {"ItemID", other},
                                        {"Name", "picked"},
                                        {"FModel", "picked"}})});
        Press(e, s.otherRow, kKeyF7);
        ComponentRegistry::Register<BaseList>(
            BaseList::kProgID, [other] { return std::make_shared<PickingList>(other); });
        Press(e, s.otherRow, kKeyF8);
        ComponentRegistry::Register<BaseList>(
            BaseList::kProgID, [unit] { return std::make_shared<PickingList>(unit); });
        Press(e, R::kRowUnit, kKeyF7);
        ui->AnswerLookup({true, Record({{"FName", "USD"}, {"FCurrencyID", 2}})});
        Press(e, R::kRowCurrency, kKeyF7);
        e.TbPrice().Click(W::kBtnExit);  // "save?" No
    });
    w.tbToolBar().Click("New");
    EXPECT_EQ(ui->Lookups().size(), 2u);

    Step("modify: change the price, save, audit, step through the list, exit");
    SelectEntry(w, kEntry);
    ui->OnModal<frmProperty>("frmProperty", [&](frmProperty& e) {
        Type(e, R::kRowPrice, "745.5");
        ASSERT_TRUE(e.vaSProperty().UserMoveTo(2, R::kRowNote));
        e.TbPrice().Click(W::kBtnSave);
        e.TbPrice().Click(W::kBtnCheck);
        for (const char* step : {W::kBtnNext, W::kBtnPrevious, W::kBtnLast, W::kBtnFirst})
            e.TbPrice().Click(step);
        e.TbPrice().Click(W::kBtnExit);
    });
    w.tbToolBar().Click("Modify");
}

void StatementTranscript::BrowseCommands(BrowseBase& w) {
    const Grouping& s = *GetParam().grouping;
    for (const char* command : {"mnuUnCheck", "mnuCheck", "mnuCheck"}) {
        Step(std::string(command) + " (entry 15)");
        SelectEntry(w, kEntry);
        w.Menus().Click(command);
    }
    Step("delete the audited entry 15");
    SelectEntry(w, kEntry);
    ui->AnswerMessageBox(MsgResult::kYes);
    w.tbToolBar().Click("Delete");
    Step("delete the new entry");
    SelectEntry(w, newEntry_);
    ui->AnswerMessageBox(MsgResult::kYes);
    w.Menus().Click("mnuEditDelete");

    for (const bool allCustomers : {false, true}) {
        Step(allCustomers ? "minimum price for all customers" : "minimum price for the customer");
        SelectEntry(w, kEntry);
        ui->OnModal<frmSELowPrice>("frmSELowPrice", [allCustomers](frmSELowPrice& d) {
            if (allCustomers)
                d.OptAllCustClick();
            d.vsSELowPrice().SetText(1, 1, "12.5");
            d.CmdOKClick();
        });
        w.tbToolBar().Click("SELowPrice");
    }

    Step("find");
    PriceAbove("700");
    w.Menus().Click("mnuEditFind");
    Step("sort");
    ui->OnModal<FindDialog>(FindDialog::kWindowName, [](FindDialog& d) {
        d.SetSortKeys({{FieldIndex(d, "FPrice"), true}});
        d.Run();
    });
    w.tbToolBar().Click("Sort");
    Step("filter");
    PriceAbove("700");
    w.Menus().Click("mnuEditFilter");
    Step("export");
    w.Menus().Click("mnuFileExport");
    EXPECT_TRUE(std::filesystem::exists(exportFile_));
    Step("search all");
    PriceAbove("100000");
    w.tbToolBar().Click("FindAll");
    Step("click the leaf again");
    Expand(w, {"gc0"});
    Expand(w, s.leafGroups);
    Click(w, s.leaf);
}

void StatementTranscript::BatchCommands(BrowseBase& w) {
    const Grouping& s = *GetParam().grouping;
    Step("click the batch group");
    Expand(w, {"gc0"});
    Expand(w, s.batchGroupPath);
    Click(w, s.batchGroup);

    Step("batch add");
    ui->OnModal<frmProperty>("frmProperty", [&](frmProperty& e) {
        Fill(e, s.otherRow, s.batchOther, "321");
        e.TbPrice().Click(W::kBtnSave);
        e.TbPrice().Click(W::kBtnExit);
    });
    w.Menus().Click("mnuBatchAdd");
    Step("batch update");
    ui->OnModal<frmProperty>("frmProperty", [&](frmProperty& e) {
        Fill(e, s.otherRow, s.batchOther, "322");
        e.TbPrice().Click(W::kBtnSave);
        e.TbPrice().Click(W::kBtnExit);
    });
    w.Menus().Click("mnuBatchUpdate");
    Step("batch delete");
    ui->OnModal<frmProperty>("frmProperty", [&](frmProperty& e) {
        Fill(e, s.otherRow, s.batchOther, "322");
        ui->AnswerMessageBox(MsgResult::kYes);  // the batch's own question
        e.TbPrice().Click(W::kBtnDelete);
        e.TbPrice().Click(W::kBtnExit);
    });
    w.Menus().Click("mnuBatchDelete");
}

TEST_P(StatementTranscript, IsTheOneKept) {
    const Grouping& s = *GetParam().grouping;
    const bool chinese = std::string(GetParam().language) == "CHS";
    {
        Step("open on the preselected customer and item");
        CustFace face;
        face.CategoryByCust(s.byCustomer);
        face.SelCustID(kCustomer);
        face.SelICItemID(kItem);
        ui->OnModal<BrowseBase>("BrowseBase", [this](BrowseBase& w) { Walk(w); });
        face.Show(showedit);

        Step("selection mode: open on the pair, pick entry 15");
        face.ReturnType(ReturnItem);
        ui->OnModal<BrowseBase>("BrowseBase", [](BrowseBase& w) { w.SelectEntry(kEntry); });
        face.Show(ShowSelect);
        ASSERT_NE(face.ReturnRecordSet(), nullptr);
        EXPECT_EQ(face.ReturnRecordSet()->Fields("FEntryID").Value().ToInteger(), kEntry);

        Step("called from a sales bill: open on the pair, pick entry 15");
        face.CallByBill(true);
        ui->OnModal<BrowseBase>("BrowseBase", [](BrowseBase& w) { w.SelectEntry(kEntry); });
        face.Show(ShowSelect);
        EXPECT_NE(face.ReturnRecordSet(), nullptr);
    }
    EXPECT_EQ(ui->PendingScripts(), 0u);
    // The walk ran in the scenario's language.
    EXPECT_EQ(caption_ == "系统基本资料(客户价格管理)", chinese) << caption_;

    const std::string actual = Transcript(log_->Lines());
    const std::string path = std::string(ORVA_SOURCE_DIR) + "/tests/transcript/expected/" +
                             GetParam().transcript + ".txt";
    if (std::getenv("ORVA_WRITE_TRANSCRIPT") && chinese) {
        WriteFile(path, actual);
        return;
    }
    const std::string expected = ReadFile(path);
    ASSERT_FALSE(expected.empty()) << "no transcript at " << path;
    if (expected != actual)
        ADD_FAILURE() << path << ": " << FirstDifference(expected, actual);
}

INSTANTIATE_TEST_SUITE_P(DemoCompany, StatementTranscript, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orva::test
