// A company database file of its own for one test, deleted afterwards.
//
//   orva::test::TempCompany company;                  // the demo company
//   orva::test::TempCompany empty(TempCompany::kEmpty);  // schema only
//   orva::test::ScopedSession session(company.path(), orva::demo::kAdminUserId);
//   orva::AppConnection db;                            // opens company.path()
//
// Each kind is generated once per test program and copied for each
// TempCompany (generation is deterministic), so a fresh copy costs little.
#pragma once

#include <string>

namespace orva::test {

class TempCompany {
  public:
    enum Kind { kDemo, kEmpty };

    explicit TempCompany(Kind kind = kDemo);
    ~TempCompany();
    TempCompany(const TempCompany&) = delete;
    TempCompany& operator=(const TempCompany&) = delete;

    // The database file (inside a private temporary folder).
    const std::string& path() const { return path_; }
    // The private folder, removed with everything in it (-wal, -shm, ...).
    const std::string& dir() const { return dir_; }

  private:
    std::string dir_;
    std::string path_;
};

// A new empty temporary folder (for tests that create files themselves);
// the caller removes it.
std::string MakeTempDir(const std::string& prefix);

}  // namespace orva::test
