#include "demo/sqlite_writer.h"

#include "demo/company_schema.h"

namespace orva::demo {

SqliteFile::SqliteFile(const std::string& path) {
    int rc =
        sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close(db_);
        db_ = nullptr;
        throw GeneratorError("Cannot create the company database " + path + ": " + message);
    }
    RegisterCompanyCollation(db_);
}

SqliteFile::~SqliteFile() {
    if (db_)
        sqlite3_close_v2(db_);
}

void SqliteFile::Exec(std::string_view sql) {
    std::string text(sql);
    char* error = nullptr;
    if (sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : sqlite3_errmsg(db_);
        sqlite3_free(error);
        throw GeneratorError(message + " (in: " + text.substr(0, 200) + ")");
    }
}

void SqliteFile::Close() {
    if (!db_)
        return;
    int rc = sqlite3_close(db_);
    if (rc != SQLITE_OK) {
        std::string message = sqlite3_errmsg(db_);
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw GeneratorError("Closing the company database failed: " + message);
    }
    db_ = nullptr;
}

Statement::Statement(SqliteFile& file, std::string_view sql) : db_(file.Handle()) {
    int rc = sqlite3_prepare_v3(db_, sql.data(), static_cast<int>(sql.size()),
                                SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
    if (rc != SQLITE_OK) {
        throw GeneratorError(std::string(sqlite3_errmsg(db_)) + " (in: " + std::string(sql) + ")");
    }
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

void Statement::Bind(int index, int value) {
    sqlite3_bind_int(stmt_, index, value);
}

void Statement::Bind(int index, std::int64_t value) {
    sqlite3_bind_int64(stmt_, index, value);
}

void Statement::Bind(int index, double value) {
    sqlite3_bind_double(stmt_, index, value);
}

void Statement::Bind(int index, std::string_view value) {
    sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
}

void Statement::Bind(int index, std::nullptr_t) {
    sqlite3_bind_null(stmt_, index);
}

void Statement::Bind(int index, const std::optional<int>& value) {
    if (value) {
        Bind(index, *value);
    } else {
        Bind(index, nullptr);
    }
}

void Statement::Bind(int index, const std::optional<double>& value) {
    if (value) {
        Bind(index, *value);
    } else {
        Bind(index, nullptr);
    }
}

void Statement::Step() {
    int rc = sqlite3_step(stmt_);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        Fail(rc);
    sqlite3_reset(stmt_);
}

bool Statement::NextRow() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        Fail(rc);
    return false;
}

void Statement::Fail(int rc) const {
    std::string message = sqlite3_errmsg(db_);
    std::string sql = sqlite3_sql(stmt_) ? sqlite3_sql(stmt_) : "";
    sqlite3_reset(stmt_);
    throw GeneratorError(message + " (" + sqlite3_errstr(rc) + ", in: " + sql + ")");
}

}  // namespace orva::demo
