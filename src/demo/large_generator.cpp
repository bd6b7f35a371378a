// A large company for benchmarks and load tests: the demo's fixed data with
// any number of customers, items and price entries, spread evenly over
// two-level groups.
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

constexpr std::uint64_t kLargeSeed = 19990101;
constexpr int kMaxEntriesPerPair = 8;

std::string Seq(std::int64_t n, int width) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lld", width, static_cast<long long>(n));
    return buf;
}

int Digits(std::int64_t n) {
    int d = 1;
    while (n >= 10) {
        n /= 10;
        ++d;
    }
    return d;
}

// Group IDs of a two-level tree: top groups "01".., sub-groups "01.01"..;
// returns the sub-group IDs in code order with their codes.
struct LeafGroup {
    int id;
    std::string number;
};

std::vector<LeafGroup> WriteGroupTree(CompanyWriter& w, int itemClass, int tops, int subs,
                                      std::string_view topName, std::string_view subName) {
    std::vector<LeafGroup> leaves;
    int width = std::max(2, Digits(std::max(tops, subs)));
    for (int t = 1; t <= tops; ++t) {
        std::string top = Seq(t, width);
        int topId = w.AddGroup(itemClass, top, top, std::string(topName) + top, 0);
        for (int s = 1; s <= subs; ++s) {
            std::string sub = top + "." + Seq(s, width);
            int subId = w.AddGroup(itemClass, sub, sub,
                                   std::string(subName) + top + "-" + Seq(s, width), topId);
            leaves.push_back({subId, sub});
        }
    }
    return leaves;
}

std::string CustomerName(int k) {
    const auto& trades = TradeNames();
    const auto& suffixes = CompanySuffixes();
    static const std::vector<std::string_view> cities = {"北京", "上海", "广州", "深圳", "天津",
                                                         "南京", "杭州", "武汉", "成都", "西安"};
    std::size_t c = k % cities.size();
    std::size_t t = (k / cities.size()) % trades.size();
    std::size_t s = (k / (cities.size() * trades.size())) % suffixes.size();
    std::size_t round = k / (cities.size() * trades.size() * suffixes.size());
    std::string name = std::string(cities[c]) + std::string(trades[t]);
    if (round > 0)
        name += std::to_string(round + 1);
    return name + std::string(suffixes[s]);
}

struct LargeItem {
    int id;
    double basePrice;
};

// One customer-item pair's entries: variant v of at most eight kinds that
// differ in unit, band, currency or validity, so they never collide.
void WriteEntry(CompanyWriter& w, DeterministicRandom& rnd, int custId, const LargeItem& item,
                int variant) {
    PriceEntryRow e;
    e.custId = custId;
    e.itemId = item.id;
    e.unitId = kUnitPiece;
    e.currencyId = kCurrencyRmb;
    e.quoteTime = kCurrentFrom;
    e.expireDate = kOpenEnd;
    e.used = rnd.Chance(70);
    e.leadTime = rnd.Below(4) * 5;
    double perBase = item.basePrice * (90 + rnd.Below(26)) / 100.0;
    double units = 1;
    switch (variant) {
        case 1:
            e.startQty = 100;
            e.endQty = 999;
            perBase *= 0.95;
            break;
        case 2:
            e.quoteTime = kExpiredFrom;
            e.expireDate = kExpiredTo;
            e.used = true;
            break;
        case 3:
            e.quoteTime = kFutureFrom;
            e.used = false;
            break;
        case 4:
            e.currencyId = kCurrencyUsd;
            break;
        case 5:
            e.unitId = kUnitBox;
            units = 10;
            break;
        case 6:
            e.startQty = 1000;
            e.endQty = 9999;
            perBase *= 0.9;
            break;
        case 7:
            e.unitId = kUnitCarton;
            units = 100;
            break;
        default:
            break;
    }
    e.price = RoundPrice(FromBaseCurrency(perBase * units, e.currencyId), 2);
    w.AddPriceEntry(e);
}

// Spreads the entries over customer-item pairs, item by item: item i takes a
// block of consecutive customers (wrapping round), so every customer gets
// about as many items as any other. Pairs come in item and customer order,
// which keeps the header key and the entry key growing as rows are added.
void WritePrices(CompanyWriter& w, DeterministicRandom& rnd, const std::vector<int>& customers,
                 const std::vector<LargeItem>& items, std::int64_t entries) {
    if (entries <= 0)
        return;
    const std::int64_t C = static_cast<std::int64_t>(customers.size());
    const std::int64_t I = static_cast<std::int64_t>(items.size());
    const std::int64_t pairs = std::min<std::int64_t>(C * I, (entries + 1) / 2);
    const std::int64_t perPair = (entries + pairs - 1) / pairs;
    const std::int64_t perItem = pairs / I;
    std::int64_t left = entries;
    std::int64_t pair = 0;
    for (std::int64_t i = 0; i < I; ++i) {
        std::int64_t k = perItem + (i < pairs % I ? 1 : 0);
        std::int64_t start = (i * std::max<std::int64_t>(perItem, 1)) % C;
        // The block start..start+k-1 modulo C, in ascending customer order:
        // first the part that wrapped round to the beginning.
        std::int64_t wrapped = std::max<std::int64_t>(0, start + k - C);
        for (std::int64_t t = 0; t < k; ++t, ++pair) {
            std::int64_t c = t < wrapped ? t : start + (t - wrapped);
            // Each pair takes perPair entries while enough are left for one
            // per remaining pair.
            std::int64_t n = std::min(perPair, left - (pairs - pair - 1));
            for (std::int64_t v = 0; v < n; ++v) {
                WriteEntry(w, rnd, customers[static_cast<std::size_t>(c)], items[i],
                           static_cast<int>(v));
            }
            left -= n;
            w.AddHeader(items[i].id, customers[static_cast<std::size_t>(c)], kCurrencyRmb,
                        pair % 5 == 0 ? RoundPrice(items[i].basePrice * 0.92, 2) : 0.0);
        }
    }
}

std::vector<int> WriteLargeCustomers(CompanyWriter& w, const LargeCompanyOptions& o,
                                     const std::vector<LeafGroup>& custGroups) {
    std::vector<int> customers;
    customers.reserve(o.customers);
    const std::int64_t perGroup = (o.customers + custGroups.size() - 1) / custGroups.size();
    const int width = std::max(3, Digits(perGroup));
    for (int k = 0; k < o.customers; ++k) {
        const LeafGroup& g = custGroups[static_cast<std::size_t>(k / perGroup)];
        CustomerRow row;
        row.number = g.number + "." + Seq(k % perGroup + 1, width);
        row.shortNumber = "K" + Seq(k + 1, Digits(o.customers));
        row.name = CustomerName(k);
        row.parentId = g.id;
        customers.push_back(w.AddCustomer(row));
    }
    return customers;
}

// Writes every item; the priceable ones with their base prices.
std::vector<LargeItem> WriteLargeItems(CompanyWriter& w, DeterministicRandom& rnd,
                                       const LargeCompanyOptions& o,
                                       const std::vector<LeafGroup>& itemGroups,
                                       std::int64_t priceable) {
    std::vector<LargeItem> items;
    items.reserve(priceable);
    const std::int64_t perGroup = (o.items + itemGroups.size() - 1) / itemGroups.size();
    const int width = std::max(3, Digits(perGroup));
    for (int i = 0; i < o.items; ++i) {
        const LeafGroup& g = itemGroups[static_cast<std::size_t>(i / perGroup)];
        ItemRow row;
        row.number = g.number + "." + Seq(i % perGroup + 1, width);
        row.shortNumber = "W" + Seq(i + 1, Digits(o.items));
        row.name = "物料" + Seq(i + 1, Digits(o.items));
        row.model = "规格" + std::to_string(i % 20 + 1);
        row.parentId = g.id;
        row.erpClsId = i % 50 == 48 ? kErpClsPlanning : (i % 50 == 49 ? kErpClsFeature : 1);
        row.unitId = kUnitPiece;
        row.unitGroupId = kUnitGroupCount;
        double base = RoundPrice(1 + rnd.Below(100000) / 100.0, 2);
        if (i % 10 == 0) {
            row.salePriceFixingType = 1;
            row.soLowPrice = RoundPrice(base * 0.9, 2);
        }
        int id = w.AddItem(row);
        if (row.erpClsId == 1)
            items.push_back({id, base});
    }
    return items;
}

// Rights: the clerks get the first groups and records.
void WriteLargeRights(CompanyWriter& w, const LargeCompanyOptions& o,
                      const std::vector<LeafGroup>& custGroups,
                      const std::vector<LeafGroup>& itemGroups, const std::vector<int>& customers,
                      const std::vector<LargeItem>& items) {
    DataRightsPlan plan;
    auto leaf = [&](const std::vector<LeafGroup>& groups, std::size_t i) {
        return i < groups.size() ? groups[i].number : groups.front().number;
    };
    std::string c1 = custGroups.front().number;
    std::string i1 = itemGroups.front().number;
    plan.groupClerkCustomerGroups = {c1.substr(0, c1.find('.')), c1};
    plan.salesCustomerGroups = {leaf(custGroups, o.subGroups).substr(0, c1.find('.')),
                                leaf(custGroups, o.subGroups)};
    plan.groupClerkItemGroups = {i1.substr(0, i1.find('.')), i1};
    plan.salesItemGroups = {leaf(itemGroups, o.subGroups).substr(0, i1.find('.')),
                            leaf(itemGroups, o.subGroups)};
    plan.recordClerkCustomers = {c1.substr(0, c1.find('.')), c1};
    plan.recordClerkItems = {i1.substr(0, i1.find('.')), i1};
    WriteDataRights(w, plan);
    for (int k = 0; k < std::min(o.customers, 5); ++k) {
        w.AddItemRight(kRecordClerkUserId, kRightTypeCustomer, customers[k]);
    }
    for (std::size_t k = 0; k < std::min<std::size_t>(items.size(), 6); ++k) {
        w.AddItemRight(kRecordClerkUserId, kRightTypeItem, items[k].id);
    }
}

}  // namespace

CompanySummary CreateLargeCompany(const std::string& path, const LargeCompanyOptions& o) {
    if (o.customers < 0 || o.items < 0 || o.priceEntries < 0 || o.topGroups < 1 ||
        o.subGroups < 1) {
        throw GeneratorError(
            "Counts of a large company must not be negative, and there must "
            "be at least one group and one sub-group.");
    }
    // Items of planning and feature class carry no prices: one in fifty each.
    std::int64_t priceable = 0;
    for (int i = 0; i < o.items; ++i) priceable += (i % 50 != 48 && i % 50 != 49) ? 1 : 0;
    std::int64_t maxPairs = static_cast<std::int64_t>(o.customers) * priceable;
    if (o.priceEntries > maxPairs * kMaxEntriesPerPair) {
        throw GeneratorError("Cannot spread " + std::to_string(o.priceEntries) +
                             " price entries over " + std::to_string(o.customers) +
                             " customers and " + std::to_string(priceable) +
                             " priceable items: at most " + std::to_string(kMaxEntriesPerPair) +
                             " entries per customer and item.");
    }
    CompanySummary summary;
    BuildCompanyFile(
        path,
        [&](SqliteFile& file) {
            CompanyWriter w(file);
            DeterministicRandom rnd(kLargeSeed);
            WriteFixedData(w);
            const std::vector<LeafGroup> custGroups = WriteGroupTree(
                w, kItemClassCustomer, o.topGroups, o.subGroups, "客户大区", "客户分区");
            const std::vector<int> customers = WriteLargeCustomers(w, o, custGroups);
            const std::vector<LeafGroup> itemGroups =
                WriteGroupTree(w, kItemClassItem, o.topGroups, o.subGroups, "物料大类", "物料小类");
            const std::vector<LargeItem> items = WriteLargeItems(w, rnd, o, itemGroups, priceable);
            WriteLargeRights(w, o, custGroups, itemGroups, customers, items);
            WritePrices(w, rnd, customers, items, o.priceEntries);
            w.SetMaxNum("t_Cust", w.LastEntryId());
            summary = w.Summary();
        },
        o.analyze);
    return summary;
}

CompanySummary CreateLargeCompany(const std::string& path, int customers, int items,
                                  std::int64_t priceEntries) {
    LargeCompanyOptions options;
    options.customers = customers;
    options.items = items;
    options.priceEntries = priceEntries;
    return CreateLargeCompany(path, options);
}

}  // namespace orva::demo
