#include "import_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace orva::import::test {

ImportFiles::ImportFiles() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orva-import-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("no temporary folder");
    dir_ = pattern;
}

ImportFiles::~ImportFiles() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

std::string ImportFiles::Path(const std::string& name) const {
    return (dir_ / name).string();
}

std::string ImportFiles::Write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(Path(name), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return Path(name);
}

std::string ImportFiles::Python(const std::string& name, const std::string& body,
                                const std::string& after) const {
    const std::string path = Path(name);
    const std::string script = Write(name + ".py",
                                     "import datetime, zipfile, openpyxl\n"
                                     "path = "
                                     "'" +
                                         path +
                                         "'\n"
                                         "wb = openpyxl.Workbook()\n" +
                                         body + "\nwb.save(path)\n" + after + "\n");
    const std::string command = "/usr/bin/python3 '" + script + "'";
    if (std::system(command.c_str()) != 0)
        ADD_FAILURE() << "python3 failed: " << command;
    return path;
}

}  // namespace orva::import::test
