// orva-demo-db: creates a company database file, or fills an empty database
// on a PostgreSQL server, with the demo company or a large one, and prints
// what it holds.
//
//   orva-demo-db PATH|postgresql://...
//   orva-demo-db PATH|postgresql://... --large CUSTOMERS ITEMS ENTRIES
//   orva-demo-db PATH|postgresql://... --empty
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>
#include <string_view>

#include <stdlib.h>

#include "demo/company_generator.h"
#include "demo/demo_company.h"
#include "demo/postgres_company.h"
#include "demo/sqlite_writer.h"
#include "host/db/open_database.h"
#include "host/db/postgres/postgres_uri.h"
#include "host/db/price_history.h"

namespace {

void Usage(std::ostream& out) {
    out << "Usage: orva-demo-db PATH|URI [--large CUSTOMERS ITEMS ENTRIES | --empty]\n"
           "\n"
           "Creates a company database file at PATH (never over an existing file), or\n"
           "fills the empty PostgreSQL database a URI names (postgresql://user@host/db),\n"
           "with the demo company by default.\n"
           "\n"
           "Options:\n"
           "  --large CUSTOMERS ITEMS ENTRIES\n"
           "              a company of the given numbers of customers, items and price\n"
           "              entries instead\n"
           "  --empty     the schema only\n"
           "  -h, --help  show this help\n"
           "  --version   print the program's version\n";
}

bool ParseCount(std::string_view text, std::int64_t& value) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value >= 0;
}

void Print(const std::string& path, const orva::demo::CompanySummary& s, double seconds) {
    using namespace orva::demo;
    std::cout << "Created " << path << " in " << seconds << " s:\n"
              << "  customer groups  " << s.customerGroups << "\n"
              << "  customers        " << s.customers << "\n"
              << "  item groups      " << s.itemGroups << "\n"
              << "  items            " << s.items << "\n"
              << "  units            " << s.units << "\n"
              << "  currencies       " << s.currencies << "\n"
              << "  price entries    " << s.priceEntries << "\n"
              << "  customer-item header rows " << s.headerRows << "\n"
              << "  user groups      " << s.userGroups << "\n"
              << "  users            " << s.users << " (UserID name):\n"
              << "    " << kAdminUserId << " " << kAdminUserName
              << "  administrator, sees and may do everything\n"
              << "    " << kGroupClerkUserId << " " << kGroupClerkUserName
              << "  clerk with rights on customer and item groups and two currencies\n"
              << "    " << kRecordClerkUserId << " " << kRecordClerkUserName
              << "  clerk with rights on single records, may not delete\n"
              << "    " << kLimitedUserId << " " << kLimitedUserName
              << "  sees all data, may only add and print\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        Usage(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? 2 : 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::cout << "orva-demo-db " << ORVA_VERSION << "\n";
        return 0;
    }
    const std::string target = argv[1];
    const bool server = orva::IsPostgresUri(target);
    // A company for a server is generated into a file first and copied over
    // in one transaction.
    std::string scratch;
    if (server) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orva-demo-db-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            std::cerr << "orva-demo-db: cannot create a temporary folder\n";
            return 1;
        }
        scratch = pattern;
    }
    struct RemoveScratch {
        const std::string& dir;
        ~RemoveScratch() {
            std::error_code ec;
            if (!dir.empty())
                std::filesystem::remove_all(dir, ec);
        }
    } removeScratch{scratch};
    const std::string path = server ? scratch + "/company.db" : target;
    const std::string shown = server ? orva::MaskPassword(target) : target;
    // A new company records its price history from its first change on
    // (the generated rows are its starting point, not changes).
    auto finish = [&] {
        if (server)
            orva::demo::CopyCompanyToPostgres(path, target);
        orva::UpgradePriceHistory(*orva::OpenDatabase(target));
    };
    auto start = std::chrono::steady_clock::now();
    auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    try {
        if (argc == 2) {
            orva::demo::CompanySummary summary = orva::demo::CreateDemoCompany(path);
            finish();
            Print(shown, summary, elapsed());
        } else if (argc == 3 && std::strcmp(argv[2], "--empty") == 0) {
            orva::demo::CreateEmptyCompany(path);
            finish();
            std::cout << "Created " << shown << " (schema only, no rows)\n";
        } else if (argc == 6 && std::strcmp(argv[2], "--large") == 0) {
            std::int64_t customers = 0, items = 0, entries = 0;
            if (!ParseCount(argv[3], customers) || !ParseCount(argv[4], items) ||
                !ParseCount(argv[5], entries) || customers > INT32_MAX || items > INT32_MAX) {
                std::cerr << "orva-demo-db: CUSTOMERS, ITEMS and ENTRIES must be whole numbers "
                             "of 0 or more.\n";
                return 2;
            }
            orva::demo::LargeCompanyOptions options;
            options.customers = static_cast<int>(customers);
            options.items = static_cast<int>(items);
            options.priceEntries = entries;
            orva::demo::CompanySummary summary = orva::demo::CreateLargeCompany(path, options);
            finish();
            Print(shown, summary, elapsed());
        } else {
            Usage(std::cerr);
            return 2;
        }
    } catch (const std::runtime_error& e) {
        std::cerr << "orva-demo-db: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
