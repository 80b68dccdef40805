#pragma once

#include "framework/CDialog.h"

#include <array>
#include <string>

// "Podesavanje Reklama": the seven advertising lines printed on receipts, each
// with its double-size switch, and whether the register prints them at all.
// A member of the main window: the lines stay between openings, and only the
// print switch is read from the register when the dialog opens.
class CAdvertDlg : public CDialog {
    Q_OBJECT

public:
    enum ControlId : int {
        IDC_DOUBLE1 = 1055,
        IDC_DOUBLE2 = 1056,
        IDC_DOUBLE3 = 1057,
        IDC_DOUBLE4 = 1058,
        IDC_DOUBLE5 = 1059,
        IDC_DOUBLE6 = 1060,
        IDC_DOUBLE7 = 1061,
        IDC_READ = 1062,
        IDC_WRITE = 1063,
        IDC_LINE1 = 1064,
        IDC_LINE2 = 1065,
        IDC_LINE3 = 1066,
        IDC_LINE4 = 1067,
        IDC_LINE5 = 1068,
        IDC_LINE6 = 1069,
        IDC_LINE7 = 1070,
        IDC_PRINT_ON = 1085,
    };

    static constexpr std::array<int, 7> kLineIds = {IDC_LINE1, IDC_LINE2, IDC_LINE3, IDC_LINE4,
                                                    IDC_LINE5, IDC_LINE6, IDC_LINE7};
    static constexpr std::array<int, 7> kDoubleIds = {IDC_DOUBLE1, IDC_DOUBLE2, IDC_DOUBLE3, IDC_DOUBLE4,
                                                      IDC_DOUBLE5, IDC_DOUBLE6, IDC_DOUBLE7};

    explicit CAdvertDlg(QWidget* parent = nullptr);

    // Lines as register bytes (Windows-1250); flags and the switch 1 or 0.
    std::array<std::string, 7> m_strLines;
    std::array<int, 7> m_nDouble{};
    int m_nPrintOn = 0;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    bool OnInitDialog() override;

private:
    void OnRead();
    void OnWrite();
    void OnPrintOn();
};
