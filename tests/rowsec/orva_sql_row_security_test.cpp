// orva-sql --row-security on|off as the administrator runs it: on (again)
// and off for a company on the server, refused with the reason for a company
// file, for a clerk's login and for a bad value.
#include <sys/wait.h>
#include <cstdio>

#include "orva_build_paths.h"
#include "rowsec_fixture.h"
#include "support/temp_company.h"

namespace orva::test {
namespace {

struct Outcome {
    int status = -1;
    std::string text;  // standard output and error
};

Outcome OrvaSql(const std::string& database, const std::string& value) {
    const std::string command = std::string("'") + ORVA_BINARY_DIR + "/app/orva-sql' '" + database +
                                "' --row-security " + value + " 2>&1";
    Outcome r;
    FILE* p = popen(command.c_str(), "r");
    if (!p)
        return r;
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) r.text.append(buf, n);
    const int ws = pclose(p);
    r.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : -1;
    return r;
}

TEST_F(RowSecurityTest, OrvaSqlSwitchesItForTheOwnerOnly) {
    TempCompany file;
    const std::string hidden =
        "SELECT count(*) FROM t_CustEntry e JOIN t_Organization o ON o.FItemID = e.FCustID "
        "WHERE o.FNumber COLLATE \"C\" LIKE '03.%'";
    struct Case {
        std::string database;
        const char* value;
        int status;
        const char* says;
        bool clerkSeesHidden;
    };
    const Case cases[] = {
        {owner_, "on", 0, "Row security is on for PostgreSQL", false},  // on already: no change
        {owner_, "off", 0, "Row security is off for PostgreSQL", true},
        {ClerkUri(owner_, "zhangmin"), "on", 1, "must be owner", true},
        {owner_, "on", 0, "Row security is on for PostgreSQL", false},
        {ClerkUri(owner_, "zhangmin"), "off", 1, "must be owner", false},
        {file.path(), "on", 1, "kept by a PostgreSQL server only", false},
        {owner_, "maybe", 2, "--row-security takes on or off", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.database + " " + c.value);
        const Outcome r = OrvaSql(c.database, c.value);
        EXPECT_EQ(r.status, c.status) << r.text;
        EXPECT_NE(r.text.find(c.says), std::string::npos) << r.text;
        std::vector<std::string> rows;
        ASSERT_EQ(PlainRun(Clerk("zhangmin"), hidden, &rows), "");
        EXPECT_EQ(rows.at(0) != "0", c.clerkSeesHidden);
    }
}

}  // namespace
}  // namespace orva::test
