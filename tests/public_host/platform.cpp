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
    std::int32_t picked = 0;
};

HostPlatform::HostPlatform(int, char**) {
    orva::RegisterHostServices();
    parts_ = std::make_unique<Parts>();
    std::int32_t entry = 0;
    {
        orva::AppConnection db;
        auto rs =
            db.Execute("SELECT TOP 1 FEntryID, FCustID FROM t_CustEntry ORDER BY FEntryID DESC");
        entry = static_cast<std::int32_t>(rs->Fields(0).Value().ToInteger());
        customer_ = static_cast<std::int32_t>(rs->Fields(1).Value().ToInteger());
    }
    parts_->ui->OnModal<orva::BrowseBase>("BrowseBase", [this, entry](orva::BrowseBase& window) {
        if (window.SelectEntry(entry))
            parts_->picked = entry;
    });
}

HostPlatform::~HostPlatform() = default;

std::int32_t HostPlatform::PickedEntry() const {
    return parts_->picked;
}

int HostPlatform::WindowsShown() const {
    return static_cast<int>(parts_->ui->ModalWindows().size());
}
