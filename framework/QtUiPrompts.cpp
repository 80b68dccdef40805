#include "framework/QtUiPrompts.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace {

// A window manager draws the title between the window's icon and its frame
// buttons (three, as a rule, some 32 pixels each with their spacing). Qt
// sizes a message box for its title with 50 pixels to spare, so above a
// short message the title showed cut to "t...l".
constexpr int kTitleBarRoom = 150;

void LeaveRoomForTheTitle(QMessageBox& box)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) {
        return;
    }
    // Window managers draw titles in a bold face, as a rule.
    QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    titleFont.setBold(true);
    const int width = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarRoom;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

// The design's file prompts make the chosen file's folder the current folder,
// and the sale dialog relies on it for its relative database path.
QString RememberFolder(const QString& path)
{
    if (!path.isEmpty()) {
        QDir::setCurrent(QFileInfo(path).absolutePath());
    }
    return path;
}

}  // namespace

int QtUiPrompts::DoShowMessage(QWidget* parent, const QString& title, const QString& text, Buttons buttons)
{
    QMessageBox box(QMessageBox::NoIcon, title, text,
                    buttons == Buttons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok, parent);
    box.setDefaultButton(QMessageBox::Ok);
    LeaveRoomForTheTitle(box);
    return box.exec() == QMessageBox::Ok ? IDOK : IDCANCEL;
}

QString QtUiPrompts::DoAskOpenFileName(QWidget* parent)
{
    return RememberFolder(QFileDialog::getOpenFileName(parent, {}, QDir::currentPath()));
}

QString QtUiPrompts::DoAskSaveFileName(QWidget* parent)
{
    // QFileDialog asks before overwriting by default.
    return RememberFolder(QFileDialog::getSaveFileName(parent, {}, QDir::currentPath()));
}
