// The part of a generated company that the demo and the large company share:
// currencies, unit groups and units, other base data, users, groups, their
// function rights, the options; and the data rights, given the codes of the
// groups and records they grant.
#pragma once

#include <string>
#include <vector>

#include "demo/company_writer.h"

namespace orva::demo {

// Writes currencies, units, departments, employees, stocks, suppliers,
// expense items, users and groups with memberships, function rights and
// options.
void WriteFixedData(CompanyWriter& writer);

// Codes (t_Item.FNumber) the clerks' data rights name; see demo_company.h.
struct DataRightsPlan {
    std::vector<std::string> groupClerkCustomerGroups;  // granted to the user
    std::vector<std::string> salesCustomerGroups;       // granted to kSalesGroupId
    std::vector<std::string> everyoneCustomerGroups;    // granted to group 0
    std::vector<std::string> groupClerkItemGroups;
    std::vector<std::string> salesItemGroups;
    std::vector<std::string> everyoneItemGroups;
    std::vector<std::string> recordClerkCustomers;  // groups and records
    std::vector<std::string> recordClerkItems;      // groups and records
};

// The clerks' data rights (t_ItemRight, t_UserItemClassRight). Every code
// must exist already.
void WriteDataRights(CompanyWriter& writer, const DataRightsPlan& plan);

}  // namespace orva::demo
