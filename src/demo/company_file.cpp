#include "demo/company_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "demo/company_schema.h"

namespace orva::demo {

namespace fs = std::filesystem;

namespace {

void RemoveQuietly(const std::string& path) {
    std::error_code ec;
    fs::remove(path, ec);
    fs::remove(path + "-journal", ec);
    fs::remove(path + "-wal", ec);
    fs::remove(path + "-shm", ec);
}

void SyncFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw GeneratorError("Cannot open " + path + " to flush it: " + std::strerror(errno));
    }
    int rc = ::fsync(fd);
    int err = errno;
    ::close(fd);
    if (rc != 0)
        throw GeneratorError("Flushing " + path + " failed: " + std::strerror(err));
}

std::string AlreadyExists(const std::string& path) {
    return "The file " + path +
           " already exists; it was left as it is. Choose another path or remove the file first.";
}

// Gives the finished temporary file its name without ever replacing a file
// that appeared there meanwhile: a hard link fails when the name is taken.
void Publish(const std::string& temp, const std::string& path) {
    if (::link(temp.c_str(), path.c_str()) == 0) {
        ::unlink(temp.c_str());
        return;
    }
    int err = errno;
    if (err == EEXIST)
        throw GeneratorError(AlreadyExists(path));
    // File systems without hard links: check, then rename.
    std::error_code ec;
    if (fs::exists(fs::symlink_status(path, ec)))
        throw GeneratorError(AlreadyExists(path));
    fs::rename(temp, path, ec);
    if (ec) {
        throw GeneratorError("Cannot create " + path + ": " + ec.message() +
                             " (link: " + std::strerror(err) + ")");
    }
}

}  // namespace

void CheckNewCompanyPath(const std::string& path) {
    if (path.empty())
        throw GeneratorError("No path was given for the company database.");
    std::error_code ec;
    if (fs::exists(fs::symlink_status(path, ec)))
        throw GeneratorError(AlreadyExists(path));
    fs::path parent = fs::path(path).parent_path();
    if (!parent.empty() && !fs::is_directory(parent, ec)) {
        throw GeneratorError("The folder " + parent.string() + " of " + path + " does not exist.");
    }
}

void BuildCompanyFile(const std::string& path, const std::function<void(SqliteFile&)>& fill,
                      bool analyze) {
    CheckNewCompanyPath(path);
    std::string temp = path + ".part-" + std::to_string(::getpid());
    RemoveQuietly(temp);
    try {
        SqliteFile file(temp);
        // Nothing here needs to survive a crash: a broken build is thrown
        // away, so no journal and no waiting for the disk until the end.
        file.Exec(
            "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA cache_size=-65536;"
            " PRAGMA temp_store=MEMORY; PRAGMA locking_mode=EXCLUSIVE");
        ApplySchema(file.Handle(), SchemaPart::kTables);
        file.Exec("BEGIN");
        fill(file);
        ApplySchema(file.Handle(), SchemaPart::kIndexes);
        file.Exec("COMMIT");
        if (analyze) {
            // Sampled statistics: enough for the planner, and quick on large
            // tables.
            file.Exec("PRAGMA analysis_limit=1000; ANALYZE");
        }
        // Company files are shared by several clients: WAL lets them read
        // while one writes. The mode is kept in the file; opening it never
        // changes it.
        file.Exec("PRAGMA journal_mode=WAL");
        file.Close();
        SyncFile(temp);
        Publish(temp, path);
    } catch (...) {
        RemoveQuietly(temp);
        throw;
    }
}

}  // namespace orva::demo
