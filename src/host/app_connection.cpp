#include "host/app_connection.h"

#include "host/base/text_util.h"
#include "host/db/open_database.h"
#include "host/host_ui.h"
#include "host/session_string.h"
#include "host/share_props.h"
#include "orvasaleprice/com_error.h"

namespace orva {

std::string SessionConnectionString() {
    ShareProps props;
    Variant s = props.GetProperty(ShareProps::CurrentProcessId(), "PropsString");
    return SessionValue(s.ToText(), AppConnection::kSessionKey);
}

namespace {

// The company database a session's connection string names.
std::unique_ptr<DbBackend> OpenSessionDatabase(const std::string& cs) {
    if (cs.empty()) {
        throw ComError(ComError::kDatabase,
                       "The host session names no company database (session key " +
                           std::string(AppConnection::kSessionKey) + ").",
                       AppConnection::kProgID);
    }
    // A host that names no company file gets told so, rather than a window
    // over an empty database or over some other file.
    if (Trim(cs) == ":memory:") {
        throw ComError(ComError::kDatabase,
                       "The host session names \":memory:\" as the company database "
                       "(session key " +
                           std::string(AppConnection::kSessionKey) +
                           "): a private empty database, not a company file.",
                       AppConnection::kProgID);
    }
    return OpenCompanyDatabase(cs);
}

}  // namespace

AppConnection::AppConnection() : backend_(OpenSessionDatabase(SessionConnectionString())) {}

AppConnection::AppConnection(std::string_view sessionString)
    : backend_(OpenSessionDatabase(SessionValue(sessionString, kSessionKey))) {}

AppConnection::AppConnection(std::unique_ptr<DbBackend> backend) : backend_(std::move(backend)) {}

namespace {
// The first record set of a batch. A text without a result set still hands
// back a (closed) record set object, as the platform's Execute does.
RecordsetPtr FirstRecordset(BatchResult& r) {
    if (!r.recordsets.empty())
        return r.recordsets.front();
    auto empty = std::make_shared<Recordset>(std::vector<std::string>{}, std::vector<Variant>{});
    empty->Close();
    return empty;
}
}  // namespace

RecordsetPtr AppConnection::Execute(std::string_view sql) {
    BatchResult r = backend_->ExecuteBatch(sql);
    return FirstRecordset(r);
}

RecordsetPtr AppConnection::Execute(std::string_view sql, std::int16_t& recordsAffected) {
    BatchResult r = backend_->ExecuteBatch(sql);
    recordsAffected = static_cast<std::int16_t>(r.rowsAffected);
    return FirstRecordset(r);
}

RecordsetPtr AppConnection::GetAnyRecordset(std::string_view sql) {
    return Execute(sql);
}

std::int32_t AppConnection::GetICMaxNum(std::string_view tableKey) {
    return backend_->NextNumber(tableKey);
}

void AppConnection::ShowHelp(std::int32_t hwnd) {
    CurrentUi().ShowHelp(hwnd, "OrvaSalePrice");
}

}  // namespace orva
