// Files for the import tests, in a folder of their own that goes with the
// test: written byte for byte, or by openpyxl (/usr/bin/python3), the
// library other programs write .xlsx files with.
#pragma once

#include <filesystem>
#include <string>

namespace orva::import::test {

class ImportFiles {
  public:
    ImportFiles();
    ~ImportFiles();

    std::string Path(const std::string& name) const;
    // Writes `bytes` as `name` and gives its path.
    std::string Write(const std::string& name, const std::string& bytes) const;
    // Runs `body` with `wb` an openpyxl Workbook (and datetime, zipfile
    // imported), saves it as `name` and gives its path; `after` runs once
    // the file is saved, with `path` its name.
    std::string Python(const std::string& name, const std::string& body,
                       const std::string& after = {}) const;

  private:
    std::filesystem::path dir_;
};

}  // namespace orva::import::test
