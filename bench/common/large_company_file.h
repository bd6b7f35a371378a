// Large company files that benchmark programs generate on first use.
#pragma once

#include <string>

#include "common/scratch_dir.h"
#include "demo/company_generator.h"

namespace orva::bench {

// The path of `file` in `dir`, the company generated there first unless the
// file already exists (an earlier run's, kept in ORVA_BENCH_DIR).
std::string LargeCompanyFile(const ScratchDir& dir, const std::string& file,
                             const demo::LargeCompanyOptions& options);

// One customer with 100,000 price entries: 96 % of 13,100 items can be
// priced, 12,500 items with 8 entries each.
inline constexpr demo::LargeCompanyOptions kBusyCustomer{
    .customers = 1, .items = 13100, .priceEntries = 100000};

}  // namespace orva::bench
