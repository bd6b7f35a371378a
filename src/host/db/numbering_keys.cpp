#include "host/db/numbering_keys.h"

#include "host/base/text_util.h"

namespace orva {
namespace {

constexpr NumberedColumn kNumbered[] = {
    {"t_Cust", "t_CustEntry", "FEntryID"},
};

}  // namespace

const NumberedColumn* NumberedColumnOf(std::string_view tableKey) {
    for (const NumberedColumn& n : kNumbered) {
        if (EqualsNoCase(tableKey, n.key))
            return &n;
    }
    return nullptr;
}

}  // namespace orva
