#pragma once

#include "framework/CDialog.h"

class QProgressBar;

// A small modeless window with one bar showing how far a long register
// operation has come; the progress callback shows, moves and hides it.
class CProgressUnivDlg : public CDialog {
    Q_OBJECT

public:
    static constexpr int IDC_PROGRESS = 1098;

    explicit CProgressUnivDlg(QWidget* parent = nullptr);

    void SetRange(int low, int high);
    // Moves the bar (kept within its range) and repaints at once: the
    // user-interface thread is busy with the operation meanwhile.
    void SetProgress(int percent);
    int Progress() const;

private:
    QProgressBar* m_progress = nullptr;
};
