#include "common/scratch_dir.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace orva::bench {

namespace fs = std::filesystem;

ScratchDir::ScratchDir(const std::string& tag, Reuse reuse) {
    if (const char* dir = std::getenv("ORVA_BENCH_DIR"); reuse == Reuse::kBenchDir && dir && *dir) {
        dir_ = dir;
        keep_ = true;
        fs::create_directories(dir_);
        return;
    }
    std::string pattern = (fs::temp_directory_path() / ("orva-bench-" + tag + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a scratch folder from " + pattern);
    dir_ = pattern;
}

ScratchDir::~ScratchDir() {
    if (keep_)
        return;
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

}  // namespace orva::bench
