#include "platform.h"

#include "browse/browse_base.h"
#include "demo/demo_company.h"
#include "host/app_connection.h"
#include "host/host_services.h"
#include "support/scoped_session.h"
#include "support/scripted_ui.h"
#include "support/temp_company.h"

struct HostPlatform::Parts {
    orva::test::TempCompany company;
    orva::test::ScopedSession session{company.path(), orva::demo::kAdminUserId};
    orva::ScriptedUiScope ui;
};

HostPlatform::HostPlatform() {
    orva::RegisterHostServices();
    parts_ = std::make_unique<Parts>();
    {
        orva::AppConnection db;
        auto rs = db.Execute("SELECT TOP 1 FEntryID FROM t_CustEntry ORDER BY FEntryID DESC");
        pickedEntry_ = static_cast<std::int32_t>(rs->Fields(0).Value().ToInteger());
    }
    std::int32_t entry = pickedEntry_;
    parts_->ui->OnModal<orva::BrowseBase>(
        "BrowseBase", [entry](orva::BrowseBase& window) { window.SelectEntry(entry); });
}

HostPlatform::~HostPlatform() = default;

int HostPlatform::WindowsShown() const {
    return static_cast<int>(parts_->ui->ModalWindows().size());
}
