#pragma once

#include "framework/CDialog.h"

#include <string>

// "Transakcija": one sale line at a time (name, price, tax rate, unit,
// quantity) sold or voided at once, the subtotal, the payment in three
// amounts, or the transaction cancelled. The member of the main window keeps
// what was typed between openings; the article list opens a fresh one filled
// from a row.
class CTransactDlg : public CDialog {
    Q_OBJECT

public:
    enum ControlId : int {
        IDC_NAME = 1032,
        IDC_PRICE = 1033,
        IDC_TAX_RATE = 1034,
        IDC_QUANTITY = 1036,
        IDC_CHEQUE = 1037,
        IDC_UNIT = 1004,
        IDC_CASH = 1076,
        IDC_CARD = 1079,
        IDC_SELL = 1014,
        IDC_VOID = 1016,
        IDC_SUBTOTAL = 1081,
        IDC_PAY = 1017,
        IDC_CANCEL_TRANSACTION = 1088,
    };

    explicit CTransactDlg(QWidget* parent = nullptr);

    // Texts are Windows-1250 bytes as typed; amounts are read with
    // ParseScaled when a button sends them.
    std::string m_strName;
    std::string m_strPrice;
    int m_nTaxRate = 0;
    std::string m_strQuantity;
    std::string m_strCheque;
    int m_nUnit = 0;  // index in the unit list, -1 when none is selected
    std::string m_strCash;
    std::string m_strCard;

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    // The controls into the fields; false when a text was refused.
    bool ReadFields();
    void OnSell();
    void OnVoid();
    void OnSubtotal();
    void OnPay();
    void OnCancelTransaction();
};
