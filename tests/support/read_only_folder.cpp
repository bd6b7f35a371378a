#include "support/read_only_folder.h"

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <stdexcept>

#include "support/temp_company.h"

namespace orva::test {

namespace fs = std::filesystem;

ReadOnlyFolder::ReadOnlyFolder() : dir_(MakeTempDir("orva-read-only")) {
    fs::permissions(dir_, fs::perms(0755));
}

ReadOnlyFolder::~ReadOnlyFolder() {
    std::error_code ec;
    // A user who is not root removes nothing from a folder of mode 555.
    fs::permissions(dir_, fs::perms(0755), ec);
    fs::remove_all(dir_, ec);
}

void ReadOnlyFolder::Copy(const std::string& from, const std::string& name) {
    fs::copy_file(from, File(name), fs::copy_options::overwrite_existing);
}

void ReadOnlyFolder::Seal(unsigned fileMode, unsigned folderMode) {
    for (const auto& entry : fs::directory_iterator(dir_))
        fs::permissions(entry.path(), fs::perms(fileMode));
    fs::permissions(dir_, fs::perms(folderMode));
}

std::string FolderListing(const std::string& dir) {
    std::map<std::string, std::string> lines;
    for (const auto& entry : fs::directory_iterator(dir)) {
        struct stat st {};
        if (::lstat(entry.path().c_str(), &st) != 0)
            throw std::runtime_error("FolderListing: cannot stat " + entry.path().string());
        lines[entry.path().filename().string()] =
            std::to_string(st.st_size) + " " + std::to_string(st.st_mode & 07777) + " " +
            std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
    }
    std::string text;
    for (const auto& [name, what] : lines) text += name + " " + what + "\n";
    return text;
}

}  // namespace orva::test
