#pragma once

#include "framework/CDialog.h"

#include <array>
#include <string>

// "Totalajzeri": the register's totalizers, read while the dialog opens and
// shown exactly as the register sent them. Built anew for every opening.
class CTotalDlg : public CDialog {
    Q_OBJECT

public:
    // In reply order: the nine rates A..K, then fiscal total, fiscal today,
    // non-fiscal total, non-fiscal today.
    static constexpr std::array<int, 13> kTotalIds = {1101, 1102, 1103, 1104, 1105, 1106, 1107,
                                                      1108, 1109, 1017, 1018, 1019, 1020};

    explicit CTotalDlg(QWidget* parent = nullptr);

    std::array<std::string, 13> m_strTotals;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    bool OnInitDialog() override;

private:
    void ReadTotals();
};
