// The detail-member walk the batch operations send: a #Stack work table,
// WHILE/IF EXISTS/SELECT @v=/@@ROWCOUNT, then the rights-filtered select.
#include <algorithm>
#include <functional>
#include <map>

#include "tsql_fixture.h"

namespace orva::tsqltest {
namespace {

using Ids = std::vector<std::string>;
const std::string kCrLf = "\r\n";

enum class Rights { kNone, kDirect, kGroup };

// The batch text, line by line as the engine builds it.
std::string DetailWalk(int group, bool items, Rights rights, int user) {
    std::string u = std::to_string(user);
    std::string s;
    for (const std::string& line :
         {std::string("SET NOCOUNT ON"),
          std::string("CREATE TABLE #Stack(FItemID INT ,FDetail INT,FLevel INT)"),
          "INSERT INTO #Stack(FItemID,FDetail,FLevel) VALUES(" + std::to_string(group) + ",0,1)",
          std::string("DECLARE @Level INT"),
          std::string("DECLARE @CurrentItemID INT"),
          std::string("SET @Level=1"),
          std::string("WHILE @Level>0"),
          std::string("BEGIN"),
          std::string("    IF EXISTS(SELECT * FROM #Stack WHERE FLevel=@Level AND FDetail=0)"),
          std::string("    BEGIN"),
          std::string("        SELECT @CurrentItemID=FItemID FROM #Stack"),
          std::string("        WHERE FLevel=@Level AND FDetail=0"),
          std::string("        DELETE FROM #Stack WHERE FLevel=@Level AND FItemID=@CurrentItemID"),
          std::string("        INSERT INTO #Stack(FItemID,FDetail,FLevel)"),
          items ? std::string("        SELECT t1.FItemID,t1.FDetail,@Level+1 FROM t_Item t1, "
                              "t_ICItem t2 WHERE t1.fitemid = t2.fitemid and "
                              "t1.FParentID=@CurrentItemID AND t1.FItemClassID=4 and "
                              "t2.ferpclsid<>8")
                : std::string("        SELECT FItemID,FDetail,@Level+1 FROM t_Item WHERE "
                              "FParentID=@CurrentItemID AND FItemClassID=1"),
          std::string("        IF @@ROWCOUNT>0"),
          std::string("            SELECT @Level=@Level+1"),
          std::string("END"),
          std::string("Else"),
          std::string("    SELECT @Level=@Level-1"),
          std::string("END")}) {
        s += line + kCrLf;
    }
    s += "SELECT Distinct v1.FItemID " + kCrLf;
    s += " FROM #Stack v1 " + kCrLf;
    if (rights == Rights::kGroup) {
        s += " Inner join t_Item v2 on v1.FItemID=v2.FITemID " + kCrLf +
             " INNER JOIN t_Item t9 ON LEFT(v2.FNumber,LEN(v2.FNumber)-CHARINDEX('.',REVERSE(RTRIM("
             "v2.FNumber)))) = t9.FNumber" +
             kCrLf + " INNER JOIN t_ItemRight t7 ON t9.FItemID=t7.FItemID" + kCrLf;
    } else if (rights == Rights::kDirect) {
        s += " INNER JOIN t_ItemRight t7 ON v1.FItemID=t7.FItemID" + kCrLf;
    }
    s += " WHERE 1=1 " + kCrLf;
    if (rights != Rights::kNone) {
        s +=
            std::string(items ? "AND t7.FTypeID=4" : "AND t7.FTypeID=1") + kCrLf +
            "AND (t7.FuserID=" + u +
            " OR t7.FUserID IN (Select FGroupID From t_Group Where FGroupID <> 0 And FUserID=" + u +
            " ))" + kCrLf;
    }
    s += " ORDER BY v1.FItemID" + kCrLf + kCrLf;
    s += "DROP TABLE #Stack" + kCrLf + "SET NOCOUNT OFF" + kCrLf;
    return s;
}

class DetailQueries : public TsqlTest {
  protected:
    // Adds a record of class `cls` under `parent` (0: top level).
    void Add(int id, int cls, const std::string& number, int parent, bool detail, int erpCls = 1) {
        int level = parent == 0 ? 1 : levels_[parent] + 1;
        levels_[id] = level;
        std::string sql =
            "INSERT INTO t_Item (FItemID,FItemClassID,FNumber,FShortNumber,FName,"
            "FParentID,FLevel,FDetail) VALUES (" +
            std::to_string(id) + "," + std::to_string(cls) + ",'" + number + "','" + number +
            "','N" + number + "'," + std::to_string(parent) + "," + std::to_string(level) + "," +
            (detail ? "1" : "0") + ")";
        if (cls == 4) {
            sql += "\r\nINSERT INTO t_ICItem (FItemID,FNumber,FName,FParentID,FErpClsID) VALUES (" +
                   std::to_string(id) + ",'" + number + "','N" + number + "'," +
                   std::to_string(parent) + "," + std::to_string(erpCls) + ")";
        }
        Run(sql);
    }
    Ids Walk(int group, bool items, Rights rights = Rights::kNone, int user = 5) {
        BatchResult r = Run(DetailWalk(group, items, rights, user));
        EXPECT_EQ(r.recordsets.size(), 1u);
        if (r.recordsets.size() != 1)
            return {};
        EXPECT_EQ(r.recordsets[0]->FieldName(0), "FItemID");
        return Column(r.recordsets[0]);
    }
    void ItemTree() {
        Add(1, 4, "01", 0, false);
        Add(2, 4, "01.01", 1, false);
        Add(3, 4, "01.01.01", 2, false);
        Add(4, 4, "01.01.01.01", 3, false);
        Add(10, 4, "01.001", 1, true);
        Add(11, 4, "01.002", 1, true, 8);  // feature class: never a member
        Add(12, 4, "01.01.001", 2, true);
        Add(13, 4, "01.01.01.001", 3, true);
        Add(15, 4, "01.01.01.01.002", 4, true);
        Add(14, 4, "01.01.01.01.001", 4, true);
        Add(5, 4, "02", 0, false);
        Add(20, 4, "02.001", 5, true);
        Add(6, 4, "03", 0, false);
        Add(30, 4, "03.001", 6, true, 8);
    }
    std::map<int, int> levels_;
};

TEST_P(DetailQueries, ItemGroupYieldsEveryDetailOfItsSubtreeOnceInOrder) {
    ItemTree();
    EXPECT_EQ(Walk(1, true), (Ids{"10", "12", "13", "14", "15"}));
    EXPECT_EQ(Walk(3, true), (Ids{"13", "14", "15"}));
    EXPECT_EQ(Walk(5, true), (Ids{"20"}));
    // Only a feature-class item: nothing.
    EXPECT_EQ(Walk(6, true), Ids{});
    // A detail record passed as the group is expanded like one: nothing.
    EXPECT_EQ(Walk(10, true), Ids{});
    // The same text again (translation and statements cached) and the
    // connection's work table is gone after each run.
    EXPECT_EQ(Walk(1, true), (Ids{"10", "12", "13", "14", "15"}));
    EXPECT_TRUE(FailsWith("SELECT * FROM #Stack", MissingTable()));
}

TEST_P(DetailQueries, RightsOnTheMemberOrOnItsParentGroup) {
    ItemTree();
    Run("INSERT INTO t_Group (FGroupID, FUserID) VALUES (7, 5), (0, 5)\r\n"
        "INSERT INTO t_ItemRight (FUserID, FTypeID, FItemID) VALUES "
        "(5, 4, 12), (7, 4, 14), (5, 4, 14), (0, 4, 15), (6, 4, 13), (5, 1, 13), (5, 4, 4), (7, 4, "
        "1)");
    // Direct rights: held by the user or one of its groups (not group 0), once each.
    EXPECT_EQ(Walk(1, true, Rights::kDirect), (Ids{"12", "14"}));
    // Group rights: a member is granted through the group before its last code segment.
    EXPECT_EQ(Walk(1, true, Rights::kGroup), (Ids{"10", "14", "15"}));
    // A user without any right sees nothing.
    EXPECT_EQ(Walk(1, true, Rights::kDirect, 99), Ids{});
    EXPECT_EQ(Walk(1, true, Rights::kGroup, 99), Ids{});
}

TEST_P(DetailQueries, CustomerGroups) {
    Add(100, 1, "A", 0, false);
    Add(101, 1, "A.01", 100, false);
    Add(110, 1, "A.001", 100, true);
    Add(111, 1, "A.01.001", 101, true);
    Add(112, 1, "a.01.002", 101, true);  // codes compare case-insensitively
    Add(120, 4, "A.01.003", 101, true);  // an item: not a customer member
    Run("INSERT INTO t_ItemRight (FUserID, FTypeID, FItemID) VALUES (5, 1, 101), (5, 1, 110)");
    EXPECT_EQ(Walk(100, false), (Ids{"110", "111", "112"}));
    EXPECT_EQ(Walk(100, false, Rights::kGroup), (Ids{"111", "112"}));
    EXPECT_EQ(Walk(100, false, Rights::kDirect), (Ids{"110"}));
}

TEST_P(DetailQueries, DeepGeneratedTreeMatchesARecursiveWalk) {
    // Eight levels, three sub-groups and a few details per group.
    std::map<int, std::vector<int>> children;
    std::map<int, bool> isDetail;
    int next = 1000;
    std::string sql;
    std::function<void(int, const std::string&, int)> build = [&](int id, const std::string& code,
                                                                  int depth) {
        int details = 1 + id % 3;
        for (int d = 0; d < details; ++d) {
            int c = next++;
            std::string cc = code + ".d" + std::to_string(d);
            children[id].push_back(c);
            isDetail[c] = true;
            Add(c, 1, cc, id, true);
        }
        if (depth == 8)
            return;
        for (int g = 0; g < (depth < 3 ? 3 : 1); ++g) {
            int c = next++;
            children[id].push_back(c);
            isDetail[c] = false;
            Add(c, 1, code + ".g" + std::to_string(g), id, false);
            build(c, code + ".g" + std::to_string(g), depth + 1);
        }
    };
    Add(999, 1, "R", 0, false);
    build(999, "R", 1);
    std::vector<int> expected;
    std::function<void(int)> collect = [&](int id) {
        for (int c : children[id]) {
            if (isDetail[c]) {
                expected.push_back(c);
            } else {
                collect(c);
            }
        }
    };
    collect(999);
    std::sort(expected.begin(), expected.end());
    Ids want;
    for (int id : expected) want.push_back(std::to_string(id));
    EXPECT_GT(want.size(), 100u);
    EXPECT_EQ(Walk(999, false), want);
}

INSTANTIATE_TEST_SUITE_P(Engines, DetailQueries, AllEngines(), EngineName);

}  // namespace
}  // namespace orva::tsqltest
