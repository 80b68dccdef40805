#include "RegisterSession.h"
#include "dialogs/articles/CPLUDeleteDlg.h"

#include <string>
#include <vector>

namespace {

using Sent = std::vector<std::string>;

class ArticleDeleteDialogTest : public RegisterSession {};

TEST_F(ArticleDeleteDialogTest, BrisiDeletesTheNameExactlyAsTypedAndPonistiSendsNothing)
{
    struct Case {
        QString typed;
        int button;
        Sent sent;
    };
    const Case cases[] = {
        {"Sok", IDOK, {"#dSok\n"}},
        {QString::fromUtf8(" \xC4\x8C"
                           "aj "),
         IDOK,
         {"#d \xC8"
          "aj \n"}},
        {"", IDOK, {"#d\n"}},
        {"Sok", IDCANCEL, {}},
    };
    for (const Case& c : cases) {
        ClearRequests();
        RunMenu(CThermalDlg::ID_DELETE_ARTICLE, [&](CDialog& open) {
            EXPECT_EQ(Text(open, CPLUDeleteDlg::IDC_NAME), "") << "a fresh dialog at every opening";
            Type(open, CPLUDeleteDlg::IDC_NAME, c.typed);
            Click(open, c.button);
        });
        EXPECT_EQ(Requests(), c.sent) << c.typed.toStdString();
    }
}

TEST_F(ArticleDeleteDialogTest, DeleteAllFromTheMenuAsksFirst)
{
    Prompts().answers = {IDCANCEL, IDOK};
    RunMenu(CThermalDlg::ID_DELETE_ALL_ARTICLES, [](CDialog&) { FAIL() << "no dialog opens"; });
    EXPECT_TRUE(Requests().empty());
    RunMenu(CThermalDlg::ID_DELETE_ALL_ARTICLES, [](CDialog&) {});
    EXPECT_EQ(Requests(), Sent{"%a"});
    EXPECT_EQ(Prompts().Texts(), (QStringList{"Obrisati sve artikle ?", "Obrisati sve artikle ?"}));
    EXPECT_EQ(Prompts().messages[0].buttons, MessageButtons::OkCancel);
}

}  // namespace
