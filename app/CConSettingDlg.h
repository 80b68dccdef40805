#pragma once

#include "framework/CDialog.h"

class ComPortMap;

// Port and speed of the next connection, chosen from two lists.
class CConSettingDlg : public CDialog {
    Q_OBJECT

public:
    static constexpr int IDC_PORT = 1002;
    static constexpr int IDC_BAUD = 1003;
    // Read-only: the device the chosen port opens on this machine, and
    // that the register there is simulated (thermal --simulator).
    static constexpr int IDC_PORT_DEVICE = 1004;

    explicit CConSettingDlg(QWidget* parent = nullptr);

    int m_nPort = 0;  // 0-based: 0 = COM1
    int m_nBaud = 0;  // 0 = 9600, 1 = 19200

    // Where the ports lead, for the line under the port list (the main
    // window's map); without one the line names the system's own devices.
    void SetPortMap(const ComPortMap* map) { m_pPortMap = map; }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    bool OnInitDialog() override;

private:
    void ShowPortDevice();

    const ComPortMap* m_pPortMap = nullptr;
};
