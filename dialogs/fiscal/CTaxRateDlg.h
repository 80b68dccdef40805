#pragma once

#include "framework/CDialog.h"

#include <array>
#include <string>

// "Poreske stope": the nine tax rates A..K as percentages with two decimals.
// A member of the main window: the texts stay between openings.
class CTaxRateDlg : public CDialog {
    Q_OBJECT

public:
    enum ControlId : int {
        IDC_RATE_A = 1008,
        IDC_RATE_G = 1009,
        IDC_RATE_D = 1010,
        IDC_RATE_DJ = 1011,
        IDC_RATE_E = 1012,
        IDC_RATE_Z = 1013,
        IDC_RATE_I = 1014,
        IDC_RATE_J = 1015,
        IDC_RATE_K = 1016,
        IDC_READ = 1022,
        IDC_WRITE = 1023,
    };

    static constexpr std::array<int, 9> kRateIds = {IDC_RATE_A, IDC_RATE_G, IDC_RATE_D, IDC_RATE_DJ, IDC_RATE_E,
                                                     IDC_RATE_Z, IDC_RATE_I, IDC_RATE_J, IDC_RATE_K};

    explicit CTaxRateDlg(QWidget* parent = nullptr);

    // As typed or as read, e.g. "20.00"; ParseScaled decides what a text means.
    std::array<std::string, 9> m_strRates;

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    void OnRead();
    void OnWrite();
};
