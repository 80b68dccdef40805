#pragma once

#include "framework/CDialog.h"

// "PLU Reports": the options of an article report (length, reading or
// reading with clearing, sold or all articles, one tax rate or all).
// "Stampaj >>" only records them: the register's command set has no article
// report to send them with. Built anew for every opening.
class CPLUREPORTSDlg : public CDialog {
    Q_OBJECT

public:
    enum ControlId : int {
        IDC_SHORT = 1089,
        IDC_LONG = 1090,
        IDC_READ_ONLY = 1091,
        IDC_WITH_CLEARING = 1092,
        IDC_SOLD = 1093,
        IDC_ALL = 1094,
        IDC_TAX_RATE = 1004,
        IDC_PRINT = 1014,
    };

    // The entry that stands for every tax rate.
    static constexpr int kAllRates = 9;

    explicit CPLUREPORTSDlg(QWidget* parent = nullptr);

    int m_nLength = 0;     // 0 "Kratki", 1 "Dugi"
    int m_nMode = 0;       // 0 "Citanje", 1 "Sa brisanjem"
    int m_nSelection = 0;  // 0 "Prodati", 1 "Svi"
    int m_nTaxRate = 0;    // A .. K, kAllRates for "SVI"; -1 none selected

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    void OnPrint();
};
