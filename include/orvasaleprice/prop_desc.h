// The ordered, keyed collection of property descriptors behind the record
// editor. Position 1 is the first descriptor added; keys are optional and
// compared without regard to case. Descriptors are shared: a caller may keep
// the t_PropDesc that Add or Item returned and change its fields in place.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "orvasaleprice/export.h"
#include "orvasaleprice/t_prop_desc.h"

namespace orva {

class ORVA_API PropDesc {
  public:
    using Items = std::vector<std::shared_ptr<t_PropDesc>>;

    // Creates a descriptor from the eleven field values (in this order),
    // appends it under sKey (or without a key when sKey is empty) and returns
    // it. A key already present adds nothing: the user is told through the
    // message dialog ("试图添加一个重复的数据！") and the result is nullptr.
    std::shared_ptr<t_PropDesc> Add(std::int16_t m_Behavior, std::int32_t m_Actualsize,
                                    std::int16_t m_ActualType, std::int16_t m_Precision,
                                    std::int16_t m_DataType, std::string m_SqlColName,
                                    std::string m_Name, std::int16_t m_PropID,
                                    std::int32_t m_Search, std::string m_Value,
                                    std::int16_t m_Scale, std::string_view sKey = {});

    // By 1-based position or by key; nullptr when there is no such entry.
    std::shared_ptr<t_PropDesc> Item(std::int32_t position) const;
    std::shared_ptr<t_PropDesc> Item(std::string_view key) const;
    std::shared_ptr<t_PropDesc> Item(const char* key) const { return Item(std::string_view(key)); }

    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }

    // Removes the entry at a 1-based position, or every entry for -1. A
    // position or key that is not there raises ComError kGeneric.
    void Remove(std::int32_t position);
    void Remove(std::string_view key);
    void Remove(const char* key) { Remove(std::string_view(key)); }

    // Enumeration in order (for-each over the collection).
    Items::const_iterator begin() const { return items_.begin(); }
    Items::const_iterator end() const { return items_.end(); }

  private:
    std::ptrdiff_t IndexOfKey(std::string_view key) const;

    Items items_;
    std::vector<std::string> keys_;  // folded to lower case, "" = no key
};

}  // namespace orva
