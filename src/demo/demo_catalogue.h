// The fixed catalogue the demo company is generated from: customer regions
// with their cities and item groups with the names and specifications their
// items combine.
#pragma once

#include <string_view>
#include <vector>

namespace orva::demo {

enum class UnitKind { kCount, kWeight, kLength };

struct CustomerSubRegion {
    std::string_view number;  // "01.01"
    std::string_view shortNumber;
    std::string_view name;
    std::string_view city;                     // start of the generated customer names
    std::string_view areaCode;                 // telephone
    int customers;                             // generated customers
    int currencyId;                            // currency the region's customers buy in
    std::vector<std::string_view> fixedNames;  // named customers instead
};

struct CustomerRegion {
    std::string_view number;  // "01"
    std::string_view shortNumber;
    std::string_view name;
    std::vector<CustomerSubRegion> subRegions;
    std::vector<std::string_view> directCustomers;  // coded "01.001" ...
};

struct ItemFamily {
    std::string_view number;       // "01.01"
    std::string_view shortNumber;  // prefix of the items' short codes
    std::string_view name;
    UnitKind unit;
    int erpClsId;
    int qtyDecimal;
    int priceDecimal;
    double priceLow;  // price range per base unit, base currency
    double priceHigh;
    std::vector<std::string_view> names;
    std::vector<std::string_view> models;
    std::vector<std::string_view> planningItems;  // FErpClsID 6
    std::vector<std::string_view> featureItems;   // FErpClsID 8
};

struct ItemSection {
    std::string_view number;  // "01"
    std::string_view shortNumber;
    std::string_view name;
    std::vector<ItemFamily> families;
    ItemFamily direct;  // items coded "01.001" ... (names only, one model)
};

const std::vector<CustomerRegion>& DemoCustomerRegions();
const std::vector<ItemSection>& DemoItemSections();

// Word lists for generated names and addresses.
const std::vector<std::string_view>& TradeNames();
const std::vector<std::string_view>& CompanySuffixes();
const std::vector<std::string_view>& Streets();
const std::vector<std::string_view>& Surnames();
const std::vector<std::string_view>& GivenNames();

}  // namespace orva::demo
