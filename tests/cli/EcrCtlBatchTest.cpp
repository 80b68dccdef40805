// ecrctl batch: many subcommands over one connection, against the simulated
// register; requests written by hand.
#include "../articles/TempFolder.h"
#include "EcrCtlFixture.h"
#include "JsonReader.h"
#include "cli/BatchScript.h"

#include <iostream>
#include <sstream>

namespace {

using Words = std::vector<std::string>;

struct SplitCase {
    const char* label;
    const char* script;
    std::vector<std::pair<std::size_t, Words>> commands;  // line, words
};

void PrintTo(const SplitCase& c, std::ostream* os)
{
    *os << c.label;
}

class BatchSplit : public testing::TestWithParam<SplitCase> {};

class EcrCtlBatch : public EcrCtlFixture {
protected:
    Outcome Batch(const std::string& script, Words options = {}, Words globals = {})
    {
        Words args{"batch", folder.Write("batch.txt", script)};
        args.insert(args.end(), options.begin(), options.end());
        return Run(args, globals);
    }

    TempFolder folder;
};

}  // namespace

TEST_P(BatchSplit, SplitsAsAShellWould)
{
    const SplitCase& c = GetParam();
    std::vector<BatchScript::Command> commands;
    std::string error;
    ASSERT_TRUE(BatchScript::Split(c.script, commands, error)) << error;
    ASSERT_EQ(commands.size(), c.commands.size());
    for (std::size_t i = 0; i < commands.size(); ++i) {
        EXPECT_EQ(commands[i].line, c.commands[i].first) << i;
        EXPECT_EQ(commands[i].words, c.commands[i].second) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, BatchSplit,
    testing::Values(
        SplitCase{"blank_and_comment_lines", "\n  # a comment\n\t\nstatus\n", {{4, {"status"}}}},
        SplitCase{"trailing_comment", "sell Sok 1 1 1 # one\n", {{1, {"sell", "Sok", "1", "1", "1"}}}},
        SplitCase{"hash_inside_a_word", "info-print a#b\n", {{1, {"info-print", "a#b"}}}},
        SplitCase{"single_quotes_keep_everything", "x 'a \"b\" \\n #c'\n", {{1, {"x", "a \"b\" \\n #c"}}}},
        SplitCase{"double_quotes_escape_four", "x \"a\\\"b\\\\c\\$d\\`e\\nf\"\n", {{1, {"x", "a\"b\\c$d`e\\nf"}}}},
        SplitCase{"empty_words", "header set \"\" '' x\n", {{1, {"header", "set", "", "", "x"}}}},
        SplitCase{"adjacent_parts_join", "x ab\"c d\"'e'\\ f\n", {{1, {"x", "abc de f"}}}},
        SplitCase{"backslash_newline_joins_lines",
                  "sell Sok \\\n  1 1 1\nstatus\n",
                  {{1, {"sell", "Sok", "1", "1", "1"}}, {3, {"status"}}}},
        SplitCase{"crlf_lines", "status\r\nclock\r\n", {{1, {"status"}}, {2, {"clock"}}}},
        SplitCase{"nothing_expanded", "x $HOME * ~ a;b\n", {{1, {"x", "$HOME", "*", "~", "a;b"}}}},
        SplitCase{"no_final_newline", "status", {{1, {"status"}}}},
        SplitCase{"quoted_newline_stays_in_the_word", "x \"a\nb\"\ny\n", {{1, {"x", "a\nb"}}, {3, {"y"}}}}),
    [](const testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.label); });

TEST(BatchSplitErrors, AnUnclosedQuoteNamesTheLineItOpensOn)
{
    for (const char* script : {"status\nsell 'Sok 1 1 1\nstatus\n", "status\nsell \"Sok\\\" 1\n"}) {
        std::vector<BatchScript::Command> commands;
        std::string error;
        EXPECT_FALSE(BatchScript::Split(script, commands, error)) << script;
        EXPECT_EQ(error.rfind("line 2: ", 0), 0U) << error;
    }
}

TEST_F(EcrCtlBatch, AReceiptIsOneFileOverOneLogOn)
{
    const Outcome outcome = Batch(
        "# one receipt\n"
        "begin --register 1 --cashier 7\n"
        "sell Sok 12.50 2 2   # two at 12.50\n"
        "sell \"Hleb beli\" 45 1 1\n"
        "void Sok 12.50 1\n"
        "subtotal\n"
        "pay 100\n");
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(Requests(), (Words{"*t1\n7\n",
                                 "*lSok\n1250\t2000\t2\x1F"
                                 "0\x1F",
                                 "*lHleb beli\n4500\t1000\t1\x1F"
                                 "0\x1F",
                                 "*sSok\n1250\t1000\t", "*u", "*e10000\t0\t0\t"}));
    EXPECT_EQ(outcome.out, "57.50\n");
}

TEST_F(EcrCtlBatch, SellOpensAReceiptOnlyWhenNoneIsOpenAndKeepsTheDefaults)
{
    const Outcome outcome = Batch(
        "sell A 1 1 1 --register 3 --cashier Ana\n"
        "sell B 2 1 1\n"
        "pay 10\n"
        "sell C 3 1 1\n"
        "cancel\n");
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(Requests(), (Words{"*t3\nAna\n",
                                 "*lA\n100\t1000\t1\x1F"
                                 "0\x1F",
                                 "*lB\n200\t1000\t1\x1F"
                                 "0\x1F",
                                 "*e1000\t0\t0\t", "*t3\nAna\n",
                                 "*lC\n300\t1000\t1\x1F"
                                 "0\x1F",
                                 "*x"}));
}

// A cancel the register took closes the receipt: the next sale opens one
// (it went into none, and was refused with code 58).
TEST_F(EcrCtlBatch, AfterACancelTheNextSaleOpensANewReceipt)
{
    const Outcome outcome = Batch("sell A 1 1 1\ncancel\nsell B 2 1 1\npay 10\n");
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(Requests(), (Words{"*t\n\n",
                                 "*lA\n100\t1000\t1\x1F"
                                 "0\x1F",
                                 "*x", "*t\n\n",
                                 "*lB\n200\t1000\t1\x1F"
                                 "0\x1F",
                                 "*e1000\t0\t0\t"}));
}

TEST_F(EcrCtlBatch, BeginOnAnOpenReceiptIsRefusedWithoutTraffic)
{
    const Outcome outcome = Batch("begin\nbegin\n");
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(Requests(), Words{"*t\n\n"});
    EXPECT_NE(outcome.err.find("line 2: a receipt is already open"), std::string::npos) << outcome.err;
}

TEST_F(EcrCtlBatch, AFailingMiddleLineStopsWithItsNumberAndCode)
{
    const Outcome outcome = Batch("sell Sok 10 1 1\n\nvoid Nema 5 1\nsubtotal\npay 10\n");
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(Requests(), (Words{"*t\n\n",
                                 "*lSok\n1000\t1000\t1\x1F"
                                 "0\x1F",
                                 "*sNema\n500\t1000\t"}));
    EXPECT_NE(outcome.err.find("line 3: the register refused"), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find("(code 65)"), std::string::npos) << outcome.err;
}

TEST_F(EcrCtlBatch, KeepGoingRunsEveryLineAndEndsWithTheFirstFailuresCode)
{
    const Outcome outcome =
        Batch("void Nema 5 1\nsell Sok 10 1 1\narticles delete\npay 10\n", {"--keep-going"}, {"--json"});
    EXPECT_EQ(outcome.exitCode, 1) << outcome.err;
    EXPECT_EQ(Requests(), (Words{"*sNema\n500\t1000\t", "*t\n\n",
                                 "*lSok\n1000\t1000\t1\x1F"
                                 "0\x1F",
                                 "*e1000\t0\t0\t"}));
    const Json doc = Json::Parse(outcome.out);
    EXPECT_EQ(doc["exitCode"].number, 1);
    EXPECT_EQ(doc["failed"].number, 2);
    const auto& lines = doc["lines"].items;
    ASSERT_EQ(lines.size(), 4U);
    const long long codes[] = {1, 0, 2, 0};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i]["line"].number, static_cast<long long>(i + 1));
        EXPECT_EQ(lines[i]["exitCode"].number, codes[i]) << i;
        EXPECT_EQ(lines[i]["ok"].boolean, codes[i] == 0) << i;
    }
    EXPECT_EQ(lines[0]["deviceCode"].number, 58) << "no receipt open";
    EXPECT_EQ(lines[1]["command"].text, "sell Sok 10 1 1");
    EXPECT_NE(outcome.err.find("line 3: delete: give either NAME or --all"), std::string::npos) << outcome.err;
}

TEST_F(EcrCtlBatch, AMistakeOnALateLineSendsNothing)
{
    for (const char* script :
         {"sell Sok 10 1 1\nsell Sok\n", "sell Sok 10 1 1\nnonsense\n", "sell Sok 10 1 1\nstatus --port COM2\n",
          "sell Sok 10 1 1\ndoctor\n", "sell Sok 10 1 1\nbatch other.txt\n", "sell Sok 10 1 1\nclock --help\n",
          "sell Sok 10 1 1\nhelp clock\n"}) {
        host.ClearRequests();
        const Outcome outcome = Batch(script);
        EXPECT_EQ(outcome.exitCode, 2) << script;
        EXPECT_TRUE(Requests().empty()) << script;
        EXPECT_NE(outcome.err.find("line 2: "), std::string::npos) << outcome.err;
    }
}

TEST_F(EcrCtlBatch, QuotedTextsReachTheRegisterAsWritten)
{
    const Outcome outcome = Batch(
        "header set 'Prodavnica \"Kod nas\"' \"\" \"a#b\" Ulica\\ 5 '' --double 1\n"
        "display \"Dobar dan\" # greeting\n");
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(Requests(), (Words{"#hProdavnica \"Kod nas\"\n\na#b\nUlica 5\n\n1\x1F"
                                 "0\x1F"
                                 "0\x1F"
                                 "0\x1F"
                                 "0\x1F",
                                 "#q0\x1F"
                                 "Dobar dan\n",
                                 "#q1\x1F\n"}));
}

TEST_F(EcrCtlBatch, JsonHasOneResultPerLine)
{
    const Outcome outcome = Batch("status\nsell Sok 10 1 1\nsubtotal\n", {}, {"--json"});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    const Json doc = Json::Parse(outcome.out);
    EXPECT_TRUE(doc["ok"].boolean);
    const auto& lines = doc["lines"].items;
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[0]["result"]["status"].number, 6);
    EXPECT_EQ(lines[2]["result"]["subtotal"].text, "10.00");
    EXPECT_FALSE(lines[1]["result"].Has("subtotal")) << "each line's results stay its own";
}

TEST_F(EcrCtlBatch, ReadsStandardInput)
{
    std::istringstream input("sell Sok 10 1 1\nsubtotal\n");
    std::streambuf* previous = std::cin.rdbuf(input.rdbuf());
    const Outcome outcome = Run({"batch", "-"});
    std::cin.rdbuf(previous);
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "10.00\n");
}

TEST_F(EcrCtlBatch, AFileThatCannotBeReadSendsNothing)
{
    for (const std::string& path : {folder.File("missing.txt"), folder.File("")}) {
        const Outcome outcome = Run({"batch", path});
        EXPECT_EQ(outcome.exitCode, 4) << path;
        EXPECT_FALSE(outcome.err.empty());
    }
    const Outcome unclosed = Batch("sell Sok 10 1 1\ndisplay 'Dobar dan\n");
    EXPECT_EQ(unclosed.exitCode, 2);
    EXPECT_NE(unclosed.err.find("line 2: the quote ' opened here is never closed"), std::string::npos) << unclosed.err;
    EXPECT_TRUE(Requests().empty());
}

TEST_F(EcrCtlBatch, LinesThatNeedNoRegisterRunWithoutALogOn)
{
    const std::string script = folder.Write("batch.txt", "decode " + folder.Write("capture.txt", "") + "\n");
    const Outcome outcome = RunExactly({"--port", "/nonexistent", "batch", script});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
}

TEST_F(EcrCtlBatch, ABatchGoingOnPastFailuresNeverSellsIntoAReceiptAlreadyOpen)
{
    ASSERT_EQ(Run({"begin"}).exitCode, 0);  // left open by an earlier run
    host.ClearRequests();
    const Outcome outcome = Batch("sell A 1 1 1\nsell B 2 1 1\n", {"--keep-going"});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(Requests(), Words{"*t\n\n"}) << "the second line sends nothing either";
    EXPECT_NE(outcome.err.find("line 2: a receipt is already open on the register: pay it (`ecrctl pay`) or cancel "
                               "it (`ecrctl cancel`)"),
              std::string::npos)
        << outcome.err;
}

TEST_F(EcrCtlBatch, ABatchThatFailsNamesTheReceiptItLeavesOpen)
{
    const std::string script = "begin --register 1 --cashier 7\nsell Sok 12.50 1 2\nsell Los 1 1 9\npay 20\n";
    const Outcome outcome = Batch(script, {}, {"--json"});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_NE(outcome.err.find("the receipt opened on line 1 is still open on the register: pay it (`ecrctl pay`) "
                               "or cancel it (`ecrctl cancel`)"),
              std::string::npos)
        << outcome.err;
    const Json doc = Json::Parse(outcome.out);
    EXPECT_EQ(doc["receipt"]["openedOnLine"].number, 1);
    EXPECT_TRUE(doc["receipt"]["open"].boolean);
    ASSERT_EQ(Requests().size(), 3U) << "nothing after the failing line";

    // --cancel-on-failure cancels it, and the register has none open after.
    ASSERT_EQ(Run({"cancel"}).exitCode, 0);
    host.ClearRequests();
    const Outcome cancelled = Batch(script, {"--cancel-on-failure"}, {"--json"});
    EXPECT_EQ(cancelled.exitCode, 1);
    EXPECT_EQ(Requests().back(), "*x");
    EXPECT_NE(cancelled.err.find("the receipt opened on line 1 was cancelled"), std::string::npos) << cancelled.err;
    EXPECT_TRUE(Json::Parse(cancelled.out)["receipt"]["cancelled"].boolean);
    EXPECT_EQ(Run({"begin"}).exitCode, 0) << "no receipt left open";
}

// A line's input file is read and checked before the first line runs, so a
// bad picture late in the file leaves no receipt half rung up.
TEST_F(EcrCtlBatch, ABatchChecksEveryLinesFilesBeforeItsFirstLine)
{
    const std::string picture = folder.Write("logo.pbm", "P1\n100 13\n");
    const Outcome outcome =
        Batch("sell Sok 12.50 1 2\nlogo upload " + picture + "\narticles import " + folder.File("none.txt") + "\n");
    EXPECT_EQ(outcome.exitCode, 4);
    EXPECT_TRUE(Requests().empty());
    for (const char* expected : {"line 2: ", "a logo is 360 dots wide", "line 3: ", "none.txt: cannot be opened",
                                 "2 lines cannot run, the first on line 2 (nothing was run)"})
        EXPECT_NE(outcome.err.find(expected), std::string::npos) << expected << " in " << outcome.err;
}

// Every line that cannot be parsed is reported, not only the first.
TEST_F(EcrCtlBatch, ABatchReportsEveryLineItCannotParse)
{
    const Outcome outcome = Batch("status\nbogus\nsell Sok\nclock\nheader set a\n", {}, {"--json"});
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_TRUE(Requests().empty());
    for (const char* expected : {"line 2: ", "line 3: ", "line 5: ", "3 lines cannot run, the first on line 2"})
        EXPECT_NE(outcome.err.find(expected), std::string::npos) << expected << " in " << outcome.err;
    const Json doc = Json::Parse(outcome.out);
    ASSERT_EQ(doc["lines"].items.size(), 3U);
    EXPECT_EQ(doc["lines"].items[2]["line"].number, 5);
    EXPECT_EQ(doc["lines"].items[2]["command"].text, "header set a");
}
