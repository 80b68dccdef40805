#pragma once

#include "framework/CDialog.h"

#include <array>
#include <string>

// "Totalajzeri": the register's totalizers, read while the dialog opens and
// shown exactly as the register sent them. Built anew for every opening.
class CTotalDlg : public CDialog {
    Q_OBJECT

public:
    enum ControlId : int {
        IDC_TOTAL_A = 1101,
        IDC_TOTAL_G = 1102,
        IDC_TOTAL_D = 1103,
        IDC_TOTAL_DJ = 1104,
        IDC_TOTAL_E = 1105,
        IDC_TOTAL_Z = 1106,
        IDC_TOTAL_I = 1107,
        IDC_TOTAL_J = 1108,
        IDC_TOTAL_K = 1109,
        IDC_FISCAL_TOTAL = 1017,
        IDC_FISCAL_TODAY = 1018,
        IDC_NON_FISCAL_TOTAL = 1019,
        IDC_NON_FISCAL_TODAY = 1020,
    };

    // In reply order: the nine rates A..K, then fiscal total, fiscal today,
    // non-fiscal total, non-fiscal today.
    static constexpr std::array<int, 13> kTotalIds = {
        IDC_TOTAL_A, IDC_TOTAL_G, IDC_TOTAL_D, IDC_TOTAL_DJ, IDC_TOTAL_E, IDC_TOTAL_Z, IDC_TOTAL_I,
        IDC_TOTAL_J, IDC_TOTAL_K, IDC_FISCAL_TOTAL, IDC_FISCAL_TODAY, IDC_NON_FISCAL_TOTAL, IDC_NON_FISCAL_TODAY};

    explicit CTotalDlg(QWidget* parent = nullptr);

    std::array<std::string, 13> m_strTotals;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    bool OnInitDialog() override;

private:
    void ReadTotals();
};
