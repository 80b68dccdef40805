#pragma once

#include "framework/CDialog.h"

#include <string>

// "Info Print": free lines printed by the register, one per "Stampaj >>",
// each with a number, ended by "Zavrsi". A temporary dialog.
class CInfoDlg : public CDialog {
    Q_OBJECT

public:
    enum ControlId : int {
        IDC_PRINT = 1014,
        IDC_TEXT = 1116,
        IDC_NUMBER = 1118,
        IDC_END = 1119,
    };

    explicit CInfoDlg(QWidget* parent = nullptr);

    std::string m_strText;  // register bytes (Windows-1250)
    int m_nNumber = 0;

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    void OnPrint();
    void OnEnd();
};
