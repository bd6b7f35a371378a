#include "common/large_company_file.h"

#include <filesystem>

namespace orva::bench {

std::string LargeCompanyFile(const ScratchDir& dir, const std::string& file,
                             const demo::LargeCompanyOptions& options) {
    std::string path = dir.File(file);
    if (!std::filesystem::exists(path))
        demo::CreateLargeCompany(path, options);
    return path;
}

}  // namespace orva::bench
