#include "support/temp_company.h"

#include <stdlib.h>

#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <system_error>

#include "demo/company_generator.h"

namespace orva::test {

namespace fs = std::filesystem;

std::string MakeTempDir(const std::string& prefix) {
    std::string pattern = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) {
        throw std::runtime_error("Cannot create a temporary folder from " + pattern);
    }
    return pattern;
}

namespace {

// A company of each kind generated once for the test program and copied for
// every TempCompany; removed at exit.
class CompanyTemplate {
  public:
    explicit CompanyTemplate(TempCompany::Kind kind) : kind_(kind) {}
    const std::string& Path() {
        std::call_once(once_, [this] {
            dir_ = MakeTempDir("orva-company-template");
            path_ = dir_ + "/company.db";
            if (kind_ == TempCompany::kDemo) {
                demo::CreateDemoCompany(path_);
            } else {
                demo::CreateEmptyCompany(path_);
            }
        });
        return path_;
    }
    ~CompanyTemplate() {
        if (!dir_.empty()) {
            std::error_code ec;
            fs::remove_all(dir_, ec);
        }
    }

  private:
    TempCompany::Kind kind_;
    std::once_flag once_;
    std::string dir_;
    std::string path_;
};

CompanyTemplate& Template(TempCompany::Kind kind) {
    static CompanyTemplate demo(TempCompany::kDemo);
    static CompanyTemplate empty(TempCompany::kEmpty);
    return kind == TempCompany::kDemo ? demo : empty;
}

}  // namespace

TempCompany::TempCompany(Kind kind) {
    dir_ = MakeTempDir("orva-company");
    path_ = dir_ + "/company.db";
    try {
        fs::copy_file(Template(kind).Path(), path_);
    } catch (...) {
        std::error_code ec;
        fs::remove_all(dir_, ec);
        throw;
    }
}

TempCompany::~TempCompany() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

}  // namespace orva::test
