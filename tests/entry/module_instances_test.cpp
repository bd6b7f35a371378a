// Several CustFace instances in one process. Instances made on a session
// string of their own keep everything apart: each shows and returns the
// entries of its own company database, in its own language, with its own
// property puts, and destroying one leaves the other working. Default
// instances share one set of slots, as a host of the component expects.
#include <memory>
#include <string>
#include <vector>

#include "browse/browse_base.h"
#include "company_fixture.h"
#include "orvasaleprice/cust_face.h"
#include "orvasaleprice/host_session.h"
#include "session/res_text.h"

namespace orva {
namespace {

class ModuleInstances : public CompanyTest {
  protected:
    // The south company differs from the north one (company_) in every note.
    void SetUp() override {
        CompanyTest::SetUp();
        AppConnection(std::string_view(SouthSession()))
            .Execute("UPDATE t_CustEntry SET FNote='south'");
    }

    std::string NorthSession() const { return SessionString(company_.path(), demo::kAdminUserId); }
    std::string SouthSession() const {
        return SessionString(south_.path(), demo::kAdminUserId, "ENG");
    }

    // Two customers with price entries that the customer tree lists.
    std::pair<std::int32_t, std::int32_t> TwoCustomers() {
        AppConnection db{std::string_view(NorthSession())};
        RecordsetPtr rs = db.Execute(
            "SELECT TOP 2 e.FCustID FROM t_CustEntry e INNER JOIN t_ICItem t ON "
            "t.FItemID=e.FItemID WHERE t.FErpClsID NOT IN (6,8) GROUP BY e.FCustID "
            "ORDER BY e.FCustID");
        const auto first = static_cast<std::int32_t>(rs->Fields(0).Value().ToInteger());
        rs->MoveNext();
        return {first, static_cast<std::int32_t>(rs->Fields(0).Value().ToInteger())};
    }

    // On the next Show: the first data row of the preselected customer's
    // ledger is activated, and the language the window's texts use is noted.
    void PickFirstRow(std::string& language) {
        ui->OnModal<BrowseBase>("BrowseBase", [&language](BrowseBase& w) {
            language = GetResText("提示");
            w.ldgBase().UserDblClick(3, 2);
        });
    }

    static void Prepare(CustFace& face, std::int32_t cust) {
        face.ReturnType(ReturnItem);
        face.CategoryByCust(true);
        face.SelCustID(cust);
    }

    test::TempCompany south_;
};

TEST_F(ModuleInstances, TwoInstancesOnTwoCompaniesWorkSideBySide) {
    const auto [northCust, southCust] = TwoCustomers();
    // The host's own session names no database: neither instance reads it.
    StoreSession("");
    auto north = std::make_unique<CustFace>(NorthSession());
    CustFace south(SouthSession());
    Prepare(*north, northCust);
    Prepare(south, southCust);

    struct Show {
        CustFace* face;
        std::int32_t cust;
        bool south;       // the instance's company is the south one
        bool translated;  // the instance's language is not simplified Chinese
    };
    const Show shows[] = {
        {north.get(), northCust, false, false},
        {&south, southCust, true, true},
        {north.get(), northCust, false, false},  // north's slots are still its own
    };
    for (const Show& s : shows) {
        SCOPED_TRACE(s.south ? "south" : "north");
        std::string language;
        PickFirstRow(language);
        s.face->Show(ShowSelect);
        RecordsetPtr rs = s.face->ReturnRecordSet();
        ASSERT_NE(rs, nullptr);
        EXPECT_EQ(rs->Fields("FCustID").Value().ToInteger(), s.cust);
        EXPECT_EQ(rs->Fields("FNote").Value().ToText() == "south", s.south);
        EXPECT_EQ(language != "提示", s.translated) << language;
    }
    // Nothing of either reached the slots default instances share.
    EXPECT_EQ(ctx_->g_Connection, nullptr);
    EXPECT_EQ(ctx_->g_SelCustID, 0);
    EXPECT_EQ(ctx_->g_SessionProps, nullptr);

    north.reset();  // the south instance keeps its connection and works on
    std::string language;
    PickFirstRow(language);
    south.Show(ShowSelect);
    ASSERT_NE(south.ReturnRecordSet(), nullptr);
    EXPECT_EQ(south.ReturnRecordSet()->Fields("FNote").Value().ToText(), "south");
}

// The function rights of an instance are its user's in its own company: the
// host's session, which names no database, is not asked.
TEST_F(ModuleInstances, AnInstanceChecksRightsInItsOwnCompany) {
    StoreSession("");
    CustFace north(NorthSession());
    north.CategoryByCust(true);
    north.SelCustID(TwoCustomers().first);
    ui->OnModal<BrowseBase>("BrowseBase", [](BrowseBase& w) { w.tbToolBar().Click("New"); });
    north.Show(showedit);
    EXPECT_TRUE(ui->AssistantNotices().empty());  // no "没有权限" notice
    EXPECT_EQ(ui->ModalWindows(), (std::vector<std::string>{"BrowseBase", "frmProperty"}));
}

TEST_F(ModuleInstances, DefaultInstancesShareTheirSlots) {
    session_ = std::make_unique<test::ScopedSession>(company_.path(), demo::kAdminUserId);
    const std::int32_t cust = TwoCustomers().first;
    auto first = std::make_unique<CustFace>();
    Prepare(*first, cust);
    first.reset();
    EXPECT_EQ(ctx_->g_SelCustID, cust);  // kept for the next instance

    // The next one, with no property put, shows what the first one asked for.
    CustFace second;
    std::string language;
    PickFirstRow(language);
    second.Show(ShowSelect);
    ASSERT_NE(second.ReturnRecordSet(), nullptr);
    EXPECT_EQ(second.ReturnRecordSet()->Fields("FCustID").Value().ToInteger(), cust);
}

}  // namespace
}  // namespace orva
