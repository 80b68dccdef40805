#pragma once

#include "framework/CDialog.h"

class QProgressBar;
class QPushButton;

// A small modeless window with one bar showing how far a long register
// operation has come; the progress callback shows, moves and hides it.
// During a run the user may stop (an article upload) it also offers
// "Prekini", whose click is taken while the run goes on.
class CProgressUnivDlg : public CDialog {
    Q_OBJECT

public:
    static constexpr int IDC_PROGRESS = 1098;
    static constexpr int IDC_STOP = 1099;

    explicit CProgressUnivDlg(QWidget* parent = nullptr);

    void SetRange(int low, int high);
    // Moves the bar (kept within its range). The user-interface thread is
    // busy with the operation meanwhile: the bar is painted by the pump that
    // runs while the next request is on the line (UiPump), not at once.
    void SetProgress(int percent);
    int Progress() const;

    // Shows or hides "Prekini" (and clears an earlier request to stop).
    // While it is offered the window is modal, so that its click is not
    // blocked by the dialog the run was started from.
    void OfferStop(bool offer);
    bool StopRequested() const { return m_bStopRequested; }

protected:
    // Esc hides no window here: only the operation does. During a run that
    // can be stopped it asks to stop, as "Prekini" does.
    void reject() override;

private:
    void OnStop();

    QProgressBar* m_progress = nullptr;
    QPushButton* m_stop = nullptr;
    bool m_bStopRequested = false;
};
