#include "framework/QtUiPrompts.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

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
