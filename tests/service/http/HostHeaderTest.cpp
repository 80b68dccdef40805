#include "service/http/HostHeader.h"

#include <gtest/gtest.h>

namespace {

TEST(HostHeaderTest, ReadsANameOrAddressAndAPortAndNothingElse)
{
    struct Case {
        const char* text;
        bool valid;
        const char* host;
        int port;  // -1: none
        bool ipv6;
    };
    const Case cases[] = {
        {"127.0.0.1", true, "127.0.0.1", -1, false},
        {"127.0.0.1:8080", true, "127.0.0.1", 8080, false},
        {"localhost:0", true, "localhost", 0, false},
        {"kasa-1.shop.example:65535", true, "kasa-1.shop.example", 65535, false},
        {"[::1]", true, "::1", -1, true},
        {"[::1]:8080", true, "::1", 8080, true},
        {"[2001:db8::7]:443", true, "2001:db8::7", 443, true},
        {"[::ffff:127.0.0.1]", true, "::ffff:127.0.0.1", -1, true},
        {"a%2Db", true, "a%2Db", -1, false},
        {"[::1]evil.example", false, "", -1, false},
        {"[::1]:80evil", false, "", -1, false},
        {"127.0.0.1:80x", false, "", -1, false},
        {"127.0.0.1:", false, "", -1, false},
        {"127.0.0.1:65536", false, "", -1, false},
        {"127.0.0.1:000080", false, "", -1, false},
        {"a b", false, "", -1, false},
        {"a/b", false, "", -1, false},
        {"a@b", false, "", -1, false},
        {"a%2", false, "", -1, false},
        {"", false, "", -1, false},
        {":80", false, "", -1, false},
        {"[::1", false, "", -1, false},
        {"[]", false, "", -1, false},
        {"[127.0.0.1]", false, "", -1, false},
        {"[fe80::1%25eth0]", false, "", -1, false},
        {"[v1.future]", false, "", -1, false},
        {"::1", false, "", -1, false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.text);
        const auto parsed = HostHeader::Parse(test.text);
        ASSERT_EQ(test.valid, parsed.has_value());
        if (!parsed)
            continue;
        EXPECT_EQ(test.host, parsed->host);
        EXPECT_EQ(test.port, parsed->port ? *parsed->port : -1);
        EXPECT_EQ(test.ipv6, parsed->ipv6);
    }
    EXPECT_FALSE(HostHeader::Parse(std::string_view("a\0b", 3)));
}

}  // namespace
