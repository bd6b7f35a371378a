// One property descriptor of the record editor: the caption, database column,
// type, size, scale, lookup kind and current value of one editable field of a
// price entry. Public fields only; PropDesc creates and owns them.
#pragma once

#include <cstdint>
#include <string>

#include "orvasaleprice/export.h"

namespace orva {

class ORVA_API t_PropDesc {
  public:
    std::int16_t m_PropID = 0;      // a tag carried with the descriptor
    std::string m_Name;             // caption shown in the grid (already localised)
    std::string m_SqlColName;       // column of t_CustEntry the row edits
    std::int16_t m_DataType = 0;    // ADO type of the value: 3, 5, 6, 7, 11, 200
    std::int16_t m_Precision = 0;   // numeric precision in digits
    std::int16_t m_ActualType = 0;  // ADO type of the stored column
    std::int32_t m_Actualsize = 0;  // size in bytes, in characters for text
    std::int16_t m_Behavior = 0;    // always 1
    std::int32_t m_Search = 0;      // lookup kind: 0 none, else item class or display kind
    std::string m_Value;            // current value as text
    std::int16_t m_Scale = 0;       // decimal places shown and kept
};

}  // namespace orva
