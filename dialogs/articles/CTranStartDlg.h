#pragma once

#include "framework/CDialog.h"

#include <string>

// "Podesavanje Kase": the cashier and the register number a transaction is
// opened with. Built anew for every opening; on OK the menu handler stores
// both as the defaults and opens the transaction.
class CTranStartDlg : public CDialog {
    Q_OBJECT

public:
    enum ControlId : int {
        IDC_CASHIER = 1110,
        IDC_REGISTER_NUMBER = 1111,
    };

    explicit CTranStartDlg(QWidget* parent = nullptr);

    // Windows-1250 bytes as typed.
    std::string m_strCashier;
    std::string m_strRegisterNumber;

protected:
    void DoDataExchange(CDataExchange& dx) override;
};
