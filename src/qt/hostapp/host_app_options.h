// The command line of orva-saleprice, the host application: which company
// database and user, the session's language, and the CustFace properties the
// host sets before it calls Show. Parsing needs no Qt and no database; the
// values are checked against the database later (host_app_company.h).
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "orvasaleprice/enums.h"
#include "orvasaleprice/variant.h"

namespace orva::qt {

// Exit statuses of the program.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;        // database, user, display or window failure
inline constexpr int kExitUsage = 2;          // bad command line
inline constexpr int kExitNothingPicked = 3;  // selection mode closed without a pick
// --quote: 0 one entry applies, 1 none does, 3 several overlap, 2 a bad
// option or code; a database that cannot be read is a failure of its own.
inline constexpr int kExitQuoteNone = 1;
inline constexpr int kExitQuoteAmbiguous = 3;
inline constexpr int kExitQuoteFailure = 4;

// --quote CUSTOMER ITEM QTY [--unit U] [--currency C] [--date D]: the price
// that applies to a sales bill's line, answered without a window.
struct QuoteRequest {
    std::string customer;  // code (short code under the UseShortNumber option)
    std::string item;
    double quantity = 0;
    std::string unit;         // code or name; empty: the item's base unit
    std::string currency;     // code; empty: the base currency
    std::optional<Date> day;  // empty: today
};

struct HostAppOptions {
    // A SQLite company file or an ODBC connection string; empty means the
    // demo company in the user's data folder, created on first use.
    std::string database;
    // A user name or user ID of the database; empty means its administrator.
    std::string user;
    // Session language, upper case: "CHS" or "ENG".
    std::string language = "CHS";
    Enu_ShowMode mode = showedit;
    Enu_RType returnType = ReturnItem;
    // Customer and item to preselect: a code or an ID; empty for none.
    std::string customer;
    std::string item;
    // Grouping asked for: true by customer, false by item, unset when the
    // command line names neither (the program then groups by customer).
    std::optional<bool> categoryByCust;
    bool callByBill = false;
    // Where --screenshot writes its pictures; empty when not asked for.
    std::string screenshotDir;
    // The settings file of the windows' saved choices; empty for the user's.
    std::string settingsFile;
    // --export and --print-pdf: the file written without a window to look
    // at; empty when not asked for (at most one of them is set).
    std::string exportFile;
    std::string printPdfFile;
    // Set by --quote.
    std::optional<QuoteRequest> quote;
    // --import FILE [--dry-run] [--rejects FILE]: a price list brought in
    // without a window (empty when not asked for), only planned with
    // --dry-run, its rejected rows written to the rejects file.
    std::string importFile;
    std::string importSheet;  // --sheet: the workbook's sheet (default: the first)
    bool dryRun = false;
    std::string rejectsFile;
    bool help = false;
    bool version = false;
};

// A command line the program cannot run with; what() says what is wrong.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The languages a session may use.
inline constexpr std::string_view kLanguages[] = {"CHS", "ENG"};

// Parses the arguments after the program name. Options take their value as
// the next argument or after "=" ("--user=zhangmin"). Throws UsageError for
// an unknown option, a missing or bad value, an option given twice, both
// groupings, or a stray argument; and for --export or --print-pdf without
// --customer or --item, with each other, with --screenshot or select mode,
// or (--export) a file name ending neither in .xlsx nor in .csv; for --quote
// without its three values, with a quantity that is not a number or is
// negative, with a date that is not one, with a window's option, and for
// --unit, --currency or --date without --quote; for --import with both
// --customer and --item or with a window's option, and for --dry-run,
// --rejects or --sheet without --import.
HostAppOptions ParseHostAppOptions(const std::vector<std::string>& args);

// The text --help prints.
std::string HostAppUsage();
// The line --version prints: "orva-saleprice <version>".
std::string HostAppVersion();

}  // namespace orva::qt
