// Request bodies: what is read from them, and every refusal named before
// anything could be sent.
#include "articles/TempFolder.h"
#include "ecr/files/JsonFields.h"
#include "ecr/files/JsonReader.h"
#include "service/api/RequestFaults.h"
#include "service/api/RequestReader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

namespace {

JsonValue Body(const std::string& text)
{
    JsonValue body;
    std::string error;
    JsonReader::Limits limits;
    limits.decimals = true;
    EXPECT_TRUE(JsonReader::Parse(text, body, error, limits)) << error;
    return body;
}

JobRequest Read(JobKind kind, const std::string& text, const std::string& folder = "")
{
    return RequestReader::Read(kind, Body(text), folder);
}

// The request of the kind that Request names.
template <typename Request>
Request ReadAs(const std::string& text, const std::string& folder = "")
{
    return std::get<Request>(Read(Request::kKind, text, folder));
}

std::string Refusal(JobKind kind, const std::string& text, const std::string& folder = "")
{
    try {
        Read(kind, text, folder);
    } catch (const JsonFields::Refusal& refusal) {
        return refusal.message;
    }
    return "taken";
}

const std::string kLine = R"({"name": "Sok", "price": "12.50", "quantity": 2, "taxRate": 1})";

struct Refused {
    const char* label;
    JobKind kind;
    std::string body;
    const char* message;  // the whole refusal
};

void PrintTo(const Refused& c, std::ostream* os)
{
    *os << c.label;
}

class RequestRefused : public testing::TestWithParam<Refused> {};

}  // namespace

TEST_P(RequestRefused, WithTheItemNamed)
{
    const Refused& c = GetParam();
    EXPECT_EQ(Refusal(c.kind, c.body), c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, RequestRefused,
    testing::Values(
        Refused{"unknown_item", JobKind::Receipt, R"({"lines": [)" + kLine + R"(], "tip": 1})",
                "the request: unknown item \"tip\""},
        Refused{"no_lines", JobKind::Receipt, R"({"lines": []})", "lines: a receipt needs at least one line"},
        Refused{"price_three_decimals", JobKind::Receipt,
                R"({"lines": [{"name": "Sok", "price": 1.505, "quantity": 1, "taxRate": 0}]})",
                "line 1: price: \"1.505\" is not an amount of up to 6 digits and 2 decimals, such as 12.50"},
        Refused{"quantity_four_decimals", JobKind::Receipt,
                R"({"lines": [{"name": "Sok", "price": 1, "quantity": "0.0005", "taxRate": 0}]})",
                "line 1: quantity: \"0.0005\" is not an amount of up to 5 digits and 3 decimals, such as 1.500"},
        Refused{"quantity_zero", JobKind::Receipt,
                R"({"lines": [{"name": "Sok", "price": 1, "quantity": 0, "taxRate": 0}]})",
                "line 1: quantity: must be above 0"},
        Refused{"negative_price", JobKind::Receipt,
                R"({"lines": [{"name": "Sok", "price": -1, "quantity": 1, "taxRate": 0}]})",
                "line 1: price: -1 is below zero"},
        Refused{"price_with_comma", JobKind::Receipt,
                R"({"lines": [{"name": "Sok", "price": "1,50", "quantity": 1, "taxRate": 0}]})",
                "line 1: price: \"1,50\" is not an amount of up to 6 digits and 2 decimals, such as 12.50"},
        Refused{"exponent", JobKind::Receipt,
                R"({"lines": [{"name": "Sok", "price": "1e2", "quantity": 1, "taxRate": 0}]})",
                "line 1: price: \"1e2\" is not an amount of up to 6 digits and 2 decimals, such as 12.50"},
        Refused{"cyrillic_name", JobKind::Receipt,
                R"({"lines": [{"name": "Сок", "price": 1, "quantity": 1, "taxRate": 0}]})",
                "line 1: name: 'С' (U+0421) at character 1 has no Windows-1250 form"},
        Refused{"tab_in_name", JobKind::Receipt,
                R"({"lines": [{"name": "S\tok", "price": 1, "quantity": 1, "taxRate": 0}]})",
                "line 1: name: holds the control byte 0x09 (TAB) at character 2"},
        Refused{"tax_rate_nine", JobKind::Receipt,
                R"({"lines": [{"name": "Sok", "price": 1, "quantity": 1, "taxRate": 9}]})",
                "line 1: tax rate: outside 0..8"},
        Refused{"payment_short", JobKind::Receipt, R"({"lines": [)" + kLine + R"(], "payments": {"cash": "24.99"}})",
                "payments: 24.99 paid, below the receipt's 25.00"},
        Refused{"total_zero", JobKind::Receipt,
                R"({"lines": [{"name": "Kesa", "price": "0.01", "quantity": "0.4", "taxRate": 0}]})",
                "lines: the receipt's total is 0.00; a receipt must come to at least 0.01"},
        Refused{"cashier_too_long", JobKind::Receipt,
                R"({"lines": [)" + kLine + R"(], "cashier": "12345678901234567"})",
                "cashier: 17 characters, the register takes at most 16"},
        Refused{"periodic_no_such_day", JobKind::PeriodicReport, R"({"from": "2026-02-30", "to": "2026-03-01"})",
                "from: no such date: 2026-02-30"},
        Refused{"clock_before_2000", JobKind::SetClock, R"({"clock": "1999-12-31 23:59"})",
                "clock: the register's clock holds the years 2000 to 2099, not 1999-12-31 23:59"},
        Refused{"header_four_lines", JobKind::SetHeader,
                R"({"lines": [{"text": "A", "double": false}, {"text": "", "double": false},
                              {"text": "", "double": false}, {"text": "", "double": false}]})",
                "lines: expected 5 lines, found 4"},
        Refused{"daily_with_item", JobKind::DailyReport, R"({"count": 2})", "the request: unknown item \"count\""},
        Refused{"import_both", JobKind::ImportArticles, R"({"articles": [], "file": "plu.txt"})",
                "the request: give either \"articles\" or \"file\""},
        Refused{"import_file_without_folder", JobKind::ImportArticles, R"({"file": "plu.txt"})",
                "file: this service takes no import files (no \"importFolder\" is configured)"},
        Refused{"raw_zero_byte", JobKind::Raw, R"({"payload": "$y\u0000"})",
                "payload: holds a zero character, which no request can carry"}));

TEST(RequestReader, SaysEachMissingItemOnceAndStillReadsTheItemsThatAreThere)
{
    std::vector<std::string> said;
    try {
        Read(JobKind::Receipt, R"({"lines": [{"price": "1,5"}, {"name": "Сок", "quantity": 1, "taxRate": 0}]})");
    } catch (const RequestFaults& faults) {
        for (const RequestFaults::Fault& fault : faults.Faults())
            said.push_back(fault.pointer + " " + fault.message);
    }
    EXPECT_EQ(said, (std::vector<std::string>{
                        "/lines/0 line 1: \"name\" is missing",
                        "/lines/0/price line 1: price: \"1,5\" is not an amount of up to 6 digits and 2 decimals, "
                        "such as 12.50",
                        "/lines/1 line 2: \"price\" is missing",
                        "/lines/1/name line 2: name: 'С' (U+0421) at character 1 has no Windows-1250 form",
                    }));
}

TEST(RequestReader, ReadsAReceiptWithAmountsAsTextsAndNumbers)
{
    const ReceiptRequest request = ReadAs<ReceiptRequest>(R"({"lines": [
        {"name": "Sok od jabuke", "price": "120", "quantity": 1, "taxRate": 1},
        {"name": "Hleb", "price": 45.5, "quantity": "2.125", "taxRate": 0, "unit": 2}],
        "payments": {"cash": 100, "card": "120.00"}, "registerNumber": 1, "cashier": "Ana"})");
    ASSERT_EQ(request.lines.size(), 2u);
    EXPECT_STREQ(request.lines[0].name.Data(), "Sok od jabuke");
    EXPECT_EQ(request.lines[0].price, 12000);
    EXPECT_EQ(request.lines[0].quantity, 1000);
    EXPECT_EQ(request.lines[1].price, 4550);
    EXPECT_EQ(request.lines[1].quantity, 2125);
    EXPECT_EQ(request.lines[1].unit, 2);
    ASSERT_TRUE(request.payments.has_value());
    EXPECT_EQ((std::array<std::int32_t, 3>{request.payments->cash, request.payments->cheque, request.payments->card}),
              (std::array<std::int32_t, 3>{10000, 0, 12000}));
    EXPECT_STREQ(request.registerNumber.Data(), "1");
    EXPECT_STREQ(request.cashier.Data(), "Ana");
}

TEST(RequestReader, ConvertsTextToTheRegistersCodePage)
{
    const ReceiptRequest request =
        ReadAs<ReceiptRequest>(R"({"lines": [{"name": "Čaj šumski", "price": 1, "quantity": 1, "taxRate": 0}]})");
    EXPECT_EQ(std::string(request.lines[0].name.Data()),
              "\xC8"
              "aj \x9A"
              "umski");
    EXPECT_FALSE(request.payments.has_value()) << "no payments: cash, the register's total";
}

TEST(RequestReader, ReadsRawPayloadsWithTheirTerminators)
{
    EXPECT_EQ(ReadAs<RawRequest>(R"({"payload": "$y1\u001f"})").payload, "$y1\x1F");
}

TEST(RequestReader, TakesImportFilesOnlyByPlainNameInsideTheFolder)
{
    TempFolder folder;
    folder.Write("plu.txt", "Sok,12.50,1,0\r\nHleb,45,0,2\r\n");
    std::filesystem::create_symlink(folder.File("plu.txt"), folder.File("link.txt"));
    const std::string root = folder.File("");
    EXPECT_EQ(ReadAs<ImportArticlesRequest>(R"({"file": "plu.txt"})", root).articles.size(), 2u);
    for (const char* name : {"../plu.txt", "/etc/passwd", ".hidden", "sub/plu.txt", "link.txt"})
        EXPECT_NE(Refusal(JobKind::ImportArticles, std::string(R"({"file": ")") + name + "\"}", root), "taken") << name;
}

// The name is looked up in the folder without following a link: a link
// swapped in while the file is read brings nothing from outside it.
TEST(RequestReader, ALinkSwappedInDuringAnImportBringsNothingFromOutside)
{
    TempFolder folder;
    TempFolder outside;
    const std::string secret = outside.Write("secret.txt", "Tajna,99.99,1,0\r\n");
    const std::string root = folder.File("");
    folder.Write("file.tmp", "Sok,12.50,1,0\r\n");
    std::filesystem::copy_file(folder.File("file.tmp"), folder.File("plu.txt"));
    std::atomic<bool> done{false};
    std::thread swapper([&] {
        for (int i = 0; i < 300; ++i) {
            std::filesystem::create_symlink(secret, folder.File("link.tmp"));
            std::filesystem::rename(folder.File("link.tmp"), folder.File("plu.txt"));
            std::filesystem::copy_file(folder.File("file.tmp"), folder.File("copy.tmp"));
            std::filesystem::rename(folder.File("copy.tmp"), folder.File("plu.txt"));
        }
        done = true;
    });
    int read = 0;
    std::string outsider;  // what came in that should not have
    while (!done) {
        try {
            const auto request = ReadAs<ImportArticlesRequest>(R"({"file": "plu.txt"})", root);
            for (const ECRArticle& article : request.articles) {
                if (std::string(article.name.Data()) != "Sok")
                    outsider = article.name.Data();
            }
            ++read;
        } catch (const JsonFields::Refusal& refusal) {
            if (refusal.message.find("is a link") == std::string::npos)
                outsider = refusal.message;
        }
    }
    swapper.join();
    EXPECT_EQ(outsider, "");
    EXPECT_GT(read, 0);
}
