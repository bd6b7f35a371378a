#include "common/ledger_statement.h"

#include "browse/tvw_builder.h"
#include "common/log_on.h"
#include "host/app_connection.h"
#include "host/controls/tree.h"
#include "session/module_context.h"

namespace orva::bench {

std::string FirstCustomerLedgerSql(const std::string& company) {
    LogOn(company);
    Tree tree;
    tvwBuilder builder{ModuleContext::Shared()};
    builder.SetTvwGroup(&tree);
    builder.SetTreeView(-1);
    const std::string cust = ModuleContext::Shared()
                                 .g_Connection->Execute("select FItemID from t_Organization")
                                 ->Fields(0)
                                 .Value()
                                 .ToText();
    std::string statement = builder.GetDetailSql(cust);
    ModuleContext::Shared().g_Connection.reset();
    return statement;
}

}  // namespace orva::bench
