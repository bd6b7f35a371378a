// Writes the rows of a company database through prepared statements: base
// data (groups, customers, items, units, currencies, other classes), users,
// groups and rights, options, price entries and their header rows. Keeps the
// counts for the summary and the code-to-ID map the rights need.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "demo/company_generator.h"
#include "demo/sqlite_writer.h"

namespace orva::demo {

struct CustomerRow {
    std::string number;
    std::string shortNumber;
    std::string name;
    int parentId = 0;
    std::string address;
    std::string phone;
    std::string contact;
    bool deleted = false;
};

struct ItemRow {
    std::string number;
    std::string shortNumber;
    std::string name;
    std::string model;
    int parentId = 0;
    int erpClsId = 1;
    int unitId = 0;
    int unitGroupId = 0;
    std::optional<int> qtyDecimal = 4;
    std::optional<int> priceDecimal = 2;
    std::optional<int> salePriceFixingType = 0;
    double soLowPrice = 0;
    int soLowPriceCurrency = 1;
    bool deleted = false;
};

struct PriceEntryRow {
    int custId = 0;
    int itemId = 0;
    int unitId = 0;
    double startQty = 0;
    double endQty = 0;
    double price = 0;
    int currencyId = 1;
    double discount = 0;
    int leadTime = 0;
    std::string_view quoteTime;
    std::string_view expireDate;
    bool used = false;
    std::string note;
};

class CompanyWriter {
  public:
    explicit CompanyWriter(SqliteFile& file);

    // A group of an item class (t_Item, FDetail 0); its level is one below
    // its parent's (1 at the top). Returns the new FItemID.
    int AddGroup(int itemClass, std::string_view number, std::string_view shortNumber,
                 std::string_view name, int parentId);
    int AddCustomer(const CustomerRow& row);
    int AddItem(const ItemRow& row);
    // Departments, employees, stocks, suppliers, expense items: t_Item and
    // the class's own table.
    int AddOtherBase(int itemClass, std::string_view table, std::string_view number,
                     std::string_view name);
    void AddUnitGroup(int id, std::string_view number, std::string_view name, int defaultUnitId);
    void AddUnit(int id, int unitGroupId, std::string_view number, std::string_view name,
                 double coefficient, bool deleted);
    void AddCurrency(int id, std::string_view number, std::string_view name, std::string_view op,
                     double rate);

    void AddUser(int id, std::string_view name, std::string_view description, bool isGroup,
                 int dataVokeType);
    void AddMembership(int groupId, int userId);
    void AddItemRight(int userId, int typeId, int itemId);
    void AddClassRight(int userId, int itemClass, int rights);
    void AddAccessRight(int userId, int objectId, int index, std::int32_t rights);
    void AddOption(std::string_view category, std::string_view key, std::string_view value,
                   std::string_view description);

    // A price entry with the next entry number; returns the number.
    std::int64_t AddPriceEntry(const PriceEntryRow& row);
    void AddHeader(int itemId, int custId, int currencyId, double lowPrice);
    void SetMaxNum(std::string_view tableKey, std::int64_t value);

    // FItemID of a t_Item row by class and full code; throws when unknown.
    int IdOf(int itemClass, std::string_view number) const;
    std::int64_t LastEntryId() const { return lastEntryId_; }
    CompanySummary& Summary() { return summary_; }

  private:
    int NewItemId(int itemClass, std::string_view number, int level);
    int LevelOf(int id) const;
    void InsertItem(int id, int itemClass, std::string_view number, std::string_view shortNumber,
                    std::string_view name, int parentId, int level, bool detail, bool deleted);
    // A customer or item of t_Item below its group; its new id.
    int AddDetail(int itemClass, std::string_view number, std::string_view shortNumber,
                  std::string_view name, int parentId, bool deleted);

    Statement item_;
    Statement organization_;
    Statement icItem_;
    Statement unitGroup_;
    Statement unit_;
    Statement currency_;
    Statement user_;
    Statement group_;
    Statement itemRight_;
    Statement classRight_;
    Statement accessRight_;
    Statement option_;
    Statement entry_;
    Statement header_;
    Statement maxNum_;
    SqliteFile& file_;

    int nextId_;
    std::int64_t lastEntryId_ = 0;
    std::vector<std::int8_t> levels_;           // by FItemID
    std::unordered_map<std::string, int> ids_;  // "class|number" -> FItemID
    CompanySummary summary_;
};

}  // namespace orva::demo
