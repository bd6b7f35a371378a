// orva-saleprice, the host application, as a function: it does what an ERP
// client does before it calls the module (opens the company database, logs
// a user on, fills the session string), then creates CustFace, sets its
// properties from the command line and calls Show with the Qt face
// installed. In selection mode it prints the picked entry.
//
// Failures are reported in the session's language: on standard error, and in
// a message box as well when the program has a screen a user looks at (not
// on the offscreen platform, not while taking screenshots).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "orvasaleprice/qt_face.h"  // RunHostApp, the program as a function
#include "orvasaleprice/recordset.h"

namespace orva::qt {

// The session string the program hands the module.
std::string HostSessionString(const std::string& connection, int userId,
                              const std::string& language);

// Writes the current row of a record set as "name=value" lines: Null as an
// empty value, dates as yyyy-mm-dd, numbers in their shortest form.
void PrintRecord(const Recordset& rs, std::ostream& out);

}  // namespace orva::qt
