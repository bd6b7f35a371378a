// A folder of files as an archived year or a read-only share holds them,
// for tests that open a company file a user may only read: the files are
// copied in, then the folder is sealed (every file of mode 444, the folder
// of mode 555, or one the unprivileged user may write). Every user may
// enter it. Removed with all it holds at the end.
//
//   test::ReadOnlyFolder archive;
//   archive.Copy(company.path(), "2023.db");
//   archive.Seal();
//   const std::string before = test::FolderListing(archive.dir());
#pragma once

#include <string>

namespace orva::test {

class ReadOnlyFolder {
  public:
    ReadOnlyFolder();
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    const std::string& dir() const { return dir_; }
    std::string File(const std::string& name) const { return dir_ + "/" + name; }

    // Copies the file into the folder as `name`.
    void Copy(const std::string& from, const std::string& name);
    // Every file `fileMode`, the folder `folderMode` (0777: the folder stays
    // open to everyone, only the files are read-only).
    void Seal(unsigned fileMode = 0444, unsigned folderMode = 0555);

  private:
    std::string dir_;
};

// What a folder holds, one entry a line in name order: name, size, mode and
// modification time. The same text before and after means nothing was
// created, removed, written or touched there.
std::string FolderListing(const std::string& dir);

}  // namespace orva::test
