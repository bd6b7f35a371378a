// PostgreSQL connection URIs ("postgresql://user@host:port/dbname",
// "postgresql:///dbname?host=/socket/dir") as the programs and the session
// accept them.
#pragma once

#include <string>
#include <string_view>

namespace orva {

// Whether the text is a PostgreSQL URI (postgresql:// or postgres://).
bool IsPostgresUri(std::string_view s);

// The URI with its password (in the user part or a password= parameter)
// replaced by "***", for every message that names the server.
std::string MaskPassword(std::string_view uri);

}  // namespace orva
