// How the module names an entry that another overlaps, in the ledger's tool
// tip and in the save's question: its number, price, band and period.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orva {

// "价格编号 12：报价 9.5，销货量 0 - 100，2026-01-01 至 2100-01-01", in the
// session's language.
std::string OverlapEntryText(std::int32_t entryID, double price, double startQty, double endQty,
                             std::string_view quoteTime, std::string_view expireDate);

}  // namespace orva
