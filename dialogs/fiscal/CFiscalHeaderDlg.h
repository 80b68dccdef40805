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
    // Which font the five edits show their bytes in.
    enum class LineFont { Dialog, Cyrillic, CentralEuropean };

    static constexpr std::array<int, 5> kLineIds = {1008, 1015, 1016, 1017, 1018};
    static constexpr std::array<int, 5> kDoubleIds = {1021, 1022, 1023, 1024, 1025};

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
