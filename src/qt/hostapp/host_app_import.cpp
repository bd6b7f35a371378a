#include "qt/hostapp/host_app_import.h"

#include <ostream>

#include "host/app_connection.h"
#include "host/db/db_backend.h"
#include "host/share_props.h"
#include "import/import_plan.h"
#include "import/import_rejects.h"
#include "import/import_write.h"
#include "import/table_file.h"
#include "orvasaleprice/com_error.h"
#include "qt/hostapp/host_app.h"
#include "qt/hostapp/host_app_company.h"
#include "session/module_context.h"
#include "session/res_text.h"
#include "session/session.h"

namespace orva::qt {
namespace {

constexpr const char* kProgram = "orva-saleprice";

void PrintSummary(const import::ImportPlan& plan, std::ostream& out) {
    for (int i = 0; i < static_cast<int>(import::RowOutcome::kCount); ++i) {
        const auto outcome = static_cast<import::RowOutcome>(i);
        if (const std::int64_t n = plan.Count(outcome); n > 0)
            out << import::OutcomeName(outcome) << ": " << n << '\n';
    }
}

void PrintRefused(const import::ImportPlan& plan, std::ostream& err) {
    for (const import::PlannedRow& row : plan.rows) {
        if (import::Rejected(row)) {
            err << kProgram << ": " << plan.file << GetResText("，第") << row.number
                << GetResText("行：") << plan.Reason(row) << '\n';
        }
    }
}

}  // namespace

int RunImport(const HostAppOptions& options, std::ostream& out, std::ostream& err) {
    ModuleContext& ctx = ModuleContext::Shared();
    try {
        OpenedCompany company = OpenCompany(options.database);
        const CompanyUser user = FindUser(*company.backend, options.user);
        import::ImportLeaf leaf;
        try {
            if (!options.customer.empty())
                leaf.custID = FindCustomer(*company.backend, options.customer);
            if (!options.item.empty())
                leaf.itemID = FindItem(*company.backend, options.item);
        } catch (const HostAppError& e) {
            err << kProgram << ": " << e.what() << "\nTry '" << kProgram << " --help'.\n";
            return kExitUsage;
        }
        company.backend.reset();

        // The session the module reads, as for the windows: rights are the user's.
        const std::string session =
            HostSessionString(company.connection, user.id, options.language);
        ShareProps().SetProperty(ShareProps::CurrentProcessId(), "PropsString", Variant(session));
        InitSessionProps(ctx, session);
        ctx.g_Connection = ctx.CreateConnection();
        AppConnection& db = *ctx.g_Connection;
        ctx.g_UseShortNumber = ReadUseShortNumber(db);

        import::ImportPlan plan =
            import::PlanImport(ctx, db, options.importFile, options.importSheet, leaf);
        if (!options.dryRun)
            import::WriteImport(ctx, db, plan);
        PrintSummary(plan, out);
        out.flush();
        PrintRefused(plan, err);
        if (!options.rejectsFile.empty())
            import::WriteRejects(plan, options.rejectsFile);
        return plan.AllAccepted() ? kExitOk : kExitFailure;
    } catch (const import::SourceError& e) {
        err << kProgram << ": " << import::SourceErrorText(e) << '\n';
    } catch (const std::runtime_error& e) {
        err << kProgram << ": " << e.what() << '\n';
    }
    return kExitFailure;
}

}  // namespace orva::qt
