// "检查重叠价格" from the browse window: what the question counts, what the
// export writes, and nothing written on No or when nothing overlaps.
#include <filesystem>

#include "browse/check_overlaps.h"
#include "browse_fixture.h"
#include "host/component_registry.h"
#include "host/export/export_component.h"
#include "support/file_text.h"

namespace orva {
namespace {

namespace fs = std::filesystem;

class BrowseOverlaps : public BrowseTest {
  protected:
    void SetUp() override {
        BrowseTest::SetUp();
        dir_ = test::MakeTempDir("orva-browse-overlaps");
        file_ = (fs::path(dir_) / "overlaps.csv").string();
        ComponentRegistry::Register<ExportComponent>(ExportComponent::kProgID, [this] {
            auto c = std::make_shared<ExportComponent>();
            c->SetTarget({file_, ExportFormat::kCsv});
            return c;
        });
    }
    void TearDown() override {
        ComponentRegistry::Unregister(ExportComponent::kProgID);
        fs::remove_all(dir_);
        BrowseTest::TearDown();
    }

    // The lines of the written file (BOM and CRLF taken off); none when no
    // file was written.
    std::vector<std::string> Lines() {
        std::vector<std::string> lines;
        if (!fs::exists(file_))
            return lines;
        const std::string all = test::ReadFile(file_);
        for (std::size_t p = 3; p < all.size();) {
            const std::size_t end = all.find("\r\n", p);
            lines.push_back(all.substr(p, end - p));
            p = end + 2;
        }
        return lines;
    }

    std::string dir_;
    std::string file_;
};

TEST_F(BrowseOverlaps, WholeCompanyCountedAskedAndExportedPairByPair) {
    BrowseBase& w = Open();
    const OverlapList list = CheckOverlaps(*ctx_, false, {TreeNodeKey::kRoot, 0});
    ASSERT_FALSE(list.rows.empty()) << "announced prices overlap the open base prices";
    const OverlapRow& first = list.rows.front();

    ui->AnswerMessageBox(MsgResult::kYes);
    w.Menus().Click("mnuCheckOverlaps");
    ASSERT_EQ(ui->MessageBoxes().size(), 1u);
    EXPECT_NE(ui->MessageBoxes()[0].text.find(std::to_string(list.rows.size())), std::string::npos);

    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), list.rows.size() + 1);
    const std::string header = "客户代码,客户名称,物料代码,物料名称,计量单位,币别,价格编号 1";
    EXPECT_EQ(lines[0].substr(0, header.size()), header);
    const std::string expected = OverlapList::Of(list.customers, first.custID).number + "," +
                                 OverlapList::Of(list.customers, first.custID).name + ",";
    EXPECT_EQ(lines[1].substr(0, expected.size()), expected);
    EXPECT_NE(lines[1].find("," + std::to_string(first.first.entryID) + ","), std::string::npos);
    EXPECT_NE(lines[1].find("," + std::to_string(first.second.entryID) + ","), std::string::npos);
    EXPECT_NE(lines[1].find(first.second.quoteTime.ToText()), std::string::npos);
}

TEST_F(BrowseOverlaps, NoWritesOnNoAndAMessageWhenNothingOverlaps) {
    BrowseBase& w = Open();
    ui->AnswerMessageBox(MsgResult::kNo);
    w.Menus().Click("mnuCheckOverlaps");
    EXPECT_TRUE(Lines().empty());

    // A customer without entries: nothing to ask about.
    const std::int32_t cust = DeepCustomer(3);
    Query("DELETE FROM t_CustEntry WHERE FCustID=" + std::to_string(cust));
    ClickLeaf(w, cust);
    ui->ClearRecords();
    w.Menus().Click("mnuCheckOverlaps");
    ASSERT_EQ(ui->MessageBoxTexts(), std::vector<std::string>{"没有重叠的价格。"});
    EXPECT_TRUE(Lines().empty());
}

}  // namespace
}  // namespace orva
