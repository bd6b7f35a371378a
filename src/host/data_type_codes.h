// Data type codes of the record set's fields and of the price descriptors'
// m_DataType and m_ActualType: the platform's numbering, which the module's
// tables of descriptors are written in.
#pragma once

#include <cstdint>

namespace orva {

inline constexpr std::int16_t adSmallInt = 2;
inline constexpr std::int16_t adInteger = 3;
inline constexpr std::int16_t adSingle = 4;
inline constexpr std::int16_t adDouble = 5;
inline constexpr std::int16_t adCurrency = 6;
inline constexpr std::int16_t adDate = 7;
inline constexpr std::int16_t adBoolean = 11;
inline constexpr std::int16_t adDBTimeStamp = 135;
inline constexpr std::int16_t adVarChar = 200;

}  // namespace orva
