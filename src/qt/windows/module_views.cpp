#include "qt/windows/module_views.h"

#include <functional>

#include "browse/browse_base.h"
#include "browse/find_search_all.h"
#include "browse/frm_adjust_prices.h"
#include "host/find/find_dialog.h"
#include "minprice/frm_se_low_price.h"
#include "qt/dialogs/modal_view_registry.h"
#include "qt/dialogs/modal_window_dialog.h"
#include "qt/windows/adjust_prices_window.h"
#include "qt/windows/browse_window.h"
#include "qt/windows/find_dialog_view.h"
#include "qt/windows/import_preview_view.h"
#include "qt/windows/low_price_window.h"

namespace orva::qt {
namespace {

// The dialog takes the window's title and size; `escapeCloses` says whether
// Esc asks the window to close.
void FitHost(QDialog& host, QWidget& body, bool escapeCloses) {
    host.setWindowTitle(body.windowTitle());
    host.resize(body.size());
    if (auto* dialog = qobject_cast<ModalWindowDialog*>(&host))
        dialog->SetEscapeCloses(escapeCloses);
}

}  // namespace

void RegisterBrowseViews() {
    ModalViewRegistry::Register<BrowseBase>("BrowseBase",
                                            std::function<QWidget*(BrowseBase&, QDialog&)>(
                                                [](BrowseBase& logic, QDialog& host) -> QWidget* {
                                                    auto* view = new BrowseWindow(logic, &host);
                                                    // A main window: Esc does not close it, its
                                                    // menu and the title bar's button do.
                                                    FitHost(host, *view, false);
                                                    return view;
                                                }));
    // The browse window's find, filter and sort component and its dialog.
    RegisterFindComponent();
    ModalViewRegistry::Register<FindDialog>(FindDialog::kWindowName,
                                            std::function<QWidget*(FindDialog&, QDialog&)>(
                                                [](FindDialog& logic, QDialog& host) -> QWidget* {
                                                    auto* view = new FindDialogView(logic, &host);
                                                    FitHost(host, *view, true);  // Esc is Cancel
                                                    return view;
                                                }));
    // The import's preview and its file dialogs.
    RegisterQtImportFiles();
    ModalViewRegistry::Register<ImportPreview>(
        ImportPreview::kWindowName, std::function<QWidget*(ImportPreview&, QDialog&)>(
                                        [](ImportPreview& logic, QDialog& host) -> QWidget* {
                                            auto* view = new ImportPreviewView(logic, &host);
                                            FitHost(host, *view, true);  // Esc closes
                                            return view;
                                        }));
    ModalViewRegistry::Register<frmSELowPrice>(
        "frmSELowPrice", std::function<QWidget*(frmSELowPrice&, QDialog&)>(
                             [](frmSELowPrice& logic, QDialog& host) -> QWidget* {
                                 auto* view = new LowPriceWindow(logic, &host);
                                 FitHost(host, *view, true);  // Esc is Cancel
                                 return view;
                             }));
    // The adjustment dialog of the browse window.
    ModalViewRegistry::Register<frmAdjustPrices>(
        frmAdjustPrices::kWindowName, std::function<QWidget*(frmAdjustPrices&, QDialog&)>(
                                          [](frmAdjustPrices& logic, QDialog& host) -> QWidget* {
                                              auto* view = new AdjustPricesWindow(logic, &host);
                                              FitHost(host, *view, true);  // Esc is Cancel
                                              return view;
                                          }));
}

}  // namespace orva::qt
