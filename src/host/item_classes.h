// Item classes of the company's base data (t_Item.FItemClassID): which kind
// of record a row of t_Item is. The module groups prices by customers and
// items; the demo company fills the other classes too.
#pragma once

#include <cstdint>

namespace orva {

inline constexpr std::int32_t kItemClassCustomer = 1;
inline constexpr std::int32_t kItemClassDepartment = 2;
inline constexpr std::int32_t kItemClassEmployee = 3;
inline constexpr std::int32_t kItemClassItem = 4;
inline constexpr std::int32_t kItemClassStock = 5;
inline constexpr std::int32_t kItemClassUnit = 7;
inline constexpr std::int32_t kItemClassSupplier = 8;
inline constexpr std::int32_t kItemClassExpense = 9;

}  // namespace orva
