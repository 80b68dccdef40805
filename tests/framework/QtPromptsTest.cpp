// The real prompts as the user sees them: Qt's own texts in Serbian, and a
// message box wide enough for its title beside the frame's buttons.
#include "framework/QtUiPrompts.h"
#include "framework/SerbianQtTexts.h"
#include "framework/TestApplication.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class QtPromptsTest : public testing::Test {
protected:
    void SetUp() override
    {
        EnsureTestApplication();
        ASSERT_TRUE(texts.Loaded()) << "the compiled translation is not in the build";
        QApplication::installTranslator(&texts);
    }
    void TearDown() override { QApplication::removeTranslator(&texts); }

    // Runs the prompt; the look runs on it once it is open, then closes it.
    static void WhileOpen(const std::function<void(QWidget&)>& look, const std::function<void()>& prompt)
    {
        bool looked = false;
        QTimer::singleShot(0, [&] {
            QWidget* open = QApplication::activeModalWidget();
            ASSERT_NE(open, nullptr);
            look(*open);
            looked = true;
            open->close();
        });
        prompt();
        EXPECT_TRUE(looked);
    }

    SerbianQtTexts texts;
    QtUiPrompts prompts;
};

TEST_F(QtPromptsTest, MessageBoxButtonsInSerbianAndRoomForTheTitle)
{
    WhileOpen(
        [](QWidget& open) {
            auto& box = dynamic_cast<QMessageBox&>(open);
            EXPECT_EQ(box.button(QMessageBox::Ok)->text(), "U redu");
            EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "Otkazi");
            QFont bold = QApplication::font("QMdiSubWindowTitleBar");
            bold.setBold(true);
            // The title, the window's icon and three frame buttons side by side.
            EXPECT_GE(box.width(), QFontMetrics(bold).horizontalAdvance(box.windowTitle()) + 150);
        },
        [&] { prompts.ShowMessage(nullptr, "thermal", "Kasa", UiPrompts::Buttons::OkCancel); });
}

TEST_F(QtPromptsTest, FilePromptsInSerbian)
{
    const auto look = [](const char* accept) {
        return [accept](QWidget& open) {
            auto& dialog = dynamic_cast<QFileDialog&>(open);
            EXPECT_EQ(dialog.findChild<QLabel*>("fileNameLabel")->text(), "&Ime fajla:");
            EXPECT_EQ(dialog.findChild<QLabel*>("lookInLabel")->text(), "Trazi u:");
            auto* buttons = dialog.findChild<QDialogButtonBox*>("buttonBox");
            ASSERT_NE(buttons, nullptr);
            QStringList texts;
            for (QAbstractButton* button : buttons->buttons()) {
                texts << button->text();
            }
            texts.sort();
            EXPECT_EQ(texts, (QStringList{accept, "Otkazi"}));
        };
    };
    WhileOpen(look("&Otvori"), [&] { prompts.AskOpenFileName(nullptr); });
    WhileOpen(look("&Snimi"), [&] { prompts.AskSaveFileName(nullptr); });
}

TEST_F(QtPromptsTest, EditFieldMenuInSerbian)
{
    QLineEdit edit;
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator()) {
            texts << action->text().section('\t', 0, 0);
        }
    }
    EXPECT_EQ(texts, (QStringList{"&Ponisti", "&Vrati", "Ise&ci", "&Kopiraj", "&Nalepi", "Obrisi", "Izaberi sve"}));
}

}  // namespace
