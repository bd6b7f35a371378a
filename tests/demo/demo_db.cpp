#include "demo_db.h"

#include <stdexcept>

#include "demo/company_schema.h"

namespace orva::test {

DemoDb::DemoDb(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        throw std::runtime_error("Cannot open " + path + ": " + message);
    }
    demo::RegisterCompanyCollation(db_);
}

DemoDb::~DemoDb() {
    sqlite3_close(db_);
}

std::vector<std::string> DemoDb::Rows(const std::string& sql) const {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        throw std::runtime_error(std::string(sqlite3_errmsg(db_)) + " in " + sql);
    }
    std::vector<std::string> rows;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        std::string row;
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            if (c)
                row += '|';
            const unsigned char* text = sqlite3_column_text(stmt, c);
            row += text ? reinterpret_cast<const char*>(text) : "NULL";
        }
        rows.push_back(std::move(row));
    }
    std::string message = sqlite3_errmsg(db_);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        throw std::runtime_error(message + " in " + sql);
    return rows;
}

std::int64_t DemoDb::Int(const std::string& sql) const {
    auto rows = Rows(sql);
    if (rows.empty())
        return 0;
    std::string first = rows.front().substr(0, rows.front().find('|'));
    return first == "NULL" ? 0 : std::stoll(first);
}

std::string DemoDb::Text(const std::string& sql) const {
    auto rows = Rows(sql);
    return rows.empty() ? std::string() : rows.front().substr(0, rows.front().find('|'));
}

std::vector<std::string> DemoDb::Columns(const std::string& table) const {
    std::vector<std::string> names;
    for (const std::string& row : Rows("SELECT name FROM pragma_table_info('" + table + "')")) {
        names.push_back(row);
    }
    return names;
}

std::vector<std::string> DemoDb::Dump() const {
    std::vector<std::string> out;
    for (const std::string& table :
         Rows("SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%' "
              "ORDER BY name")) {
        std::string order;
        for (std::size_t i = 1; i <= Columns(table).size(); ++i) {
            order += (i > 1 ? "," : "") + std::to_string(i);
        }
        out.push_back("== " + table);
        for (std::string& row : Rows("SELECT * FROM " + table + " ORDER BY " + order)) {
            out.push_back(std::move(row));
        }
    }
    return out;
}

}  // namespace orva::test
