// ODBC connection strings ("DRIVER={FreeTDS};SERVER=h;UID=u;PWD=p") as far as
// the back end needs to read them: for messages they are shown without the
// password.
#pragma once

#include <string>
#include <string_view>

namespace orva {

// The connection string with the value of every PWD or PASSWORD attribute
// (any case, braced or not) replaced by "***"; the other attributes as given.
std::string RedactConnectionString(std::string_view connectionString);

}  // namespace orva
