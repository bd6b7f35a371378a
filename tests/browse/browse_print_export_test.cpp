// Print, preview, print setup, export and column show/hide from the browse
// window: what the window hands to the print and export components, the
// rights and the toolbar's refusals on a group, the failure messages, and
// the settings the choices are kept in.
#include <filesystem>
#include <regex>
#include <set>

#include "browse/browse_settings.h"
#include "browse_fixture.h"
#include "host/column_chooser.h"
#include "host/component_registry.h"
#include "host/export/export_component.h"
#include "host/print/ledger_print.h"
#include "orvasaleprice/com_error.h"
#include "orvasaleprice/variant.h"
#include "support/file_text.h"
#include "support/language_scope.h"

namespace orva {
namespace {

namespace fs = std::filesystem;

// The print component's stand-in: records what the ledger held while it ran.
struct PrintCall {
    bool preview = false;
    int printSetting = 0;
    std::string lines[Ledger::kTextlines + 1];
    int line1Size = 0;
    bool line1Bold = false;
    int rows = 0;
};

class RecordingPrint : public LedgerPrint {
  public:
    explicit RecordingPrint(std::vector<PrintCall>& calls, std::string failWith)
        : calls_(calls), failWith_(std::move(failWith)) {}
    void Ldg4Print(Ledger& ledger, bool preview) override {
        PrintCall call;
        call.preview = preview;
        call.printSetting = ledger.PrintSetting();
        for (int i = 1; i <= Ledger::kTextlines; ++i) call.lines[i] = ledger.Textline(i).text;
        call.line1Size = ledger.Textline(1).fontSize;
        call.line1Bold = ledger.Textline(1).fontBold;
        call.rows = ledger.Rows();
        calls_.push_back(call);
        if (!failWith_.empty())
            throw ComError(ComError::kGeneric, failWith_);
    }
    bool PrintSetup(Ledger& ledger) override {
        ledger.PrintPageSetup().landscape = true;
        ledger.PrintPageSetup().paper = "A3";
        ledger.PrintPageSetup().marginLeft = 7.5;
        ledger.PrintPageSetup().fitToWidth = false;
        return true;
    }

  private:
    std::vector<PrintCall>& calls_;
    std::string failWith_;
};

class BrowsePrintExport : public BrowseTest {
  protected:
    void SetUp() override {
        BrowseTest::SetUp();
        dir_ = test::MakeTempDir("orva-browse-export");
        ComponentRegistry::Register<LedgerPrint>(LedgerPrint::kProgID, [this] {
            return std::make_shared<RecordingPrint>(prints_, printFailure_);
        });
        RegisterExport();
    }
    // The export component writes to file_.
    void RegisterExport() {
        ComponentRegistry::Register<ExportComponent>(ExportComponent::kProgID, [this] {
            auto c = std::make_shared<ExportComponent>();
            c->SetTarget({file_, FormatOfPath(file_).value_or(ExportFormat::kCsv)});
            return c;
        });
    }
    void TearDown() override {
        ComponentRegistry::Unregister(LedgerPrint::kProgID);
        ComponentRegistry::Unregister(ExportComponent::kProgID);
        ComponentRegistry::Unregister(ColumnChooser::kProgID);
        fs::remove_all(dir_);
        BrowseTest::TearDown();
    }

    // The window on a customer with several price entries.
    BrowseBase& OpenOnCustomer() {
        BrowseBase& w = Open();
        cust_ = DeepCustomer(3);
        ClickLeaf(w, cust_);
        EXPECT_GE(w.ldgBase().Rows(), 5);
        return w;
    }
    // Exports to a CSV file and gives its lines (BOM and CRLF taken off).
    std::vector<std::string> ExportLines(BrowseBase& w) {
        file_ = (fs::path(dir_) / "out.csv").string();
        fs::remove(file_);
        w.Menus().Click("mnuFileExport");
        const std::string all = test::ReadFile(file_);
        EXPECT_EQ(all.substr(0, 3), "\xEF\xBB\xBF");
        std::vector<std::string> lines;
        for (std::size_t p = 3; p < all.size();) {
            const std::size_t end = all.find("\r\n", p);
            lines.push_back(all.substr(p, end - p));
            p = end + 2;
        }
        return lines;
    }
    // The ledger row as the export writes it: visible columns 2 on, comma
    // separated (the demo's texts need no quotes).
    static std::string VisibleRow(Ledger& l, int row) {
        std::string line;
        bool first = true;
        for (int c = 2; c <= l.Cols(); ++c) {
            if (l.ColHidden(c))
                continue;
            if (!first)
                line += ',';
            first = false;
            line += row <= 2 ? l.CellText(1, c) + l.CellText(2, c) : l.CellText(row, c);
        }
        return line;
    }

    std::string dir_;
    std::string file_;
    std::vector<PrintCall> prints_;
    std::string printFailure_;
    std::int32_t cust_ = 0;
};

TEST_F(BrowsePrintExport, ExportWritesTheVisibleColumnsFromTwoOnAndEveryRow) {
    BrowseBase& w = OpenOnCustomer();
    Ledger& l = w.ldgBase();
    // A column the user hid, besides column 1 and the two fixed hidden ones.
    l.SetColHidden(4, true);
    l.UserClick(3, 5);
    const int rows = l.Rows();

    const std::vector<std::string> lines = ExportLines(w);
    ASSERT_EQ(static_cast<int>(lines.size()), rows - 1);  // captions and rows - 2 data rows
    EXPECT_EQ(lines[0], VisibleRow(l, 1));
    for (int r = 3; r <= rows; ++r) EXPECT_EQ(lines[r - 2], VisibleRow(l, r)) << r;
    // Captions: title row 1 and row 2 joined; a column whose row 2 is empty
    // has row 1's text alone; the minimum price's shared title goes to its
    // first column.
    EXPECT_EQ(lines[0].substr(0, lines[0].find(',')), l.CellText(1, 2));
    EXPECT_NE(lines[0].find("最低限价币别"), std::string::npos) << lines[0];
    EXPECT_EQ(lines[0].find(l.CellText(1, 4)), std::string::npos);
    // Column 1 (the entry ID) is not exported: the first field is the code.
    EXPECT_EQ(lines[1].substr(0, lines[1].find(',')), l.CellText(3, 2));
    // Neither the ledger's rows nor its current cell changed.
    EXPECT_EQ(l.Rows(), rows);
    EXPECT_EQ(l.Row(), 3);
    EXPECT_EQ(l.Col(), 5);
    EXPECT_TRUE(ui->MessageBoxes().empty());
}

TEST_F(BrowsePrintExport, AGroupsEmptyLedgerExportsItsCaptionsAndZeroRows) {
    BrowseBase& w = Open();
    ClickNode(w, "gc0");
    const std::vector<std::string> lines = ExportLines(w);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], VisibleRow(w.ldgBase(), 1));
}

// The message is the component's text alone, in the session's language;
// the cause (the system's words, naming the file) comes apart as the detail.
TEST_F(BrowsePrintExport, ExportFailuresShowTheMessageInTheSessionsLanguageAndTheCauseApart) {
    const struct {
        const char* language;
        const char* text;
        const char* title;
    } languages[] = {
        {"CHS", "引出组件调用不成功", "Tesmar提示"},
        {"ENG", "The export did not succeed.", "Tesmar Notice"},
    };
    for (const auto& l : languages) {
        test::LanguageScope language(l.language);
        ui->ClearRecords();
        RegisterExport();
        BrowseBase& w = OpenOnCustomer();
        file_ = (fs::path(dir_) / "missing" / "out.csv").string();
        w.Menus().Click("mnuFileExport");
        ComponentRegistry::Unregister(ExportComponent::kProgID);
        w.Menus().Click("mnuFileExport");
        ASSERT_EQ(ui->MessageBoxes().size(), 2u) << l.language;
        for (const auto& box : ui->MessageBoxes()) {
            EXPECT_EQ(box.text, l.text);
            EXPECT_EQ(box.title, l.title);
            EXPECT_EQ(box.icon, MsgIcon::kNone);
            EXPECT_EQ(box.buttons, MsgButtons::kOK);
            EXPECT_NE(box.detail, "") << l.language;
        }
        EXPECT_NE(ui->MessageBoxes()[0].detail.find(file_), std::string::npos);
        EXPECT_FALSE(fs::exists(file_));
    }
}

TEST_F(BrowsePrintExport, PrintAndPreviewWriteTheHeaderAndFooterLines) {
    BrowseBase& w = OpenOnCustomer();
    w.Menus().Click("mnuFilePrint");
    w.tbToolBar().Click("PrintView");
    ASSERT_EQ(prints_.size(), 2u);
    EXPECT_FALSE(prints_[0].preview);
    EXPECT_TRUE(prints_[1].preview);
    for (const PrintCall& p : prints_) {
        EXPECT_EQ(p.printSetting, 300);
        EXPECT_EQ(p.lines[1], w.ldgBase().Textline(1).text);
        EXPECT_NE(p.lines[1].find("价格信息"), std::string::npos);
        EXPECT_EQ(p.lines[2], "");
        EXPECT_EQ(p.lines[3], Date::Today().ToText());
        EXPECT_EQ(p.lines[6], "  ");
        EXPECT_EQ(p.lines[7], "第&[页]页/共&[总页]页  ");
        EXPECT_EQ(p.line1Size, 14);
        EXPECT_TRUE(p.line1Bold);
    }
    EXPECT_EQ(w.ldgBase().PrintSetting(), -1);
    EXPECT_TRUE(ui->MessageBoxes().empty());
}

TEST_F(BrowsePrintExport, OnAGroupTheMenusPrintTitlesButTheToolbarRefuses) {
    BrowseBase& w = Open();
    ClickNode(w, "gc0");
    w.tbToolBar().Click("Print");
    w.tbToolBar().Click("PrintView");
    EXPECT_TRUE(prints_.empty());
    ASSERT_EQ(ui->MessageBoxes().size(), 2u);
    EXPECT_EQ(ui->MessageBoxes()[0].text, "不是明细项，无法进行打印！");
    EXPECT_EQ(ui->MessageBoxes()[1].text, "不是明细项，无法进行打印预览！");
    for (const auto& box : ui->MessageBoxes()) {
        EXPECT_EQ(box.icon, MsgIcon::kInformation);
        EXPECT_EQ(box.title, "Tesmar提示");
    }
    w.Menus().Click("mnuFilePreview");
    w.Menus().Click("mnuFilePrint");
    ASSERT_EQ(prints_.size(), 2u);
    EXPECT_EQ(prints_[0].rows, 2);
}

TEST_F(BrowsePrintExport, APrintFailureShowsItsDescriptionAndARefusedRightPrintsNothing) {
    BrowseBase& w = OpenOnCustomer();
    printFailure_ = "printer on fire";
    w.Menus().Click("mnuFilePrint");
    ASSERT_EQ(ui->MessageBoxes().size(), 1u);
    EXPECT_EQ(ui->MessageBoxes()[0].text, "printer on fire");
    EXPECT_EQ(ui->MessageBoxes()[0].title, "");
    EXPECT_EQ(ui->MessageBoxes()[0].icon, MsgIcon::kNone);
    EXPECT_EQ(w.ldgBase().PrintSetting(), 300);  // kept after a failed job

    prints_.clear();
    ui->ClearRecords();
    Query("UPDATE t_OrvaAccessRight SET FRights=0");
    LogOn(demo::kLimitedUserId);
    w.Menus().Click("mnuFilePrint");
    w.Menus().Click("mnuFilePreview");
    EXPECT_TRUE(prints_.empty());
    EXPECT_EQ(ui->AssistantNotices().size(), 2u);
}

TEST_F(BrowsePrintExport, PrintSetupIsKeptForTheNextStart) {
    BrowseBase& w = Open();
    w.Menus().Click("mnuFilePrintSetup");
    w.Unload();
    BrowseBase& again = Open();
    const PageSetup& setup = again.ldgBase().PrintPageSetup();
    EXPECT_TRUE(setup.landscape);
    EXPECT_EQ(setup.paper, "A3");
    EXPECT_DOUBLE_EQ(setup.marginLeft, 7.5);
    EXPECT_DOUBLE_EQ(setup.marginTop, 15);
    EXPECT_FALSE(setup.fitToWidth);

    // Margins that make no sense are not taken.
    settings_->Write(browse_settings::kApp, browse_settings::kOwnSection, "PrintMargins",
                     "1,2,x,4");
    window_.reset();
    EXPECT_DOUBLE_EQ(Open().ldgBase().PrintPageSetup().marginLeft, 15);
}

// A store that notes where every write went.
class NotingStore : public MemorySettingsStore {
  public:
    void Write(std::string_view app, std::string_view section, std::string_view key,
               std::string_view value) override {
        written.emplace_back(std::string(section), std::string(key));
        MemorySettingsStore::Write(app, section, key, value);
    }
    std::vector<std::pair<std::string, std::string>> written;  // section, key
};

// A store that keeps no change, as a batch job's.
class UnchangingStore : public MemorySettingsStore {
  public:
    void Write(std::string_view, std::string_view, std::string_view, std::string_view) override {}
    void Remove(std::string_view, std::string_view, std::string_view) override {}
    void Seed(const char* key, const char* value) {
        MemorySettingsStore::Write(browse_settings::kApp, browse_settings::kSection, key, value);
    }
};

TEST_F(BrowsePrintExport, TheHostsSectionGetsOnlyTheHostsKeysAndTheRestGoesToTheWindowsOwn) {
    auto store = std::make_shared<NotingStore>();
    SetCurrentSettings(store);
    BrowseBase& w = OpenOnCustomer();
    w.Menus().Click("mnuFilePrintSetup");
    w.SplitterMouseDown(5000);
    w.SplitterMouseUp(4200);
    w.Menus().Click("mnuVBaseICItem");
    w.Menus().Click("mnuFilePreview");
    w.Unload();

    const std::regex hostKeys(
        "CategoryByCust|tvwKey101|tvwKey101_Parent|LdgSelRow|[0-9]+(CustCol|ICItemCol)(Hide)?");
    std::set<std::string> own;
    for (const auto& [section, key] : store->written) {
        if (section == browse_settings::kSection)
            EXPECT_TRUE(std::regex_match(key, hostKeys)) << key;
        else if (section == browse_settings::kOwnSection)
            own.insert(key);
        else
            ADD_FAILURE() << section << "/" << key;
    }
    EXPECT_EQ(own, (std::set<std::string>{"PrintPaper", "PrintLandscape", "PrintMargins",
                                          "PrintFitToWidth", "TreeWidth"}));
}

// A page setup that an earlier version kept in the host's section is taken
// over: read there once, moved to the window's own section, where a value
// already saved wins.
TEST_F(BrowsePrintExport, APageSetupLeftInTheHostsSectionIsTakenOverOnce) {
    namespace bs = browse_settings;
    const auto old = [&](const char* key) { return settings_->Read(bs::kApp, bs::kSection, key); };
    const auto own = [&](const char* key) {
        return settings_->Read(bs::kApp, bs::kOwnSection, key);
    };
    settings_->Write(bs::kApp, bs::kSection, "PrintPaper", "A3");
    settings_->Write(bs::kApp, bs::kSection, "PrintLandscape", "True");
    settings_->Write(bs::kApp, bs::kSection, "PrintMargins", "5,6,7,8");
    settings_->Write(bs::kApp, bs::kSection, "PrintFitToWidth", "False");
    settings_->Write(bs::kApp, bs::kOwnSection, "PrintPaper", "Letter");  // saved since: wins
    for (int start = 1; start <= 2; ++start) {
        window_.reset();
        const PageSetup setup = Open().ldgBase().PrintPageSetup();
        EXPECT_EQ(setup.paper, "Letter") << start;
        EXPECT_TRUE(setup.landscape) << start;
        EXPECT_DOUBLE_EQ(setup.marginBottom, 8) << start;
        EXPECT_FALSE(setup.fitToWidth) << start;
        for (const char* key : {"PrintPaper", "PrintLandscape", "PrintMargins", "PrintFitToWidth"})
            EXPECT_FALSE(old(key)) << key;
    }
    EXPECT_EQ(own("PrintMargins"), "5,6,7,8");
    EXPECT_EQ(own("PrintPaper"), "Letter");

    // A store that keeps no change still gives the old choice.
    auto unchanging = std::make_shared<UnchangingStore>();
    unchanging->Seed("PrintPaper", "A5");
    unchanging->Seed("PrintLandscape", "True");
    SetCurrentSettings(unchanging);
    window_.reset();
    const PageSetup setup = Open().ldgBase().PrintPageSetup();
    EXPECT_EQ(setup.paper, "A5");
    EXPECT_TRUE(setup.landscape);
}

TEST_F(BrowsePrintExport, ColumnsHiddenInTheDialogAreSavedAndLeaveTheExport) {
    class HidingChooser : public ColumnChooser {
        bool Show(Ledger& ledger) override {
            ledger.SetColHidden(3, true);
            return true;
        }
    };
    ComponentRegistry::Register<ColumnChooser>(ColumnChooser::kProgID,
                                               [] { return std::make_shared<HidingChooser>(); });
    BrowseBase& w = OpenOnCustomer();
    const std::string caption3 = w.ldgBase().CellText(1, 3);
    w.Menus().Click("mnuHideCol");
    EXPECT_TRUE(settings_->Get(browse_settings::ColHidden(false, 3)));
    EXPECT_FALSE(settings_->Get(browse_settings::ColHidden(true, 3)));
    EXPECT_EQ(ExportLines(w)[0].find(caption3), std::string::npos);
}

}  // namespace
}  // namespace orva
