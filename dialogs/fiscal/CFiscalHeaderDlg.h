#pragma once

#include "framework/CDialog.h"

#include <QFont>

#include <array>
#include <string>

// "Fiskalno zaglavlje": the five receipt header lines, each with its
// double-size switch. A member of the main window, so the lines stay between
// openings until they are read again. The display of the lines can switch
// between Cyrillic (Windows-1251) and Central European (Windows-1250); the
// bytes stay the same, only how they are shown changes.
class CFiscalHeaderDlg : public CDialog {
    Q_OBJECT

public:
    enum ControlId : int {
        IDC_LINE1 = 1008,
        IDC_LINE2 = 1015,
        IDC_LINE3 = 1016,
        IDC_LINE4 = 1017,
        IDC_LINE5 = 1018,
        IDC_DOUBLE1 = 1021,
        IDC_DOUBLE2 = 1022,
        IDC_DOUBLE3 = 1023,
        IDC_DOUBLE4 = 1024,
        IDC_DOUBLE5 = 1025,
        IDC_READ = 1014,
        IDC_WRITE = 1019,
        IDC_SWITCH_FONT = 1120,
    };

    // Which font the five edits show their bytes in.
    enum class LineFont { Dialog, Cyrillic, CentralEuropean };

    static constexpr std::array<int, 5> kLineIds = {IDC_LINE1, IDC_LINE2, IDC_LINE3, IDC_LINE4, IDC_LINE5};
    static constexpr std::array<int, 5> kDoubleIds = {IDC_DOUBLE1, IDC_DOUBLE2, IDC_DOUBLE3, IDC_DOUBLE4, IDC_DOUBLE5};

    explicit CFiscalHeaderDlg(QWidget* parent = nullptr);

    LineFont CurrentLineFont() const { return m_lineFont; }

    // Header lines as register bytes; flags 1 or 0.
    std::array<std::string, 5> m_strLines;
    std::array<int, 5> m_nDouble{};

protected:
    void DoDataExchange(CDataExchange& dx) override;
    bool OnInitDialog() override;

private:
    void OnRead();
    void OnWrite();
    void OnSwitchFont();
    void ShowLinesIn(LineFont lineFont);

    QFont m_fontCyrillic;
    QFont m_fontCentralEuropean;
    LineFont m_lineFont = LineFont::Dialog;
};
