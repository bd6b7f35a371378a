#include "host/db/sqlite/sqlite_read_only.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace orva {
namespace {

// A write-ahead log starts with a 32-byte header; pages follow it.
constexpr off_t kWalHeaderBytes = 32;

// Bytes 18 and 19 of a database header, the file format's write and read
// versions, are 2 for a file in WAL mode.
bool HeaderSaysWal(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    unsigned char header[20] = {};
    const ssize_t n = ::pread(fd, header, sizeof header, 0);
    ::close(fd);
    return n == static_cast<ssize_t>(sizeof header) && header[18] == 2 && header[19] == 2;
}

// Whether a write-ahead log beside the file holds pages: then the file alone
// is not the whole database.
bool LogHoldsPages(const std::string& path) {
    struct stat st {};
    return ::stat((path + "-wal").c_str(), &st) == 0 && st.st_size > kWalHeaderBytes;
}

// Whether the file has a -shm beside it: every connection that has a WAL
// file open keeps one (the last to close removes it).
bool SharedMemoryBeside(const std::string& path) {
    return ::access((path + "-shm").c_str(), F_OK) == 0;
}

// The file's URI: the characters a URI gives a meaning of their own are
// escaped, and an absolute path gets an empty authority (a path starting
// with "//" would otherwise name a host).
std::string FileUri(const std::string& path) {
    std::string uri = "file:";
    if (path.starts_with('/'))
        uri.append(2, '/');
    for (char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            static constexpr char kHex[] = "0123456789abcdef";
            uri.push_back('%');
            uri.push_back(kHex[(c >> 4) & 0xf]);
            uri.push_back(kHex[c & 0xf]);
        } else {
            uri.push_back(c);
        }
    }
    return uri;
}

}  // namespace

bool MayWriteSqliteFile(const std::string& path) {
    if (::access(path.c_str(), W_OK) != 0)
        return false;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return ::access(folder.empty() ? "." : folder.c_str(), W_OK | X_OK) == 0;
}

// A file in WAL mode that nobody has open (no -shm beside it) and whose
// pages are all in it (no log beside it, or one without pages) opens
// immutable: SQLite then takes no locks and does not look for a log, so it
// needs no -shm. Read-only mode would create the -wal and -shm, and leave
// them behind (a reader cannot remove them), or fail where it cannot create
// them. A writer who comes later must first create them in the folder,
// which nobody may do where the folder is read-only (an archived year).
//
// Any other file opens in read-only mode: a file in rollback-journal mode is
// read under shared locks and nothing is created; a WAL file that is open
// elsewhere, or whose log holds pages, is read with its log through the
// existing -shm, so that what was committed to the log, also later, is seen
// (immutable would miss it).
int OpenSqliteReadOnly(const std::string& path, sqlite3** db, int flags) {
    const bool immutable = HeaderSaysWal(path) && !LogHoldsPages(path) && !SharedMemoryBeside(path);
    const std::string uri = FileUri(path) + (immutable ? "?immutable=1" : "?mode=ro");
    return sqlite3_open_v2(uri.c_str(), db, flags | SQLITE_OPEN_READONLY | SQLITE_OPEN_URI,
                           nullptr);
}

}  // namespace orva
