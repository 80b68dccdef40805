#pragma once

#include "framework/CDialog.h"

#include <string>

// "Display tekst test": two lines for the register's customer display. A
// temporary dialog, so both lines start empty at every opening.
class CDispTestDlg : public CDialog {
    Q_OBJECT

public:
    enum ControlId : int {
        IDC_SEND = 1014,
        IDC_LINE1 = 1099,
        IDC_LINE2 = 1100,
    };

    explicit CDispTestDlg(QWidget* parent = nullptr);

    // Register bytes (Windows-1250).
    std::string m_strLine1;
    std::string m_strLine2;

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    void OnSend();
};
