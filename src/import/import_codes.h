// The codes a price list names, looked up once per import: every customer,
// item, unit and currency of the company read in one statement each, and
// which of them the user's data rights let the user see, so that a list of
// 100,000 rows costs a handful of statements, not one per row.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace orva {
class AppConnection;
class ModuleContext;
}  // namespace orva

namespace orva::import {

struct ItemCode {
    std::int32_t id = 0;
    std::int32_t baseUnit = 0;
    std::int32_t unitGroup = 0;
    std::int32_t erpClass = 0;
};

struct UnitCode {
    std::int32_t id = 0;
    std::int32_t group = 0;
    std::string number, name;
};

// What a look-up found: the record, or that there is none, or that the
// user may not see it.
enum class Found { kYes, kUnknown, kNoRight };

class CodeBook {
  public:
    // Reads the codes through `db`; rights and the short-code option from `ctx`.
    CodeBook(ModuleContext& ctx, AppConnection& db);

    // A customer or item by its code (its short code under the short-code
    // option), or by ID for the leaf the import runs on.
    Found Customer(const std::string& code, std::int32_t& id) const;
    Found Item(const std::string& code, ItemCode& item) const;
    std::optional<ItemCode> ItemByID(std::int32_t id) const;
    bool CustomerVisible(std::int32_t id) const;
    // A unit of the item's unit group by code, else by name.
    std::optional<std::int32_t> Unit(const ItemCode& item, const std::string& text) const;
    // A currency by code, else by name.
    Found Currency(const std::string& text, std::int32_t& id) const;

  private:
    bool rights_ = false;
    std::unordered_map<std::string, std::int32_t> customers_;
    std::unordered_set<std::int32_t> visibleCustomers_;
    std::unordered_map<std::string, ItemCode> items_;
    std::unordered_map<std::int32_t, ItemCode> itemsByID_;
    std::unordered_set<std::int32_t> visibleItems_;
    std::vector<UnitCode> units_;
    std::unordered_map<std::string, std::int32_t> currencyNumbers_, currencyNames_;
    std::unordered_set<std::int32_t> visibleCurrencies_;
};

}  // namespace orva::import
