#include "common/item_group_tree.h"

#include <vector>

#include "common/raw_sqlite.h"
#include "demo/company_generator.h"

namespace orva::bench {
namespace {

const std::string kCrLf = "\r\n";

struct Group {
    int id;
    std::string code;
    int level;
};

// Prepared inserts of an item's t_Item and t_ICItem rows.
class ItemWriter {
  public:
    explicit ItemWriter(sqlite3* db) {
        sqlite3_prepare_v2(db,
                           "INSERT INTO t_Item (FItemID,FItemClassID,FNumber,FName,FParentID,"
                           "FLevel,FDetail) VALUES (?1,4,?2,?2,?3,?4,?5)",
                           -1, &item_, nullptr);
        sqlite3_prepare_v2(db,
                           "INSERT INTO t_ICItem (FItemID,FNumber,FName,FParentID,FErpClsID) "
                           "VALUES (?1,?2,?2,?3,1)",
                           -1, &ic_, nullptr);
    }
    ~ItemWriter() {
        sqlite3_finalize(item_);
        sqlite3_finalize(ic_);
    }
    ItemWriter(const ItemWriter&) = delete;
    ItemWriter& operator=(const ItemWriter&) = delete;

    void Add(int id, const std::string& code, int parent, int level, bool detail) {
        for (sqlite3_stmt* s : {item_, ic_}) {
            sqlite3_bind_int(s, 1, id);
            sqlite3_bind_text(s, 2, code.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(s, 3, parent);
            if (s == item_) {
                sqlite3_bind_int(s, 4, level);
                sqlite3_bind_int(s, 5, detail ? 1 : 0);
            }
            sqlite3_step(s);
            sqlite3_reset(s);
        }
    }

  private:
    sqlite3_stmt* item_ = nullptr;
    sqlite3_stmt* ic_ = nullptr;
};

}  // namespace

void CreateItemGroupTree(const std::string& path, int items, int rightsUser) {
    demo::CreateEmptyCompany(path);
    RawSqlite raw(path);
    raw.Exec("BEGIN");
    {
        ItemWriter writer(raw.db());
        std::vector<Group> groups{{kTreeRoot, "R", 1}};
        writer.Add(kTreeRoot, "R", 0, 1, false);
        int nextId = 2;
        std::vector<Group> above = groups;
        for (int count : {4, 20, 75, 400}) {
            std::vector<Group> level;
            for (int g = 0; g < count; ++g) {
                const Group& parent = above[static_cast<std::size_t>(g) % above.size()];
                Group child{nextId++, parent.code + "." + std::to_string(g), parent.level + 1};
                writer.Add(child.id, child.code, parent.id, child.level, false);
                level.push_back(child);
            }
            groups.insert(groups.end(), level.begin(), level.end());
            above = level;
        }
        for (int i = 0; i < items; ++i) {
            const Group& g = groups[static_cast<std::size_t>(i) % groups.size()];
            writer.Add(100000 + i, g.code + ".i" + std::to_string(i), g.id, g.level + 1, true);
        }
        if (rightsUser != 0) {
            for (std::size_t g = 0; g < groups.size(); g += 2) {
                raw.Exec("INSERT INTO t_ItemRight (FUserID,FTypeID,FItemID) VALUES (" +
                         std::to_string(rightsUser) + ",4," + std::to_string(groups[g].id) + ")");
            }
        }
    }
    raw.Exec("COMMIT; ANALYZE;");
}

std::string DetailWalkText(int group, bool rights, int user) {
    std::string s =
        "SET NOCOUNT ON" + kCrLf + "CREATE TABLE #Stack(FItemID INT ,FDetail INT,FLevel INT)" +
        kCrLf + "INSERT INTO #Stack(FItemID,FDetail,FLevel) VALUES(" + std::to_string(group) +
        ",0,1)" + kCrLf + "DECLARE @Level INT" + kCrLf + "DECLARE @CurrentItemID INT" + kCrLf +
        "SET @Level=1" + kCrLf + "WHILE @Level>0" + kCrLf + "BEGIN" + kCrLf +
        "    IF EXISTS(SELECT * FROM #Stack WHERE FLevel=@Level AND FDetail=0)" + kCrLf +
        "    BEGIN" + kCrLf + "        SELECT @CurrentItemID=FItemID FROM #Stack" + kCrLf +
        "        WHERE FLevel=@Level AND FDetail=0" + kCrLf +
        "        DELETE FROM #Stack WHERE FLevel=@Level AND FItemID=@CurrentItemID" + kCrLf +
        "        INSERT INTO #Stack(FItemID,FDetail,FLevel)" + kCrLf +
        "        SELECT t1.FItemID,t1.FDetail,@Level+1 FROM t_Item t1, t_ICItem t2 WHERE "
        "t1.fitemid = t2.fitemid and t1.FParentID=@CurrentItemID AND t1.FItemClassID=4 "
        "and t2.ferpclsid<>8" +
        kCrLf + "        IF @@ROWCOUNT>0" + kCrLf + "            SELECT @Level=@Level+1" + kCrLf +
        "END" + kCrLf + "Else" + kCrLf + "    SELECT @Level=@Level-1" + kCrLf + "END" + kCrLf;
    const std::string u = std::to_string(user);
    s += "SELECT Distinct v1.FItemID " + kCrLf + " FROM #Stack v1 " + kCrLf;
    if (rights) {
        s += " Inner join t_Item v2 on v1.FItemID=v2.FITemID " + kCrLf +
             " INNER JOIN t_Item t9 ON LEFT(v2.FNumber,LEN(v2.FNumber)-CHARINDEX('.',REVERSE(RTRIM("
             "v2.FNumber)))) = t9.FNumber" +
             kCrLf + " INNER JOIN t_ItemRight t7 ON t9.FItemID=t7.FItemID" + kCrLf;
    }
    s += " WHERE 1=1 " + kCrLf;
    if (rights) {
        s +=
            "AND t7.FTypeID=4" + kCrLf + "AND (t7.FuserID=" + u +
            " OR t7.FUserID IN (Select FGroupID From t_Group Where FGroupID <> 0 And FUserID=" + u +
            " ))" + kCrLf;
    }
    s += " ORDER BY v1.FItemID" + kCrLf + kCrLf + "DROP TABLE #Stack" + kCrLf + "SET NOCOUNT OFF" +
         kCrLf;
    return s;
}

}  // namespace orva::bench
