// The session string a log-on builds is the one every reader parses back:
// braces keep a connection's ";" and "=" inside its value.
#include <gtest/gtest.h>

#include <string>

#include "host/session_string.h"

namespace orva {
namespace {

TEST(SessionStringTest, WhatALogOnBuildsParsesBackFieldByField) {
    struct Case {
        std::string connection;
        int user;
        const char* subID;
        const char* language;
    };
    const Case cases[] = {
        {"/tmp/company.db", 16394, "ic", "CHS"},
        {"/tmp/a;b=c.db", 16397, "ic", "ENG"},
        {"postgresql://clerk@localhost:5432/company?sslmode=disable", 7, "ar", "CHT"},
    };
    for (const Case& c : cases) {
        const std::string text = MakeSessionString(c.connection, c.user, c.subID, c.language);
        SCOPED_TRACE(text);
        EXPECT_EQ(SessionValue(text, "DBConnection"), c.connection);
        EXPECT_EQ(SessionValue(text, "userid"), std::to_string(c.user));
        EXPECT_EQ(SessionValue(text, "SubID"), c.subID);
        EXPECT_EQ(SessionValue(text, "LANGUAGE"), c.language);
        EXPECT_EQ(ParseSessionString(text).size(), 4u);
    }
    EXPECT_EQ(MakeSessionString("/tmp/a.db", 16394),
              "DBConnection={/tmp/a.db};UserID=16394;SubID=ic;LANGUAGE=CHS");
}

}  // namespace
}  // namespace orva
