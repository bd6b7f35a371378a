#include "browse/browse_base.h"

#include "entry/globals.h"
#include "entry/session.h"
#include "host/app_connection.h"
#include "model/sql_values.h"
#include "orvasaleprice/enums.h"

namespace orva {

void BrowseBase::Load() {
    loaded_ = true;
}

void BrowseBase::Unload() {
    Hide();
    loaded_ = false;
}

bool BrowseBase::SelectEntry(std::int32_t entryID) {
    if (g_ShowMode != ShowSelect || g_ReturnType != ReturnItem)
        return false;
    returnObj_ =
        SharedConnection().Execute("select * from t_CustEntry Where FEntryID=" + SqlId(entryID));
    Hide();
    return true;
}

}  // namespace orva
