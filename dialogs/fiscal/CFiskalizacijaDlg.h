#pragma once

#include "framework/CDialog.h"

#include <string>

// "Fiskalizacija": writes the fiscal module's identifier, fiscalizes the
// register with the taxpayer number, and opens the header and tax rate
// dialogs. Built anew for every opening, so it starts empty.
class CFiskalizacijaDlg : public CDialog {
    Q_OBJECT

public:
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
