// "Import…" from the browse window: the file the user picks is planned into
// the selected customer, the preview lists every row with its outcome and
// the counts, filters by outcome, takes the user's choice for a row below
// the minimum price, and "Import" writes exactly what it shows; the ledger
// is read again. A file that cannot be read is named in a message and
// nothing is written.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "browse/import_preview.h"
#include "browse_fixture.h"
#include "host/component_registry.h"
#include "model/sql_values.h"

namespace orva {
namespace {

namespace fs = std::filesystem;

// The user's answers: the file, where rejects go, and the sheet (none:
// the sheet question is cancelled); the sheets offered are kept.
struct Answers {
    std::string source, target;
    std::optional<std::string> sheet;
    std::vector<std::string> offered;
};

class ChosenFiles : public ImportFiles {
  public:
    explicit ChosenFiles(Answers& answers) : answers_(answers) {}
    std::optional<std::string> ChooseSource() override { return answers_.source; }
    std::optional<std::string> ChooseTarget(const std::string&) override { return answers_.target; }
    std::optional<std::string> ChooseSheet(const std::vector<std::string>& sheets) override {
        answers_.offered = sheets;
        return answers_.sheet;
    }

  private:
    Answers& answers_;
};

class ImportPreviewTest : public BrowseTest {
  protected:
    void SetUp() override {
        BrowseTest::SetUp();
        dir_ = test::MakeTempDir("orva-import-preview");
        answers_.target = dir_ + "/rejects.xlsx";
        ComponentRegistry::Register<ImportFiles>(
            ImportFiles::kProgID, [this] { return std::make_shared<ChosenFiles>(answers_); });
    }
    void TearDown() override {
        ComponentRegistry::Unregister(ImportFiles::kProgID);
        fs::remove_all(dir_);
        BrowseTest::TearDown();
    }
    void WriteSource(const std::string& text) {
        answers_.source = dir_ + "/prices.csv";
        std::ofstream(answers_.source, std::ios::binary) << text;
    }
    // A workbook written by openpyxl: a sheet of notes first, then prices.
    void WriteWorkbook() {
        answers_.source = dir_ + "/prices.xlsx";
        const std::string script = dir_ + "/write.py";
        std::ofstream(script) << "import openpyxl\n"
                                 "wb = openpyxl.Workbook()\n"
                                 "wb.active.title = 'Notes'\n"
                                 "wb.active.append(['Prices for 2027'])\n"
                                 "ws = wb.create_sheet('Prices')\n"
                                 "ws.append(['物料代码', '销货量(从)', '销货量(到)', '报价'])\n"
                                 "ws.append(['01.01.001', 7000, 7999, 500])\n"
                                 "wb.save('" +
                                     answers_.source + "')\n";
        ASSERT_EQ(std::system(("/usr/bin/python3 '" + script + "'").c_str()), 0);
    }

    std::string dir_;
    Answers answers_;
};

TEST_F(ImportPreviewTest, ThePreviewShowsEveryRowAndImportWritesWhatItShows) {
    BrowseBase& w = Open();
    const std::int32_t cust = DeepCustomer(3);
    ClickLeaf(w, cust);
    const int ledgerRows = w.ldgBase().Rows();
    // An item-level floor of 100 RMB on 01.01.002 for every customer.
    Query(
        "UPDATE t_ICItem SET FSalePriceFixingType=1,FSoLowPrc=100,FSoLowPrcMnyType=1 WHERE "
        "FNumber='01.01.002'");
    WriteSource(
        "物料代码,销货量(从),销货量(到),报价,备注\r\n"
        "01.01.001,7000,7999,500,first\r\n"
        "01.01.002,7000,7999,50,below the floor\r\n"
        "01.01.002,8000,8999,40,below too\r\n"
        "NO.SUCH,0,0,1,\r\n");
    ui->OnModal<ImportPreview>(ImportPreview::kWindowName, [](ImportPreview& p) {
        ASSERT_EQ(p.Plan().rows.size(), 4u);
        EXPECT_EQ(p.Shown().size(), 4u);
        EXPECT_EQ(p.Counts(), "新增 1  代码不存在 1  低于最低限价 2");
        p.SetFilter(import::RowOutcome::kBelowFloor);
        EXPECT_EQ(p.Shown(), (std::vector<std::size_t>{1, 2}));
        // The user lets the first of them through, as the editor would ask.
        p.ChooseBelowFloor(1, true);
        p.ChooseBelowFloor(3, true);  // not below the floor: no choice to make
        EXPECT_FALSE(p.Plan().rows[3].writeBelowFloor);
        p.Import();
        EXPECT_TRUE(p.Imported());
        ASSERT_TRUE(p.Result());
        EXPECT_EQ(p.Result()->added, 2);
        p.SaveRejects();
        p.Hide();
    });
    w.Menus().Click("mnuFileImport");

    const std::string pair = " AND FCustID=" + SqlId(cust);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM t_CustEntry WHERE FStartQty=7000" + pair), 2);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM t_CustEntry WHERE FStartQty=8000" + pair), 0);
    EXPECT_EQ(ui->MessageBoxTexts(), std::vector<std::string>{"此次共新增2条记录！\n修改 0"});
    EXPECT_TRUE(fs::exists(dir_ + "/rejects.xlsx"));
    // The ledger shows the new entries.
    EXPECT_EQ(w.ldgBase().Rows(), ledgerRows + 2);
}

TEST_F(ImportPreviewTest, AWorkbookOfSeveralSheetsIsReadFromTheSheetTheUserPicks) {
    BrowseBase& w = Open();
    ClickLeaf(w, DeepCustomer(3));
    WriteWorkbook();
    std::size_t previews = 0;
    ui->OnModal<ImportPreview>(ImportPreview::kWindowName, [&](ImportPreview& p) {
        ++previews;
        ASSERT_EQ(p.Plan().rows.size(), 1u);
        EXPECT_EQ(p.Counts(), "新增 1");
        p.Hide();
    });
    answers_.sheet = "Prices";
    w.Menus().Click("mnuFileImport");
    EXPECT_EQ(answers_.offered, (std::vector<std::string>{"Notes", "Prices"}));
    EXPECT_EQ(previews, 1u);
    // Cancelled at the sheet: no preview, no message.
    answers_.sheet.reset();
    w.Menus().Click("mnuFileImport");
    EXPECT_EQ(previews, 1u);
    EXPECT_TRUE(ui->MessageBoxTexts().empty());
}

TEST_F(ImportPreviewTest, AFileThatCannotBeReadIsNamedAndNothingOpens) {
    BrowseBase& w = Open();
    WriteSource(std::string("物料代码,报价\r\nA") + '\0' + "B,1\r\n");
    const std::int64_t before = Count("SELECT COUNT(*) FROM t_CustEntry");
    w.Menus().Click("mnuFileImport");
    EXPECT_EQ(ui->MessageBoxTexts(),
              std::vector<std::string>{"prices.csv，第2行：含有空字符(NUL)。没有引入任何记录。"});
    EXPECT_EQ(Count("SELECT COUNT(*) FROM t_CustEntry"), before);
}

}  // namespace
}  // namespace orva
