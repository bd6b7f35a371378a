// The folder a benchmark program writes its company files to.
#pragma once

#include <string>

namespace orva::bench {

class ScratchDir {
  public:
    // Whether ORVA_BENCH_DIR, when set, is used instead of a new folder: the
    // files written there are kept, and later runs reuse them.
    enum class Reuse { kNever, kBenchDir };

    // A new folder <temp>/orva-bench-<tag>-XXXXXX, removed with everything
    // in it when the object goes; or ORVA_BENCH_DIR (created if missing,
    // kept) when `reuse` allows it and the variable is set.
    explicit ScratchDir(const std::string& tag, Reuse reuse = Reuse::kNever);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& Path() const { return dir_; }
    std::string File(const std::string& name) const { return dir_ + "/" + name; }

  private:
    std::string dir_;
    bool keep_ = false;
};

}  // namespace orva::bench
