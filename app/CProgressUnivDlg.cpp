#include "app/CProgressUnivDlg.h"

#include "framework/UiPump.h"

#include <QProgressBar>

#include <algorithm>

CProgressUnivDlg::CProgressUnivDlg(QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("Progres"));
    // A caption, but no close box and no buttons: only the operation ends it.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    SetDialogSize(186, 34);
    m_progress = AddProgressBar(IDC_PROGRESS, {7, 10, 172, 14});
    SetRange(0, 100);
    Create();
}

void CProgressUnivDlg::SetRange(int low, int high)
{
    m_progress->setRange(low, high);
    m_progress->setValue(low);
}

void CProgressUnivDlg::SetProgress(int percent)
{
    // QProgressBar ignores values outside its range; the bar of the design clamps them.
    m_progress->setValue(std::clamp(percent, m_progress->minimum(), m_progress->maximum()));
    UpdateData(false);
    if (isVisible()) {
        repaint();
        UiPump::PaintNow();
    }
}

int CProgressUnivDlg::Progress() const
{
    return m_progress->value();
}
