#include "qt/hostapp/host_app_company.h"

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "demo/company_generator.h"
#include "host/base/text_util.h"
#include "host/db/open_database.h"
#include "host/db/postgres/postgres_uri.h"
#include "host/db/sqlite/company_file_check.h"
#include "model/sql_values.h"
#include "orvasaleprice/com_error.h"
#include "orvasaleprice/recordset.h"
#include "session/res_text.h"

namespace orva::qt {
namespace {

bool IsWholeNumber(const std::string& text) {
    if (text.empty() || text.size() > 9)
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// The first record set of a query, or null when the text returned none.
RecordsetPtr Query(DbBackend& db, const std::string& sql) {
    BatchResult r = db.ExecuteBatch(sql);
    return r.recordsets.empty() ? nullptr : r.recordsets.front();
}

bool HasRow(const RecordsetPtr& rs) {
    return rs && rs->RecordCount() > 0;
}

std::optional<std::int32_t> FirstId(DbBackend& db, const std::string& sql) {
    RecordsetPtr rs = Query(db, sql);
    if (!HasRow(rs))
        return std::nullopt;
    return static_cast<std::int32_t>(rs->Fields(0).Value().ToInteger());
}

// A record of a base-data table by code, short code, then ID.
std::optional<std::int32_t> FindRecord(DbBackend& db, const std::string& table,
                                       const std::string& codeOrId) {
    const std::string select = "SELECT FItemID FROM " + table + " WHERE ";
    if (auto id = FirstId(db, select + "FNumber=" + SqlText(codeOrId)))
        return id;
    if (auto id =
            FirstId(db, select + "FShortNumber=" + SqlText(codeOrId) + " AND FShortNumber<>''")) {
        return id;
    }
    if (IsWholeNumber(codeOrId))
        return FirstId(db, select + "FItemID=" + codeOrId);
    return std::nullopt;
}

[[noreturn]] void NotACompany(const std::string& where, const std::string& table) {
    throw HostAppError(
        FillIn(GetResText("%1 不是公司数据库（缺少表 %2）。"), {where, std::string(table)}));
}

// An ODBC data source: each table must answer a query (reads only).
// The company tables on a server database (ODBC or PostgreSQL).
void CheckServerTables(DbBackend& db, const std::string& shownName) {
    for (const char* table : kCompanyTables) {
        try {
            db.ExecuteBatch(std::string("SELECT COUNT(*) FROM ") + table + " WHERE 1=0");
        } catch (const ComError&) {
            NotACompany(shownName, table);
        }
    }
}

std::unique_ptr<DbBackend> Connect(const std::string& connection) {
    try {
        return OpenDatabase(connection);
    } catch (const ComError& e) {
        throw HostAppError(FillIn(GetResText("无法连接公司数据库：%1"), {e.Description()}));
    }
}

}  // namespace

std::string FillIn(std::string text, std::initializer_list<std::string> args) {
    int n = 1;
    for (const std::string& arg : args) {
        const std::string mark = "%" + std::to_string(n++);
        if (const auto at = text.find(mark); at != std::string::npos)
            text.replace(at, mark.size(), arg);
    }
    return text;
}

std::string DefaultCompanyPath() {
    namespace fs = std::filesystem;
    const char* xdg = std::getenv("XDG_DATA_HOME");
    fs::path base;
    if (xdg && fs::path(xdg).is_absolute()) {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = fs::path(home) / ".local" / "share";
    } else {
        throw HostAppError(
            GetResText("找不到用户的数据文件夹（HOME 未设置），请用 --database 指定公司数据库。"));
    }
    return (base / "orvasaleprice" / "demo.db").string();
}

void CheckCompanyFileForUser(const std::string& path) {
    const auto fault = CheckCompanyFile(path);
    if (!fault)
        return;
    using Kind = CompanyFileFault::Kind;
    switch (fault->kind) {
        case Kind::kMissing:
            throw HostAppError(FillIn(GetResText("公司数据库不存在：%1"), {path}));
        case Kind::kNotAFile:
            throw HostAppError(FillIn(GetResText("%1 不是文件。"), {path}));
        case Kind::kUnreadable:
            throw HostAppError(
                FillIn(GetResText("无法打开公司数据库 %1：%2"), {path, fault->detail}));
        case Kind::kMissingTable:
            NotACompany(path, fault->detail);
    }
}

OpenedCompany OpenCompany(const std::string& database) {
    OpenedCompany company;
    if (IsOdbcConnectionString(database)) {
        // The session string keeps the connection string between braces,
        // which cannot nest.
        if (database.find('}') != std::string::npos) {
            throw HostAppError(
                GetResText("ODBC 连接字符串中不能有 “}”：驱动程序名不加括号，或改用 DSN。"));
        }
        company.connection = database;
        company.backend = Connect(database);
        CheckServerTables(*company.backend, GetResText("该 ODBC 数据源"));
        return company;
    }
    if (IsPostgresUri(database)) {
        if (database.find('}') != std::string::npos)
            throw HostAppError(
                FillIn(GetResText("公司数据库的路径中不能有 “}”：%1"), {MaskPassword(database)}));
        company.connection = database;
        company.backend = Connect(database);
        CheckServerTables(*company.backend, MaskPassword(database));
        return company;
    }
    std::string path = database;
    if (path.empty()) {
        path = DefaultCompanyPath();
        std::error_code ec;
        if (!std::filesystem::exists(path, ec)) {
            try {
                std::filesystem::create_directories(std::filesystem::path(path).parent_path());
                demo::CreateDemoCompany(path);
            } catch (const std::runtime_error& e) {
                throw HostAppError(
                    FillIn(GetResText("无法创建演示公司数据库 %1：%2"), {path, e.what()}));
            }
            company.created = true;
        }
    }
    if (path.find('}') != std::string::npos)
        throw HostAppError(FillIn(GetResText("公司数据库的路径中不能有 “}”：%1"), {path}));
    CheckCompanyFileForUser(path);
    company.connection = path;
    company.backend = Connect(path);
    return company;
}

CompanyUser FindUser(DbBackend& db, const std::string& nameOrId) {
    const std::string columns =
        "SELECT FUserID, FName, FForbidden FROM t_User WHERE FIsGroup=0 AND ";
    RecordsetPtr rs;
    // A clerk's own login (PostgreSQL's logins per user) names its user.
    if (nameOrId.empty()) {
        if (const std::optional<std::string> login = db.ClerkLogin())
            return FindUser(db, *login);
    }
    if (nameOrId.empty()) {
        rs = Query(db,
                   "SELECT u.FUserID, u.FName, u.FForbidden FROM t_User u INNER JOIN t_Group g "
                   "ON g.FUserID=u.FUserID WHERE g.FGroupID=1 AND u.FIsGroup=0 AND "
                   "u.FForbidden=0 ORDER BY u.FUserID");
        if (!HasRow(rs)) {
            throw HostAppError(
                GetResText("公司数据库中没有可用的管理员用户，请用 --user 指定用户。"));
        }
    } else {
        rs = Query(db, columns + "FName=" + SqlText(nameOrId));
        if (!HasRow(rs) && IsWholeNumber(nameOrId))
            rs = Query(db, columns + "FUserID=" + nameOrId);
        if (!HasRow(rs))
            throw HostAppError(FillIn(GetResText("公司数据库中没有用户“%1”。"), {nameOrId}));
    }
    CompanyUser user;
    user.id = static_cast<std::int32_t>(rs->Fields("FUserID").Value().ToInteger());
    user.name = rs->Fields("FName").Value().ToText();
    if (rs->Fields("FForbidden").Value().ToInteger() != 0)
        throw HostAppError(FillIn(GetResText("用户“%1”已被禁用。"), {user.name}));
    return user;
}

std::int32_t FindCustomer(DbBackend& db, const std::string& codeOrId) {
    if (auto id = FindRecord(db, "t_Organization", codeOrId))
        return *id;
    throw HostAppError(FillIn(GetResText("公司数据库中没有客户“%1”。"), {codeOrId}));
}

std::int32_t FindItem(DbBackend& db, const std::string& codeOrId) {
    if (auto id = FindRecord(db, "t_ICItem", codeOrId))
        return *id;
    throw HostAppError(FillIn(GetResText("公司数据库中没有物料“%1”。"), {codeOrId}));
}

}  // namespace orva::qt
