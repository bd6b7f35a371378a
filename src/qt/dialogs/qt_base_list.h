// "OrvaBaseList.BaseList" in Qt: the list window behind the record editor's
// F8 lookups. Shows the records of a list code (4 items, 7 units,
// 8 customers, 12 currencies) that meet the caller's filter, starting with
// the keyword as the search text; the user picks one or more records and
// gets them back as a record set of the table's columns (FItemID first for
// currencies, whose key is FCurrencyID).
#pragma once

#include <functional>
#include <string>

#include "host/base_list.h"

namespace orva::qt {

class BaseDataPicker;

class QtBaseList : public BaseList {
  public:
    void Filter(const std::string& filter) override { filter_ = filter; }
    void KeyWord(const std::string& keyWord) override { keyWord_ = keyWord; }
    // Null when the user cancels. An unknown list code, or a database that
    // cannot be read, raises ComError.
    RecordsetPtr Show(std::int32_t& hwnd, std::int16_t& listCode) override;

  private:
    std::string filter_;
    std::string keyWord_;
};

}  // namespace orva::qt
