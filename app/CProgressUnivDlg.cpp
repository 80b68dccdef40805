#include "app/CProgressUnivDlg.h"

#include "framework/BusyState.h"

#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

namespace {

// The window's size in dialog units, without and with "Prekini" below the bar.
constexpr int kWidth = 186;
constexpr int kHeight = 34;
constexpr int kHeightWithStop = 50;

}  // namespace

CProgressUnivDlg::CProgressUnivDlg(QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("Progres"));
    // A caption, but no close box and no buttons: only the operation ends it.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    SetDialogSize(kWidth, kHeight);
    m_progress = AddProgressBar(IDC_PROGRESS, {7, 10, 172, 14});
    m_stop = AddButton(IDC_STOP, QStringLiteral("Prekini"), {68, 30, 50, 14});
    m_stop->hide();
    // Not through ActionGuard: it only raises a flag the run looks at.
    connect(m_stop, &QPushButton::clicked, this, [this] { OnStop(); });
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
    const int value = std::clamp(percent, m_progress->minimum(), m_progress->maximum());
    // A memory read reports every block, mostly the same percentage again:
    // an unchanged bar is not painted again.
    if (value == m_progress->value()) {
        return;
    }
    // Moved without painting: the bar paints itself at once whenever its
    // chunk or text changes, and a step comes between the register's answer
    // and the next request, where a paint keeps the line waiting. The bar
    // is painted with the other windows by the next pump (UiPump), while the
    // line carries the next request, at most a tenth of a second later.
    m_progress->setUpdatesEnabled(false);
    m_progress->setValue(value);
    m_progress->setUpdatesEnabled(true);  // asks for the paint
    UpdateData(false);
}

int CProgressUnivDlg::Progress() const
{
    return m_progress->value();
}

void CProgressUnivDlg::OfferStop(bool offer)
{
    m_bStopRequested = false;
    // The modality of a shown window changes only when it is shown again.
    const bool visible = isVisible();
    if (visible) {
        hide();
    }
    setWindowModality(offer ? Qt::ApplicationModal : Qt::NonModal);
    SetDialogSize(kWidth, offer ? kHeightWithStop : kHeight);
    m_stop->setEnabled(true);
    m_stop->setVisible(offer);
    BusyState::AcceptInputFor(offer ? m_stop : nullptr);
    if (visible && offer) {
        ShowWindow(true);
    }
}

void CProgressUnivDlg::OnStop()
{
    m_bStopRequested = true;
    // Taken: the run ends after the article on the line.
    m_stop->setEnabled(false);
}

void CProgressUnivDlg::reject()
{
    if (m_stop->isVisible() && m_stop->isEnabled()) {
        OnStop();
    }
}
