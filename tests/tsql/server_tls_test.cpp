// Encrypted connections to a company on a PostgreSQL server. The test
// server admits TCP connections only with TLS, so a connection that opens
// over TCP is encrypted; what the URI's sslmode and sslrootcert ask of the
// server's certificate decides whether it opens, and a refusal says why
// without ever showing the password.
#include <string>

#include "host/db/open_database.h"
#include "orvasaleprice/com_error.h"
#include "support/postgres_server.h"
#include "tsql_fixture.h"

namespace orva::tsqltest {
namespace {

TEST(ServerTls, TheUrisSslSettingsDecideWhatOpens) {
    test::PostgresServer& server = test::PostgresServer::Get();
    const std::string socketUri = server.NewDatabase(test::TempCompany::kDemo);
    const std::string name = socketUri.substr(14, socketUri.find('?') - 14);  // postgresql:///
    const std::string root = "&sslrootcert=" + server.RootCertificate();
    const std::string otherRoot = "&sslrootcert=" + server.OtherRootCertificate();

    struct Case {
        const char* name;
        std::string params;
        const char* refusal;  // nullptr: opens
    };
    const Case cases[] = {
        {"verified against the server's root", "sslmode=verify-full" + root, nullptr},
        {"root checked, name not", "sslmode=verify-ca" + root, nullptr},
        {"encrypted, nothing verified", "sslmode=require", nullptr},
        {"verified against another root", "sslmode=verify-full" + otherRoot,
         "certificate verify failed"},
        {"root checked against another root", "sslmode=verify-ca" + otherRoot,
         "certificate verify failed"},
        {"a root file that is not there", "sslmode=verify-full&sslrootcert=/nonexistent/root.pem",
         "/nonexistent/root.pem"},
        {"without TLS", "sslmode=disable", "no encryption"},
    };
    for (const Case& c : cases) {
        const std::string uri = server.TcpUri(name, c.params + "&password=s3cret");
        try {
            auto db = OpenDatabase(uri);
            EXPECT_EQ(c.refusal, nullptr) << c.name << ": opened";
            const BatchResult r = db->ExecuteBatch("SELECT COUNT(*) FROM t_CustEntry");
            ASSERT_FALSE(r.recordsets.empty()) << c.name;
            EXPECT_GT(r.recordsets.back()->Fields(0).Value().ToInteger(), 0) << c.name;
        } catch (const ComError& e) {
            ASSERT_NE(c.refusal, nullptr) << c.name << ": " << e.Description();
            EXPECT_EQ(e.Number(), ComError::kDatabase) << c.name;
            EXPECT_NE(e.Description().find(c.refusal), std::string::npos)
                << c.name << ": " << e.Description();
            EXPECT_NE(e.Description().find("localhost"), std::string::npos) << e.Description();
            EXPECT_EQ(e.Description().find("s3cret"), std::string::npos) << e.Description();
        }
    }
}

}  // namespace
}  // namespace orva::tsqltest
