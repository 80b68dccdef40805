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

TEST_F(ArticleDeleteDialogTest, ANameTheRegisterCannotTakeKeepsTheDialogOpenAndSendsNothing)
{
    bool stayedOpen = false;
    RunMenu(CThermalDlg::ID_DELETE_ARTICLE, [&](CDialog& open) {
        Type(open, CPLUDeleteDlg::IDC_NAME, QString::fromUtf8("\xD0\x96ito"));
        Click(open, IDOK);
        stayedOpen = open.isVisible();
        Click(open, IDCANCEL);
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(Prompts().Texts(), QStringList{QString::fromUtf8("Znak '\xD0\x96' (U+0416) u polju \"Artikal\" na mestu 1 "
                                                               "ne postoji u kodnoj strani Windows-1250. Nista nije "
                                                               "poslato.")});

    RunMenu(CThermalDlg::ID_DELETE_ARTICLE, [&](CDialog& open) {
        Type(open, CPLUDeleteDlg::IDC_NAME, QString::fromUtf8("\xC5\xA0ljiva \xC5\xBE"));
        Click(open, IDOK);
    });
    EXPECT_EQ(Requests(), Sent{"#d\x8Aljiva \x9E\n"});
}

}  // namespace
