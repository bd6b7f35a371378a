#include "demo/company_writer.h"

#include "demo/demo_company.h"
#include "host/item_classes.h"

namespace orva::demo {

namespace {

std::string Key(int itemClass, std::string_view number) {
    std::string key = std::to_string(itemClass);
    key += '|';
    key += number;
    return key;
}

}  // namespace

CompanyWriter::CompanyWriter(SqliteFile& file)
    : item_(file,
            "INSERT INTO t_Item (FItemID,FItemClassID,FNumber,FShortNumber,FName,FFullName,"
            "FParentID,FLevel,FDetail,FDeleted) VALUES (?,?,?,?,?,?,?,?,?,?)"),
      organization_(file,
                    "INSERT INTO t_Organization (FItemID,FNumber,FShortNumber,FName,FParentID,"
                    "FAddress,FPhone,FContact,FDeleted) VALUES (?,?,?,?,?,?,?,?,?)"),
      icItem_(file,
              "INSERT INTO t_ICItem (FItemID,FNumber,FShortNumber,FName,FModel,FParentID,"
              "FErpClsID,FUnitID,FUnitGroupID,FQtyDecimal,FPriceDecimal,FSalePriceFixingType,"
              "FSoLowPrc,FSoLowPrcMnyType,FDeleted) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
      unitGroup_(file,
                 "INSERT INTO t_UnitGroup (FUnitGroupID,FNumber,FName,FDefaultUnitID) "
                 "VALUES (?,?,?,?)"),
      unit_(file,
            "INSERT INTO t_MeasureUnit (FItemID,FMeasureUnitID,FUnitGroupID,FNumber,"
            "FShortNumber,FName,FCoefficient,FDeleted) VALUES (?,?,?,?,?,?,?,?)"),
      currency_(file,
                "INSERT INTO t_Currency (FCurrencyID,FNumber,FName,FOperator,FExchangeRate,"
                "FScale,FDeleted) VALUES (?,?,?,?,?,2,0)"),
      user_(file,
            "INSERT INTO t_User (FUserID,FName,FDescription,FIsGroup,FDataVokeType,FForbidden) "
            "VALUES (?,?,?,?,?,0)"),
      group_(file, "INSERT INTO t_Group (FGroupID,FUserID) VALUES (?,?)"),
      itemRight_(file, "INSERT INTO t_ItemRight (FUserID,FTypeID,FItemID) VALUES (?,?,?)"),
      classRight_(file,
                  "INSERT INTO t_UserItemClassRight (FUserID,FItemClassID,FUserItemClassRight) "
                  "VALUES (?,?,?)"),
      accessRight_(file,
                   "INSERT INTO t_OrvaAccessRight (FUserID,FObjectID,FIndex,FRights) "
                   "VALUES (?,?,?,?)"),
      option_(file,
              "INSERT INTO t_SystemProfile (FCategory,FKey,FValue,FDescription) "
              "VALUES (?,?,?,?)"),
      entry_(file,
             "INSERT INTO t_CustEntry (FBrNo,FEntryID,FCustID,FItemID,FUnitID,FStartQty,FEndQty,"
             "FPrice,FCyID,FDiscount,FLeadTime,FQuoteTime,FExpireDate,FUsed,FNote) "
             "VALUES ('0',?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
      header_(file,
              "INSERT INTO t_Cust (FBrNo,FItemID,FCustID,FCurrencyID,FSELowPrice) "
              "VALUES ('0',?,?,?,?)"),
      maxNum_(file, "INSERT INTO t_ICMaxNum (FTableName,FMaxNum) VALUES (?,?)"),
      file_(file),
      nextId_(kFirstRecordId) {}

int CompanyWriter::LevelOf(int id) const {
    if (id <= 0)
        return 0;
    if (static_cast<std::size_t>(id) >= levels_.size() || levels_[id] == 0) {
        throw GeneratorError("Unknown parent FItemID " + std::to_string(id));
    }
    return levels_[id];
}

int CompanyWriter::NewItemId(int itemClass, std::string_view number, int level) {
    int id = nextId_++;
    if (levels_.size() <= static_cast<std::size_t>(id))
        levels_.resize(id + 1024, 0);
    levels_[id] = static_cast<std::int8_t>(level);
    if (!ids_.emplace(Key(itemClass, number), id).second) {
        throw GeneratorError("Duplicate code " + std::string(number) + " in item class " +
                             std::to_string(itemClass));
    }
    return id;
}

void CompanyWriter::InsertItem(int id, int itemClass, std::string_view number,
                               std::string_view shortNumber, std::string_view name, int parentId,
                               int level, bool detail, bool deleted) {
    item_.Run(id, itemClass, number, shortNumber, name, name, parentId, level, detail ? 1 : 0,
              deleted ? 1 : 0);
}

int CompanyWriter::AddGroup(int itemClass, std::string_view number, std::string_view shortNumber,
                            std::string_view name, int parentId) {
    int level = LevelOf(parentId) + 1;
    int id = NewItemId(itemClass, number, level);
    InsertItem(id, itemClass, number, shortNumber, name, parentId, level, false, false);
    if (itemClass == kItemClassCustomer)
        ++summary_.customerGroups;
    if (itemClass == kItemClassItem)
        ++summary_.itemGroups;
    return id;
}

int CompanyWriter::AddDetail(int itemClass, std::string_view number, std::string_view shortNumber,
                             std::string_view name, int parentId, bool deleted) {
    int level = LevelOf(parentId) + 1;
    int id = NewItemId(itemClass, number, level);
    InsertItem(id, itemClass, number, shortNumber, name, parentId, level, true, deleted);
    return id;
}

int CompanyWriter::AddCustomer(const CustomerRow& row) {
    int id = AddDetail(kItemClassCustomer, row.number, row.shortNumber, row.name, row.parentId,
                       row.deleted);
    organization_.Run(id, row.number, row.shortNumber, row.name, row.parentId, row.address,
                      row.phone, row.contact, row.deleted ? 1 : 0);
    ++summary_.customers;
    return id;
}

int CompanyWriter::AddItem(const ItemRow& row) {
    int id =
        AddDetail(kItemClassItem, row.number, row.shortNumber, row.name, row.parentId, row.deleted);
    icItem_.Run(id, row.number, row.shortNumber, row.name, row.model, row.parentId, row.erpClsId,
                row.unitId, row.unitGroupId, row.qtyDecimal, row.priceDecimal,
                row.salePriceFixingType, row.soLowPrice, row.soLowPriceCurrency,
                row.deleted ? 1 : 0);
    ++summary_.items;
    return id;
}

int CompanyWriter::AddOtherBase(int itemClass, std::string_view table, std::string_view number,
                                std::string_view name) {
    int id = NewItemId(itemClass, number, 1);
    InsertItem(id, itemClass, number, number, name, 0, 1, true, false);
    Statement insert(file_, "INSERT INTO " + std::string(table) +
                                " (FItemID,FNumber,FShortNumber,FName) VALUES (?,?,?,?)");
    insert.Run(id, number, number, name);
    return id;
}

void CompanyWriter::AddUnitGroup(int id, std::string_view number, std::string_view name,
                                 int defaultUnitId) {
    unitGroup_.Run(id, number, name, defaultUnitId);
}

void CompanyWriter::AddUnit(int id, int unitGroupId, std::string_view number, std::string_view name,
                            double coefficient, bool deleted) {
    if (levels_.size() <= static_cast<std::size_t>(id))
        levels_.resize(id + 1024, 0);
    levels_[id] = 1;
    if (!ids_.emplace(Key(7, number), id).second) {
        throw GeneratorError("Duplicate unit code " + std::string(number));
    }
    InsertItem(id, 7, number, number, name, 0, 1, true, deleted);
    unit_.Run(id, id, unitGroupId, number, number, name, coefficient, deleted ? 1 : 0);
    ++summary_.units;
}

void CompanyWriter::AddCurrency(int id, std::string_view number, std::string_view name,
                                std::string_view op, double rate) {
    currency_.Run(id, number, name, op, rate);
    ++summary_.currencies;
}

void CompanyWriter::AddUser(int id, std::string_view name, std::string_view description,
                            bool isGroup, int dataVokeType) {
    user_.Run(id, name, description, isGroup ? 1 : 0, dataVokeType);
    if (isGroup) {
        ++summary_.userGroups;
    } else {
        ++summary_.users;
    }
}

void CompanyWriter::AddMembership(int groupId, int userId) {
    group_.Run(groupId, userId);
}

void CompanyWriter::AddItemRight(int userId, int typeId, int itemId) {
    itemRight_.Run(userId, typeId, itemId);
    ++summary_.rightRows;
}

void CompanyWriter::AddClassRight(int userId, int itemClass, int rights) {
    classRight_.Run(userId, itemClass, rights);
    ++summary_.rightRows;
}

void CompanyWriter::AddAccessRight(int userId, int objectId, int index, std::int32_t rights) {
    accessRight_.Run(userId, objectId, index, rights);
    ++summary_.rightRows;
}

void CompanyWriter::AddOption(std::string_view category, std::string_view key,
                              std::string_view value, std::string_view description) {
    option_.Run(category, key, value, description);
}

std::int64_t CompanyWriter::AddPriceEntry(const PriceEntryRow& row) {
    std::int64_t id = ++lastEntryId_;
    entry_.Run(id, row.custId, row.itemId, row.unitId, row.startQty, row.endQty, row.price,
               row.currencyId, row.discount, row.leadTime, row.quoteTime, row.expireDate,
               row.used ? 1 : 0, row.note);
    ++summary_.priceEntries;
    return id;
}

void CompanyWriter::AddHeader(int itemId, int custId, int currencyId, double lowPrice) {
    header_.Run(itemId, custId, currencyId, lowPrice);
    ++summary_.headerRows;
}

void CompanyWriter::SetMaxNum(std::string_view tableKey, std::int64_t value) {
    maxNum_.Run(tableKey, value);
}

int CompanyWriter::IdOf(int itemClass, std::string_view number) const {
    auto it = ids_.find(Key(itemClass, number));
    if (it == ids_.end()) {
        throw GeneratorError("No record " + std::string(number) + " of item class " +
                             std::to_string(itemClass));
    }
    return it->second;
}

}  // namespace orva::demo
