// Row security for a company on a PostgreSQL server: the server itself limits
// what each company user's own login reads and writes, whatever program the
// login uses, to what the module lets that user see and do.
//
// A login is a company user when a t_User row (not a group) carries its role
// name exactly, byte for byte (t_User.FName = current_user). Such a login:
//
// - reads, from t_Organization, t_ICItem and t_Item (classes 1 and 4), the
//   customers and items its data rights grant, as the module's rights joins
//   grant them: everything for a member of group 1 or a user whose
//   FDataVokeType is even; else the t_ItemRight rows of the user and of its
//   groups (group 0 never), on the record itself or, with bit 4 of
//   t_UserItemClassRight for the class, on the t_Item row whose code is the
//   record's code without its last "." segment. t_Item rows that carry a
//   right of the login stay readable too: the module's joins look the
//   granted group up there. Other classes of t_Item are not limited.
// - reads and writes t_CustEntry rows whose customer, item and currency
//   (t_ItemRight type 120) it sees; t_Cust rows whose customer and item it
//   sees, and deletes a t_Cust row only when no price entry of the pair is
//   left (entries it cannot see included); reads t_CustEntryHistory rows of
//   customers and items it sees.
// - adds, changes, deletes, audits and unaudits price entries only with the
//   function rights of t_OrvaAccessRight (objects 1099 and 107, index 6,
//   the bits of the user and of its groups, group 0 never; group 1 holds
//   all): 0x20000 add (0x1 too for an entry written audited), 0x400000
//   change, 0x1 audit and unaudit, 0x10000 delete. An audited entry is
//   never changed (other than unaudited) nor deleted. The rights are read
//   by every statement: a change of them holds from the next statement on.
//
// A login that is no company user sees no row of those tables; the owner of
// the tables (the login that loaded the company) is not limited at all, so
// that everything the owner runs today runs unchanged.
//
// What each login sees is derived into the table orva_rs_seen (readable by
// every login: it holds ids and login names, what the rights tables readable
// to the clerks say anyway), renewed in the same transaction by statement
// triggers on the rights tables and the base data; the policies read it by
// index, so that a statement pays for reading its sets, not for deriving them.
// The price history's trigger functions run as their owner (the upgrade
// makes them so, and orva-sql --sync-roles for companies upgraded before),
// so that a login that may only read the history still records its changes
// and the chain is extended from its true last row.
#pragma once

#include <string>
#include <vector>

#include "host/db/db_backend.h"

namespace orva {

// The statements that switch row security on, from any state (everything is
// dropped and made anew, so running them twice changes nothing), and off.
std::vector<std::string> RowSecurityOnScript();
std::vector<std::string> RowSecurityOffScript();

// Switches row security on or off for the company the connection is open on,
// in one transaction. Throws ComError when the connection is not to a
// PostgreSQL server, or when the server refuses (a login that does not own
// the tables).
void SetRowSecurity(DbBackend& db, bool on);

}  // namespace orva
