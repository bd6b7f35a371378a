// Shared by the ODBC tests: a scratch folder per test, and the connection
// string of a database file through the SQLite ODBC driver.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace orva::testing {

class ScratchDir {
  public:
    ScratchDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orva-odbc-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            ADD_FAILURE() << "mkdtemp failed";
        path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string File(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

// A short lock timeout, so a lock left behind fails a test instead of
// stalling it.
inline std::string SqliteOdbcString(const std::string& file) {
    return "DRIVER=SQLite3;Database=" + file + ";Timeout=500";
}

}  // namespace orva::testing
