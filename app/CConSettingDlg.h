#pragma once

#include "framework/CDialog.h"

// Port and speed of the next connection, chosen from two lists.
class CConSettingDlg : public CDialog {
    Q_OBJECT

public:
    static constexpr int IDC_PORT = 1002;
    static constexpr int IDC_BAUD = 1003;
    // Read-only: the device the chosen port opens on this machine.
    static constexpr int IDC_PORT_DEVICE = 1004;

    explicit CConSettingDlg(QWidget* parent = nullptr);

    int m_nPort = 0;  // 0-based: 0 = COM1
    int m_nBaud = 0;  // 0 = 9600, 1 = 19200

protected:
    void DoDataExchange(CDataExchange& dx) override;
    bool OnInitDialog() override;

private:
    void ShowPortDevice();
};
