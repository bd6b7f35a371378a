// The demo company: generated from the catalogue in demo_catalogue.cpp with a
// fixed random sequence, so every run writes the same rows.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "demo/company_file.h"
#include "demo/company_generator.h"
#include "demo/company_writer.h"
#include "demo/demo_catalogue.h"
#include "demo/demo_company.h"
#include "demo/deterministic_random.h"
#include "demo/fixed_data.h"
#include "demo/price_math.h"

namespace orva::demo {

namespace {

constexpr std::uint64_t kDemoSeed = 20240101;

std::string Seq(int n, int width) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*d", width, n);
    return buf;
}

struct PricedCustomer {
    int id;
    int currencyId;
    bool domestic;
    bool retail;
    bool quoteCustomer;  // the customer whose name holds a quote
};

struct PricedItem {
    int id;
    UnitKind unit;
    double basePrice;  // per the item's base unit, base currency
    int priceDecimal;
};

struct UnitChoice {
    int baseUnit;       // the item's unit
    int bigUnit;        // a larger unit of the same group
    double bigPerBase;  // base units in one big unit
    int group;
};

UnitChoice UnitsOf(UnitKind kind) {
    switch (kind) {
        case UnitKind::kWeight:
            return {kUnitKilogram, kUnitTon, 1000, kUnitGroupWeight};
        case UnitKind::kLength:
            return {kUnitMetre, kUnitRoll, 100, kUnitGroupLength};
        case UnitKind::kCount:
        default:
            return {kUnitPiece, kUnitCarton, 100, kUnitGroupCount};
    }
}

std::string Phone(DeterministicRandom& rnd, std::string_view area) {
    std::string digits;
    for (int i = 0; i < 8; ++i)
        digits += static_cast<char>('0' + (i == 0 ? rnd.Between(5, 8) : rnd.Below(10)));
    return std::string(area) + "-" + digits;
}

std::string Contact(DeterministicRandom& rnd) {
    return std::string(Surnames()[rnd.Below(static_cast<int>(Surnames().size()))]) +
           std::string(GivenNames()[rnd.Below(static_cast<int>(GivenNames().size()))]);
}

std::vector<PricedCustomer> WriteCustomers(CompanyWriter& w, DeterministicRandom& rnd) {
    std::vector<PricedCustomer> priced;
    int generated = 0;
    for (const CustomerRegion& region : DemoCustomerRegions()) {
        int regionId =
            w.AddGroup(kItemClassCustomer, region.number, region.shortNumber, region.name, 0);
        for (const CustomerSubRegion& sub : region.subRegions) {
            int subId =
                w.AddGroup(kItemClassCustomer, sub.number, sub.shortNumber, sub.name, regionId);
            int count = sub.customers + static_cast<int>(sub.fixedNames.size());
            for (int i = 0; i < count; ++i) {
                CustomerRow row;
                row.number = std::string(sub.number) + "." + Seq(i + 1, 3);
                row.shortNumber = std::string(sub.shortNumber) + Seq(i + 1, 2);
                if (i < static_cast<int>(sub.fixedNames.size())) {
                    row.name = sub.fixedNames[i];
                    row.address = std::string(sub.name);
                } else {
                    const auto& trades = TradeNames();
                    const auto& suffixes = CompanySuffixes();
                    row.name = std::string(sub.city) +
                               std::string(trades[(generated * 7) % trades.size()]) +
                               std::string(suffixes[rnd.Below(static_cast<int>(suffixes.size()))]);
                    ++generated;
                    row.address =
                        std::string(sub.city) + "市" +
                        std::string(Streets()[rnd.Below(static_cast<int>(Streets().size()))]) +
                        std::to_string(rnd.Between(1, 999)) + "号";
                }
                row.parentId = subId;
                row.phone = Phone(rnd, sub.areaCode);
                row.contact = Contact(rnd);
                int id = w.AddCustomer(row);
                priced.push_back({id, sub.currencyId, sub.currencyId == kCurrencyRmb, false,
                                  row.name.find('\'') != std::string::npos});
            }
            if (sub.number == "01.03") {
                // A customer no longer in use: in the tree, not in lookups,
                // without prices.
                CustomerRow row;
                row.number = std::string(sub.number) + "." + Seq(count + 1, 3);
                row.shortNumber = std::string(sub.shortNumber) + Seq(count + 1, 2);
                row.name = "石家庄已停用客户";
                row.parentId = subId;
                row.deleted = true;
                w.AddCustomer(row);
            }
        }
        for (std::size_t i = 0; i < region.directCustomers.size(); ++i) {
            CustomerRow row;
            row.number = std::string(region.number) + "." + Seq(static_cast<int>(i) + 1, 3);
            row.shortNumber = std::string(region.shortNumber) + Seq(static_cast<int>(i) + 1, 2);
            row.name = region.directCustomers[i];
            row.parentId = regionId;
            row.phone = Phone(rnd, "400");
            row.contact = Contact(rnd);
            int id = w.AddCustomer(row);
            priced.push_back({id, kCurrencyRmb, true, false, false});
        }
    }
    CustomerRow retail;
    retail.number = kRetailCustomerNumber;
    retail.shortNumber = "LS";
    retail.name = "零售客户";
    int retailId = w.AddCustomer(retail);
    priced.push_back({retailId, kCurrencyRmb, true, true, false});
    return priced;
}

// Item-level minimum price: about one item in ten fixes it for every
// customer (some in US dollars), one in twenty leaves the type Null.
void SetItemMinimum(ItemRow& row, double basePrice, int decimals, DeterministicRandom& rnd) {
    int r = rnd.Below(100);
    if (r < 10) {
        int currency = r < 4 ? kCurrencyUsd : kCurrencyRmb;
        row.salePriceFixingType = 1;
        row.soLowPriceCurrency = currency;
        row.soLowPrice = RoundPrice(FromBaseCurrency(basePrice * 0.9, currency), decimals);
    } else if (r < 15) {
        row.salePriceFixingType = std::nullopt;
    }
}

double BasePrice(const ItemFamily& f, DeterministicRandom& rnd) {
    double t = rnd.Below(1001) / 1000.0;
    return RoundPrice(f.priceLow + (f.priceHigh - f.priceLow) * t, f.priceDecimal);
}

void WriteFamily(CompanyWriter& w, DeterministicRandom& rnd, const ItemFamily& f,
                 std::string_view number, int parentId, std::vector<PricedItem>& priced) {
    UnitChoice units = UnitsOf(f.unit);
    int n = 0;
    auto add = [&](std::string_view name, std::string_view model, int erpClsId, bool deleted) {
        ++n;
        ItemRow row;
        row.number = std::string(number) + "." + Seq(n, 3);
        row.shortNumber = std::string(f.shortNumber) + Seq(n, 3);
        row.name = name;
        row.model = model;
        row.parentId = parentId;
        row.erpClsId = erpClsId;
        row.unitId = units.baseUnit;
        row.unitGroupId = units.group;
        row.qtyDecimal = f.qtyDecimal;
        row.priceDecimal = f.priceDecimal;
        row.deleted = deleted;
        double base = BasePrice(f, rnd);
        SetItemMinimum(row, base, f.priceDecimal, rnd);
        if (row.number == "01.003") {
            // An item without decimal places: the editor falls back to 4 and 2.
            row.qtyDecimal = std::nullopt;
            row.priceDecimal = std::nullopt;
        }
        int id = w.AddItem(row);
        bool priceable = !deleted && erpClsId != kErpClsPlanning && erpClsId != kErpClsFeature;
        if (priceable)
            priced.push_back({id, f.unit, base, row.priceDecimal.value_or(2)});
    };
    for (std::string_view name : f.names) {
        for (std::string_view model : f.models) add(name, model, f.erpClsId, false);
    }
    for (std::string_view name : f.planningItems) add(name, "", kErpClsPlanning, false);
    for (std::string_view name : f.featureItems) add(name, "", kErpClsFeature, false);
    if (number == "05.03")
        add("已停用紧固件", "M10", f.erpClsId, true);
}

std::vector<PricedItem> WriteItems(CompanyWriter& w, DeterministicRandom& rnd) {
    std::vector<PricedItem> priced;
    for (const ItemSection& section : DemoItemSections()) {
        int sectionId =
            w.AddGroup(kItemClassItem, section.number, section.shortNumber, section.name, 0);
        for (const ItemFamily& family : section.families) {
            int familyId = w.AddGroup(kItemClassItem, family.number, family.shortNumber,
                                      family.name, sectionId);
            WriteFamily(w, rnd, family, family.number, familyId, priced);
        }
        if (!section.direct.names.empty()) {
            WriteFamily(w, rnd, section.direct, section.number, sectionId, priced);
        }
    }
    return priced;
}

template <typename T>
T Pick(DeterministicRandom& rnd, std::initializer_list<T> values) {
    return *(values.begin() + rnd.Below(static_cast<int>(values.size())));
}

// The entries of one customer's price of one item: the current price, now
// and then a quantity break, last period's price, an announced price or one
// in dollars, and the header row with the customer's minimum price.
void WriteItemPrices(CompanyWriter& w, DeterministicRandom& rnd, const PricedCustomer& c,
                     const PricedItem& item, bool firstNote) {
    UnitChoice units = UnitsOf(item.unit);
    int currency = c.currencyId;
    double factor = rnd.Between(90, 115) / 100.0;
    auto price = [&](double perBase, int cy) {
        return RoundPrice(FromBaseCurrency(perBase, cy), item.priceDecimal);
    };

    PriceEntryRow e;
    e.custId = c.id;
    e.itemId = item.id;
    e.unitId = units.baseUnit;
    e.currencyId = currency;
    e.price = price(item.basePrice * factor, currency);
    e.leadTime = Pick(rnd, {0, 0, 3, 5, 7, 15, 30});
    e.discount = Pick(rnd, {0.0, 0.0, 0.0, 0.0, 2.0, 5.0, 10.0});
    e.quoteTime = kCurrentFrom;
    e.expireDate = kOpenEnd;
    e.used = rnd.Chance(70);
    e.note = Pick<std::string_view>(
        rnd, {"", "", "", "", "年度合同价", "含税价", "含运费", "季度促销价"});
    if (c.quoteCustomer && firstNote)
        e.note = "O'Neil 特批价";
    w.AddPriceEntry(e);

    if (rnd.Chance(35)) {  // a quantity break in the larger unit
        PriceEntryRow b = e;
        b.unitId = units.bigUnit;
        b.startQty = 10;
        b.endQty = 999;
        b.price = price(item.basePrice * units.bigPerBase * factor * 0.95, currency);
        b.used = rnd.Chance(70);
        b.note = "批量价";
        w.AddPriceEntry(b);
    }
    if (rnd.Chance(25)) {  // last period's price
        PriceEntryRow x = e;
        x.price = price(item.basePrice * factor * 0.92, currency);
        x.quoteTime = kExpiredFrom;
        x.expireDate = kExpiredTo;
        x.used = true;
        x.note = "";
        w.AddPriceEntry(x);
    }
    if (rnd.Chance(10)) {  // an announced price
        PriceEntryRow f = e;
        f.price = price(item.basePrice * factor * 1.05, currency);
        f.quoteTime = kFutureFrom;
        f.used = false;
        f.note = "预定调价";
        w.AddPriceEntry(f);
    }
    if (c.domestic && currency != kCurrencyUsd && rnd.Chance(10)) {
        PriceEntryRow u = e;
        u.currencyId = kCurrencyUsd;
        u.price = price(item.basePrice * factor, kCurrencyUsd);
        u.used = rnd.Chance(50);
        u.note = "外币报价";
        w.AddPriceEntry(u);
    }

    int headerCurrency = c.domestic ? (rnd.Chance(10) ? kCurrencyUsd : kCurrencyRmb) : currency;
    double lowPrice =
        rnd.Chance(40)
            ? RoundPrice(FromBaseCurrency(item.basePrice * 0.95, headerCurrency), item.priceDecimal)
            : 0.0;
    w.AddHeader(item.id, c.id, headerCurrency, lowPrice);
}

void WritePrices(CompanyWriter& w, DeterministicRandom& rnd,
                 const std::vector<PricedCustomer>& customers,
                 const std::vector<PricedItem>& items) {
    std::vector<int> order(items.size());
    for (const PricedCustomer& c : customers) {
        int count = c.retail ? 40 : (c.domestic ? rnd.Between(15, 30) : rnd.Between(8, 15));
        // The first `count` of a partial shuffle, then in item order.
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
        for (int i = 0; i < count; ++i) {
            int j = i + rnd.Below(static_cast<int>(order.size()) - i);
            std::swap(order[i], order[j]);
        }
        std::vector<int> chosen(order.begin(), order.begin() + count);
        std::sort(chosen.begin(), chosen.end());

        bool firstNote = true;
        for (int index : chosen) {
            WriteItemPrices(w, rnd, c, items[index], firstNote);
            firstNote = false;
        }
    }
}

DataRightsPlan DemoRightsPlan() {
    DataRightsPlan plan;
    plan.groupClerkCustomerGroups = {"01", "01.01"};
    plan.salesCustomerGroups = {"02", "02.01"};
    plan.everyoneCustomerGroups = {"03", "03.01"};
    plan.groupClerkItemGroups = {"01", "01.01"};
    plan.salesItemGroups = {"03", "03.01"};
    plan.everyoneItemGroups = {"02"};
    plan.recordClerkCustomers = {"01", "01.01", "02", "02.01"};
    for (std::string_view code : kRecordClerkCustomers)
        plan.recordClerkCustomers.emplace_back(code);
    plan.recordClerkItems = {"01", "01.01", "02", "02.01"};
    for (std::string_view code : kRecordClerkItems) plan.recordClerkItems.emplace_back(code);
    return plan;
}

}  // namespace

CompanySummary CreateDemoCompany(const std::string& path) {
    CompanySummary summary;
    BuildCompanyFile(
        path,
        [&](SqliteFile& file) {
            CompanyWriter w(file);
            DeterministicRandom rnd(kDemoSeed);
            WriteFixedData(w);
            std::vector<PricedCustomer> customers = WriteCustomers(w, rnd);
            std::vector<PricedItem> items = WriteItems(w, rnd);
            WriteDataRights(w, DemoRightsPlan());
            WritePrices(w, rnd, customers, items);
            w.SetMaxNum("t_Cust", w.LastEntryId());
            summary = w.Summary();
        },
        true);
    return summary;
}

void CreateEmptyCompany(const std::string& path) {
    BuildCompanyFile(
        path, [](SqliteFile&) {}, false);
}

}  // namespace orva::demo
