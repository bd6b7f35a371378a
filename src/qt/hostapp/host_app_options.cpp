#include "qt/hostapp/host_app_options.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <set>

#include "host/base/text_util.h"
#include "host/export/export_file.h"

namespace orva::qt {
namespace {

// Options that take a value, and where the value goes.
using Setter = std::function<void(HostAppOptions&, const std::string& value)>;

std::string Lower(std::string_view s) {
    return ToLowerAscii(s);
}

std::string NonEmpty(const std::string& option, const std::string& value) {
    if (Trim(value).empty())
        throw UsageError("option " + option + " needs a value");
    return std::string(Trim(value));
}

// The quote the options build up (--unit may come before --quote).
QuoteRequest& Quote(HostAppOptions& o) {
    if (!o.quote)
        o.quote.emplace();
    return *o.quote;
}

// --quote CUSTOMER ITEM QTY: the three values after the option.
void ParseQuote(HostAppOptions& o, const std::vector<std::string>& args, std::size_t& i) {
    if (i + 3 >= args.size())
        throw UsageError("option --quote needs CUSTOMER ITEM QTY");
    QuoteRequest& q = Quote(o);
    q.customer = NonEmpty("--quote", args[++i]);
    q.item = NonEmpty("--quote", args[++i]);
    const std::string& qty = args[++i];
    const std::optional<double> number = ParseNumber(Trim(qty));
    if (!number || !std::isfinite(*number) || *number < 0)
        throw UsageError("--quote: quantity '" + qty + "' is not a number of 0 or more");
    q.quantity = *number;
}

// A quote is answered without a window: the window's options do not go with it.
void CheckQuote(const HostAppOptions& o) {
    if (!o.quote)
        return;
    if (o.quote->customer.empty())
        throw UsageError("--unit, --currency and --date go with --quote");
    if (!o.screenshotDir.empty() || !o.exportFile.empty() || !o.printPdfFile.empty() ||
        o.mode == ShowSelect || !o.customer.empty() || !o.item.empty())
        throw UsageError(
            "--quote opens no window: it cannot be given with --screenshot, "
            "--export, --print-pdf, --mode select, --customer or --item");
}

const std::map<std::string, Setter>& ValueOptions() {
    static const std::map<std::string, Setter> options = {
        {"--database",
         [](HostAppOptions& o, const std::string& v) { o.database = NonEmpty("--database", v); }},
        {"--user", [](HostAppOptions& o, const std::string& v) { o.user = NonEmpty("--user", v); }},
        {"--language",
         [](HostAppOptions& o, const std::string& v) {
             const std::string code = ToUpperAscii(Trim(v));
             if (std::find(std::begin(kLanguages), std::end(kLanguages), code) ==
                 std::end(kLanguages)) {
                 throw UsageError("unknown language '" + v + "' (use CHS or ENG)");
             }
             o.language = code;
         }},
        {"--mode",
         [](HostAppOptions& o, const std::string& v) {
             const std::string m = Lower(Trim(v));
             if (m == "edit")
                 o.mode = showedit;
             else if (m == "select")
                 o.mode = ShowSelect;
             else
                 throw UsageError("unknown mode '" + v + "' (use edit or select)");
         }},
        {"--return",
         [](HostAppOptions& o, const std::string& v) {
             const std::string r = Lower(Trim(v));
             if (r == "item")
                 o.returnType = ReturnItem;
             else if (r == "class")
                 o.returnType = ReturnClass;
             else
                 throw UsageError("unknown return type '" + v + "' (use item or class)");
         }},
        {"--customer",
         [](HostAppOptions& o, const std::string& v) { o.customer = NonEmpty("--customer", v); }},
        {"--item", [](HostAppOptions& o, const std::string& v) { o.item = NonEmpty("--item", v); }},
        {"--screenshot",
         [](HostAppOptions& o, const std::string& v) {
             o.screenshotDir = NonEmpty("--screenshot", v);
         }},
        {"--settings", [](HostAppOptions& o,
                          const std::string& v) { o.settingsFile = NonEmpty("--settings", v); }},
        {"--export",
         [](HostAppOptions& o, const std::string& v) {
             o.exportFile = NonEmpty("--export", v);
             if (!FormatOfPath(o.exportFile))
                 throw UsageError("cannot tell the format of '" + v +
                                  "' (the file name must end in .xlsx or .csv)");
         }},
        {"--unit",
         [](HostAppOptions& o, const std::string& v) { Quote(o).unit = NonEmpty("--unit", v); }},
        {"--currency", [](HostAppOptions& o,
                          const std::string& v) { Quote(o).currency = NonEmpty("--currency", v); }},
        {"--date",
         [](HostAppOptions& o, const std::string& v) {
             Quote(o).day = Date::Parse(NonEmpty("--date", v));
             if (!o.quote->day)
                 throw UsageError("--date: '" + v + "' is not a date (yyyy-mm-dd)");
         }},
        {"--print-pdf", [](HostAppOptions& o,
                           const std::string& v) { o.printPdfFile = NonEmpty("--print-pdf", v); }},
        {"--import",
         [](HostAppOptions& o, const std::string& v) { o.importFile = NonEmpty("--import", v); }},
        {"--sheet",
         [](HostAppOptions& o, const std::string& v) { o.importSheet = NonEmpty("--sheet", v); }},
        {"--rejects",
         [](HostAppOptions& o, const std::string& v) { o.rejectsFile = NonEmpty("--rejects", v); }},
    };
    return options;
}

// A file written without a window: the leaf it is written from is named, and
// nothing else is asked of the window.
void CheckBatchJob(const HostAppOptions& o) {
    if (o.exportFile.empty() && o.printPdfFile.empty())
        return;
    if (!o.exportFile.empty() && !o.printPdfFile.empty())
        throw UsageError("--export and --print-pdf cannot be given together");
    const char* option = o.exportFile.empty() ? "--print-pdf" : "--export";
    if (o.customer.empty() && o.item.empty())
        throw UsageError(std::string(option) + " needs --customer or --item");
    if (!o.screenshotDir.empty())
        throw UsageError(std::string(option) + " cannot be given with --screenshot");
    if (o.mode == ShowSelect)
        throw UsageError(std::string(option) + " cannot be given with --mode select");
}

// An import opens no window; a file without the customer's (or item's)
// column belongs to the one customer or item named.
void CheckImport(const HostAppOptions& o) {
    if (o.importFile.empty()) {
        if (o.dryRun || !o.rejectsFile.empty() || !o.importSheet.empty())
            throw UsageError("--dry-run, --rejects and --sheet go with --import");
        return;
    }
    if (!o.customer.empty() && !o.item.empty())
        throw UsageError("--import takes --customer or --item, not both");
    if (!o.screenshotDir.empty() || !o.exportFile.empty() || !o.printPdfFile.empty() || o.quote ||
        o.mode == ShowSelect)
        throw UsageError(
            "--import opens no window: it cannot be given with --screenshot, --export, "
            "--print-pdf, --quote or --mode select");
    if (!o.rejectsFile.empty() && !FormatOfPath(o.rejectsFile))
        throw UsageError("cannot tell the format of '" + o.rejectsFile +
                         "' (the file name must end in .xlsx or .csv)");
}

}  // namespace

HostAppOptions ParseHostAppOptions(const std::vector<std::string>& args) {
    HostAppOptions o;
    std::set<std::string> seen;
    auto once = [&seen](const std::string& name) {
        if (!seen.insert(name).second)
            throw UsageError("option " + name + " given twice");
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            o.help = true;
            continue;
        }
        if (arg == "--version") {
            o.version = true;
            continue;
        }
        if (arg == "--by-customer" || arg == "--by-item") {
            once("--by-customer/--by-item");
            o.categoryByCust = arg == "--by-customer";
            continue;
        }
        if (arg == "--quote") {
            once(arg);
            ParseQuote(o, args, i);
            continue;
        }
        if (arg == "--dry-run") {
            once(arg);
            o.dryRun = true;
            continue;
        }
        if (arg == "--from-bill") {
            once(arg);
            o.callByBill = true;
            continue;
        }
        std::string name = arg;
        std::optional<std::string> value;
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        const auto option = ValueOptions().find(name);
        if (option == ValueOptions().end()) {
            if (arg.rfind("-", 0) == 0)
                throw UsageError("unknown option " + name);
            throw UsageError("unexpected argument '" + arg + "'");
        }
        if (!value) {
            if (i + 1 >= args.size())
                throw UsageError("option " + name + " needs a value");
            value = args[++i];
        }
        once(name);
        option->second(o, *value);
    }
    if (!o.help && !o.version) {
        CheckBatchJob(o);
        CheckQuote(o);
        CheckImport(o);
    }
    return o;
}

std::string HostAppUsage() {
    return "Usage: orva-saleprice [OPTIONS]\n"
           "  or:  orva-saleprice --quote CUSTOMER ITEM QTY [--unit U] [--currency C]\n"
           "                      [--date D] [--database DB]\n"
           "  or:  orva-saleprice [--customer CODE | --item CODE] --import FILE\n"
           "                      [--sheet NAME] [--dry-run] [--rejects FILE] [--database DB]\n"
           "\n"
           "Opens the customer sale price windows over a company database, as an ERP\n"
           "client calls the module: logs a user on, sets the session and the module's\n"
           "properties, and shows the browse window.\n"
           "\n"
           "Company and session:\n"
           "  --database DB        a SQLite company file (it must exist), a PostgreSQL\n"
           "                       URI (\"postgresql://user@host/company\"), or an ODBC\n"
           "                       connection string (\"DSN=erp;UID=u;PWD=p\" or\n"
           "                       \"DRIVER=FreeTDS;SERVER=host;...\"). Default: the demo\n"
           "                       company $XDG_DATA_HOME/orvasaleprice/demo.db\n"
           "                       (~/.local/share/orvasaleprice/demo.db), created on\n"
           "                       first use\n"
           "  --user NAME|ID       the user to log on (default: the user whose own\n"
           "                       PostgreSQL login the URI names, else the\n"
           "                       administrator); a user's own login opens the\n"
           "                       company as that user only\n"
           "  --language CHS|ENG   the session's language (default CHS)\n"
           "  --settings FILE      keep the windows' saved choices in FILE instead of\n"
           "                       the user's settings\n"
           "\n"
           "How the module is called:\n"
           "  --mode edit|select   maintain prices (default), or pick a price entry\n"
           "  --return item|class  in select mode: return the activated entry\n"
           "                       (default), or nothing\n"
           "  --customer CODE|ID   customer to preselect\n"
           "  --item CODE|ID       item to preselect\n"
           "  --by-customer        group by customer (default)\n"
           "  --by-item            group by item\n"
           "                       (the user's last choice wins unless --from-bill)\n"
           "  --from-bill          called from a sales bill: audited entries in force\n"
           "                       today\n"
           "\n"
           "Other:\n"
           "  --screenshot DIR     open the windows, save PNG pictures of them into DIR\n"
           "                       (created if needed), print their paths and exit;\n"
           "                       nothing is written to the database\n"
           "  --export FILE        with --customer or --item: export that ledger to\n"
           "                       FILE (.xlsx or .csv, by its extension) and exit\n"
           "  --print-pdf FILE     with --customer or --item: print that ledger to the\n"
           "                       PDF file FILE and exit\n"
           "  --quote CUSTOMER ITEM QTY\n"
           "                       print the price that applies to QTY of ITEM sold to\n"
           "                       CUSTOMER (codes; short codes when the company uses\n"
           "                       them): the audited entry whose quantity band and\n"
           "                       validity period hold QTY and the day, and exit;\n"
           "                       needs no display\n"
           "  --unit CODE          with --quote: the unit (default: the item's base unit)\n"
           "  --currency CODE      with --quote: the currency (default: the base\n"
           "                       currency)\n"
           "  --date yyyy-mm-dd    with --quote: the day of the sale (default: today)\n"
           "  --import FILE        bring the price list FILE (.xlsx or .csv) in without\n"
           "                       a window: every row is checked as the editor checks\n"
           "                       an entry, then written (new entries and changes of\n"
           "                       unaudited ones), each row on its own; one summary\n"
           "                       line per outcome is printed, each refused row on\n"
           "                       standard error with its row number. A file without\n"
           "                       the customer's (item's) column belongs to the\n"
           "                       --customer (--item) named\n"
           "  --sheet NAME         with --import: the workbook's sheet to read (default:\n"
           "                       the first)\n"
           "  --dry-run            with --import: check and report, write nothing\n"
           "  --rejects FILE       with --import: write the refused rows, with their row\n"
           "                       numbers and reasons, to FILE (.xlsx or .csv)\n"
           "  -h, --help           show this help\n"
           "  --version            print the program's version\n"
           "\n"
           "In select mode the picked entry's fields print to standard output, one\n"
           "name=value per line. --quote prints each entry that holds the quantity and\n"
           "day on a line of its own: FEntryID=, FPrice=, FStartQty=, FEndQty= (0: no\n"
           "upper end), FQuoteTime= and FExpireDate= (the first day it no longer\n"
           "applies), separated by spaces.\n"
           "\n"
           "Exit status: 0 done (in select mode: an entry was picked; with --export or\n"
           "--print-pdf: the file was written); 1 the database, user, display or a\n"
           "window failed, or the file could not be written (the message says why);\n"
           "2 bad command line; 3 select mode closed without a pick.\n"
           "With --quote: 0 one entry applies; 1 none does; 2 bad command line or a\n"
           "customer, item, unit or currency the company does not have; 3 several\n"
           "entries apply (all are printed); 4 the database could not be read.\n"
           "With --import: 0 every row was written or unchanged (with --dry-run: would\n"
           "be); 1 some rows were refused, or the file or the database could not be\n"
           "read (nothing was written then); 2 bad command line.\n";
}

std::string HostAppVersion() {
    return std::string("orva-saleprice ") + ORVA_VERSION + "\n";
}

}  // namespace orva::qt
