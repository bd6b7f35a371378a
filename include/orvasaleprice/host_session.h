// What a host does before it creates CustFace: it logs its user on and hands
// the module the session string of that log-on. CustFace::Show reads the
// string on every call, so a host that logs another user on sets it again.
//
//   orva::SetSessionString(orva::SessionString("/srv/erp/company.db", 16394));
//   orva::CustFace face;
#pragma once

#include <cstdint>
#include <string>

#include "orvasaleprice/export.h"

namespace orva {

// "DBConnection={<dbConnection>};UserID=<userID>;SubID=ic;LANGUAGE=<language>".
// dbConnection is a SQLite company file, a PostgreSQL URI or an ODBC
// connection string; language is "CHS" (the texts as written) or "ENG".
ORVA_API std::string SessionString(const std::string& dbConnection, std::int32_t userID,
                                   const std::string& language = "CHS");

// Stores `session` as the process's shared property "PropsString", the
// session every default CustFace reads (CustFace(sessionString) reads its own). The first
// call also registers the platform components the module creates by name
// (the connection component, the property store, rights, lookups, the
// resource loaders).
ORVA_API void SetSessionString(const std::string& session);

}  // namespace orva
