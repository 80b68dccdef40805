#pragma once

#include "framework/CDialog.h"

#include <array>
#include <string>

// "Poreske stope": the nine tax rates A..K as percentages with two decimals.
// A member of the main window: the texts stay between openings.
class CTaxRateDlg : public CDialog {
    Q_OBJECT

public:
    static constexpr std::array<int, 9> kRateIds = {1008, 1009, 1010, 1011, 1012, 1013, 1014, 1015, 1016};

    explicit CTaxRateDlg(QWidget* parent = nullptr);

    // As typed or as read, e.g. "20.00"; ParseScaled decides what a text means.
    std::array<std::string, 9> m_strRates;

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    void OnRead();
    void OnWrite();
};
