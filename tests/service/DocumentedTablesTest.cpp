// README.md's tables of ecrd's configuration items and problem codes (of
// which `man ecrd` is made) and the OpenAPI document's table of problem
// codes list what the program knows: each item ServiceConfig reads, each
// code Problem has, with its status and whether it is retryable.
#include "ecr/files/InputFile.h"
#include "ecr/files/JsonReader.h"
#include "service/config/ServiceConfig.h"
#include "service/jobs/Problem.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string ReadText(const char* path)
{
    std::string text;
    FileFault fault;
    EXPECT_TRUE(InputFile::ReadAll(path, 1 << 20, text, fault)) << path;
    return text;
}

// The rows of the Markdown table whose header line begins with header,
// each row's cells without their outer spaces.
std::vector<std::vector<std::string>> Table(const std::string& text, const std::string& header)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    std::string line;
    bool inside = false;
    while (std::getline(lines, line)) {
        if (line.rfind(header, 0) == 0) {
            inside = true;
            continue;
        }
        if (!inside || line.rfind("|---", 0) == 0)
            continue;
        if (line.empty() || line[0] != '|')
            break;
        std::vector<std::string> cells;
        std::istringstream parts(line.substr(1));
        std::string cell;
        while (std::getline(parts, cell, '|'))
            cells.push_back(cell.substr(1, cell.size() - 2));
        rows.push_back(cells);
    }
    return rows;
}

// The names a cell gives as code: `listen`, `defaultWaitMs`, `maxWaitMs`.
std::vector<std::string> CodeNames(const std::string& cell)
{
    std::vector<std::string> names;
    for (std::size_t open = cell.find('`'); open != std::string::npos; open = cell.find('`', open)) {
        const std::size_t close = cell.find('`', open + 1);
        names.push_back(cell.substr(open + 1, close - open - 1));
        open = close + 1;
    }
    return names;
}

std::set<std::string> Names(std::initializer_list<const char*> items, const std::string& prefix = "")
{
    std::set<std::string> names;
    for (const char* item : items)
        names.insert(prefix + item);
    return names;
}

// Each code's row: its status, and "yes" when it is retryable with nothing sent.
void ExpectEveryProblemCode(const std::vector<std::vector<std::string>>& rows, const std::string& where)
{
    std::set<std::string> listed;
    for (const std::vector<std::string>& row : rows) {
        ASSERT_EQ(row.size(), 4u) << where;
        const std::vector<std::string> names = CodeNames(row[0]);
        ASSERT_EQ(names.size(), 1u) << where << ": " << row[0];
        const std::optional<Problem::Code> code = Problem::Find(names[0]);
        ASSERT_TRUE(code) << where << " lists " << names[0] << ", which Problem does not know";
        EXPECT_EQ(row[1], std::to_string(Problem::Status(*code))) << where << ": " << names[0];
        const bool retryable = Problem(*code, "", Problem::Sent::Nothing).Retryable();
        EXPECT_EQ(row[2], retryable ? "yes" : "no") << where << ": " << names[0];
        listed.insert(names[0]);
    }
    std::set<std::string> known;
    for (const Problem::Code code : Problem::All())
        known.insert(std::string(Problem::Name(code)));
    EXPECT_EQ(listed, known) << where;
}

const std::string kCodesHeader = "| code | status | retryable when nothing was sent | meaning |";

}  // namespace

TEST(DocumentedTables, ReadmeListsEveryConfigurationItem)
{
    const std::vector<std::vector<std::string>> rows = Table(ReadText(README_FILE), "| item | meaning |");
    std::set<std::string> items;
    std::set<std::string> registerItems;
    std::string pollLimitsRow;
    std::string tlsRow;
    for (const std::vector<std::string>& row : rows) {
        ASSERT_EQ(row.size(), 2u);
        for (const std::string& name : CodeNames(row[0]))
            (name.rfind("registers[].", 0) == 0 ? registerItems : items).insert(name);
        if (row[0] == "`registers[].pollLimits`")
            pollLimitsRow = row[1];
        if (row[0] == "`tls`")
            tlsRow = row[1];
    }
    EXPECT_EQ(items, Names(ServiceConfig::kItems));
    EXPECT_EQ(registerItems, Names(ServiceConfig::kRegisterItems, "registers[]."));
    for (const char* item : ServiceConfig::kPollLimitItems)
        EXPECT_NE(pollLimitsRow.find(std::string("`") + item + "`"), std::string::npos) << item;
    for (const char* item : ServiceConfig::kTlsItems)
        EXPECT_NE(tlsRow.find(std::string("\"") + item + "\""), std::string::npos) << item;
}

TEST(DocumentedTables, ReadmeAndTheOpenApiDocumentListEveryProblemCode)
{
    ExpectEveryProblemCode(Table(ReadText(README_FILE), kCodesHeader), "README.md");

    JsonValue document;
    std::string error;
    JsonReader::Limits limits;
    limits.decimals = true;
    ASSERT_TRUE(JsonReader::Parse(ReadText(OPENAPI_DOCUMENT), document, error, limits)) << error;
    const std::string description = document.Find("info")->Find("description")->AsString();
    ExpectEveryProblemCode(Table(description, kCodesHeader), "openapi.json's description");
    // Its problem schema names every code a program may branch on.
    std::set<std::string> enumerated;
    const JsonValue* code =
        document.Find("components")->Find("schemas")->Find("Problem")->Find("properties")->Find("code");
    for (const JsonValue& name : code->Find("enum")->Items())
        enumerated.insert(name.AsString());
    for (const Problem::Code known : Problem::All())
        EXPECT_EQ(enumerated.count(std::string(Problem::Name(known))), 1u) << Problem::Name(known);
}
