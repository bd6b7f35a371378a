// "OrvaBaseList.BaseList": the host's base-data list window. The caller sets
// a filter condition and a keyword, then shows the list for a list code; the
// user picks records and the list hands them back as a record set (at least
// the column FItemID, the picked record's ID). A fresh component is created
// by ProgID for every list shown.
//
// List codes used by the record editor: 4 items, 7 units, 8 customers,
// 12 currencies.
#pragma once

#include <cstdint>
#include <string>

#include "orvasaleprice/recordset.h"

namespace orva {

class BaseList {
  public:
    static constexpr const char* kProgID = "OrvaBaseList.BaseList";

    virtual ~BaseList() = default;

    // A condition on the listed records (" FUnitGroupID=2", "FErpClsID<4").
    virtual void Filter(const std::string& filter) = 0;
    // The text the list starts searching with.
    virtual void KeyWord(const std::string& keyWord) = 0;
    // Shows the list modally: hwnd the owner window (0 for none), listCode
    // what is listed. The picked records, or nullptr when none was picked.
    // Throws ComError when the list cannot be shown.
    virtual RecordsetPtr Show(std::int32_t& hwnd, std::int16_t& listCode) = 0;
};

}  // namespace orva
