#include "qt/dialogs/qt_base_list.h"

#include <QApplication>

#include "orvasaleprice/com_error.h"
#include "qt/controls/qt_text.h"
#include "qt/dialogs/base_data_picker.h"
#include "qt/dialogs/lookup_setups.h"

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
