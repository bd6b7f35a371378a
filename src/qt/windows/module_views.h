// The widgets of the module's windows, registered with ModalViewRegistry so
// that QtHostUi::ShowModal draws them: the browse window BrowseBase, the
// find/filter/sort dialog (with the find component it belongs to, registered
// by ProgID) and the minimum price dialog frmSELowPrice. The host
// application calls this once,
// after InstallQtHost, beside the record editor's own registration.
#pragma once

namespace orva::qt {

void RegisterBrowseViews();

}  // namespace orva::qt
