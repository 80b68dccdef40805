#pragma once

#include "framework/CDialog.h"

#include <string>

// "Fiskalizacija": writes the fiscal module's identifier, fiscalizes the
// register with the taxpayer number, and opens the header and tax rate
// dialogs. Built anew for every opening, so it starts empty.
class CFiskalizacijaDlg : public CDialog {
    Q_OBJECT

public:
    enum ControlId : int {
        IDC_IBFM = 1047,
        IDC_PIB = 1048,
        IDC_WRITE_IBFM = 1014,
        IDC_FISCALIZE = 1049,
        IDC_HEADER = 1050,
        IDC_TAX_RATES = 1051,
    };

    explicit CFiskalizacijaDlg(QWidget* parent = nullptr);

    // Windows-1250 bytes, as typed.
    std::string m_strIBFM;
    std::string m_strPIB;

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    void OnWriteIBFM();
    void OnFiscalize();
    void OnHeader();
    void OnTaxRates();
};
