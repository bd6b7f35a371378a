// Texts a clerk may type that look like SQL (quotes, comments, semicolons,
// dollar quotes, backslashes, LIKE's wildcards): saved through the editor,
// they are stored as typed and nothing else runs; searched for with find's
// search all, they match exactly the entry that holds them. On the company
// file and, when the test server can be started, on PostgreSQL, whose own
// quoting (dollar quotes, E'' strings) differs from T-SQL's.
#include "browse/find_search_all.h"
#include "engine_fixture.h"
#include "host/find/find_criteria.h"
#include "host/find/search_all_source.h"
#include "support/postgres_server.h"

namespace orva::test {
namespace {

using R = UserDefInfo;

const char* const kTexts[] = {
    "O'Neil; DROP TABLE t_Cust --",
    "'); DELETE FROM t_CustEntry; --",
    "/* open comment ; SELECT 1",
    "x */ ; UPDATE t_CustEntry SET FPrice=0 --",
    "$$; DROP TABLE t_Cust; $$",
    "$q$ '' $q$",
    "back\\slash \\' E'\\x27'",
    "50%_[x]! ^",
    "\"quoted\"; GO",
};

class HostileTextTest : public EngineTest, public ::testing::WithParamInterface<bool> {
  protected:
    void SetUp() override {
        if (GetParam()) {
            if (const std::string why = NewServerCompany(TempCompany::kDemo, uri_); !why.empty())
                GTEST_SKIP() << why;
        }
        EngineTest::SetUp();
    }

    // The customers search all finds with the note equal to, or containing,
    // the text.
    std::vector<std::int64_t> Found(const std::string& text, FindOp op) {
        FindField note;
        note.column = "FNote";
        note.dataType = 1;
        auto checked = CheckCriteria({note}, FindCriteria{FindJoin::kAll, {{0, op, text, ""}}});
        if (!std::holds_alternative<CheckedCriteria>(checked))
            return {-1};
        SearchAllRequest request;
        request.criteria = &std::get<CheckedCriteria>(checked);
        std::vector<std::int64_t> out;
        for (RecordsetPtr rs =
                 ctx_->g_Connection->Execute(BrowseSearchAll::MatchingLeavesSql(request));
             !rs->EOF_(); rs->MoveNext())
            out.push_back(rs->Fields(0).Value().ToInteger());
        return out;
    }
};

TEST_P(HostileTextTest, StoredAsTypedAndFoundByWhatWasTyped) {
    const std::int32_t cust = CustomerID("99");
    const long entries = Count("SELECT COUNT(*) FROM t_CustEntry");
    const long headers = Count("SELECT COUNT(*) FROM t_Cust");
    int band = 0;
    for (const char* text : kTexts) {
        SCOPED_TRACE(text);
        Open(EditorOperation::kSingle, cust, 0);
        ASSERT_TRUE(Type(R::kRowItemNumber, "01.01.001")) << message;
        ASSERT_TRUE(Type(R::kRowStartQty, std::to_string(band * 1000 + 1)));
        ASSERT_TRUE(Type(R::kRowEndQty, std::to_string(band * 1000 + 100)));
        ASSERT_TRUE(Type(R::kRowPrice, "12.5"));
        ASSERT_TRUE(Type(R::kRowQuoteTime, "2026-01-01"));
        ASSERT_TRUE(Type(R::kRowNote, text));
        ASSERT_TRUE(engine->Add()) << message;
        ++band;
        EXPECT_EQ(Scalar("SELECT FNote FROM t_CustEntry WHERE FEntryID=" +
                         std::to_string(engine->SelEntryID)),
                  text);
        EXPECT_EQ(Found(text, FindOp::kEquals), std::vector<std::int64_t>{cust});
        EXPECT_EQ(Found(text, FindOp::kContains), std::vector<std::int64_t>{cust});
    }
    // Nothing but the saves ran: every entry and header row is still there,
    // no price was changed, and the new ones are exactly the saves.
    EXPECT_EQ(Count("SELECT COUNT(*) FROM t_CustEntry"), entries + band);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM t_Cust"), headers + 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM t_CustEntry WHERE FPrice=0"),
              Count("SELECT COUNT(*) FROM t_CustEntry WHERE FPrice=0 AND FItemID<>1098"));
}

INSTANTIATE_TEST_SUITE_P(Engines, HostileTextTest, ::testing::Bool(), [](const auto& info) {
    return info.param ? "PostgreSQL" : "CompanyFile";
});

}  // namespace
}  // namespace orva::test
