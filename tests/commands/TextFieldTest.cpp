#include "CommandHarness.h"

#include "ecr/protocol/CommError.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

namespace {

// A text holding a terminator byte would split the request into other fields.
class TextFieldTest : public ::testing::TestWithParam<const char*> {};

struct TextCase {
    const char* what;
    std::function<void(ECRDevice&, const ECRString&)> call;
};

TEST_P(TextFieldTest, ATerminatorInATextSendsNothing)
{
    const ECRString bad = (std::string("AB") + GetParam() + "CD").c_str();
    const std::array<bool, 5> five{};
    const std::array<bool, 7> seven{};
    const TextCase cases[] = {
        {"WriteIBFM", [](ECRDevice& d, const ECRString& t) { d.WriteIBFM(t); }},
        {"Fiscalize", [](ECRDevice& d, const ECRString& t) { d.Fiscalize(ECRDateTime{}, t); }},
        {"WriteHeader", [&](ECRDevice& d, const ECRString& t) { d.WriteHeader({"a", "b", "c", t, "e"}, five); }},
        {"WriteAdvertText",
         [&](ECRDevice& d, const ECRString& t) { d.WriteAdvertText({"a", "b", "c", "d", "e", "f", t}, seven); }},
        {"PrintInfoLine", [](ECRDevice& d, const ECRString& t) { d.PrintInfoLine(t, 1); }},
        {"DisplayText first line", [](ECRDevice& d, const ECRString& t) { d.DisplayText(t, "ok"); }},
        {"DisplayText second line", [](ECRDevice& d, const ECRString& t) { d.DisplayText("ok", t); }},
        {"DeleteArticle", [](ECRDevice& d, const ECRString& t) { d.DeleteArticle(t); }},
        {"WriteArticle",
         [](ECRDevice& d, const ECRString& t) {
             ECRArticle a;
             a.name = t;
             d.WriteArticle(a);
         }},
        {"ReadArticle", [](ECRDevice& d, const ECRString& t) { d.ReadArticle(t, 4); }},
        {"BeginTransaction", [](ECRDevice& d, const ECRString& t) { d.BeginTransaction("1", t); }},
        {"BeginTransaction default",
         [](ECRDevice& d, const ECRString& t) {
             d.SetTransactionDefaults(t, "7");
             d.BeginTransaction("", "");
         }},
        {"SellItem", [](ECRDevice& d, const ECRString& t) { d.SellItem(t, 100, 1000, 1, 0); }},
        {"SellItem bad default",
         [](ECRDevice& d, const ECRString& t) {
             d.SetTransactionDefaults("1", t);
             d.SellItem("SOK", 100, 1000, 1, 0);
         }},
        {"VoidItem", [](ECRDevice& d, const ECRString& t) { d.VoidItem(t, 100, 1000); }},
        {"WriteLogoRow",
         [](ECRDevice& d, const ECRString& t) { d.WriteLogoRow(0, (std::string(85, '0') + t.Data()).c_str()); }},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.what);
        CommandHarness h;
        try {
            c.call(h.device, bad);
            ADD_FAILURE() << "no error";
        } catch (const CommError& e) {
            EXPECT_EQ(e.code, 11);
        }
        EXPECT_TRUE(h.port.writes.empty());
        EXPECT_FALSE(h.device.IsTransactionOpen());
    }
}

INSTANTIATE_TEST_SUITE_P(Terminators, TextFieldTest, ::testing::Values("\x1f", "\n", "\t"));

TEST(TextFieldRawTest, TheRawRequestIsNotChecked)
{
    CommandHarness h;
    h.port.onWrite = nullptr;
    h.port.Feed(CommandHarness::FrameOf("#w"));
    h.device.SendRaw("#w\n\t\x1f");
    ASSERT_EQ(h.port.writes.size(), 1u);
    EXPECT_EQ(h.port.writes[0].substr(2, 5), "#w\n\t\x1f");
}

}  // namespace
