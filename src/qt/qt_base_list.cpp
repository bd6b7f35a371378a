#include "qt/qt_base_list.h"

#include <QApplication>

#include "host/com_error.h"
#include "qt/base_data_picker.h"
#include "qt/lookup_setups.h"
#include "qt/qt_text.h"

namespace orva::qt {

RecordsetPtr QtBaseList::Show(std::int32_t&, std::int16_t& listCode) {
    std::optional<PickerSetup> setup = ListCodeSetup(listCode);
    if (!setup) {
        throw ComError(ComError::kGeneric,
                       "The list window has no list " + std::to_string(listCode) + ".");
    }
    setup->filter = filter_;
    BaseDataQuery query(*setup, PickerConnection());
    BaseDataPicker picker(query, true, Q(keyWord_).trimmed(), QApplication::activeWindow());
    if (picker.exec() != QDialog::Accepted || picker.PickedIds().empty())
        return nullptr;
    return query.Records(picker.PickedIds());
}

}  // namespace orva::qt
