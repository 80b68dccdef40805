#pragma once

#include "framework/CDialog.h"

#include <optional>
#include <vector>

// "Memory Read": reads one of the register's four memory areas into a buffer
// and saves the buffer to a file, byte for byte. A temporary dialog: every
// opening starts with no buffer and "Program" chosen.
class CMemeReadDlg : public CDialog {
    Q_OBJECT

public:
    enum ControlId : int {
        IDC_READ = 1014,
        IDC_AREA_PROGRAM = 1038,
        IDC_AREA_PROTECTED = 1039,
        IDC_AREA_FISCAL = 1040,
        IDC_AREA_APPLICATION = 1041,
        IDC_SAVE = 1053,
    };

    explicit CMemeReadDlg(QWidget* parent = nullptr);

    // The radio index is the area number the register is asked for.
    int m_nArea = 0;

    // The contents of the last area read completely; none before the first
    // reading and after a failed one (an area of 0 bytes is a buffer).
    const std::optional<std::vector<unsigned char>>& Buffer() const { return m_buffer; }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    bool OnInitDialog() override;

private:
    void OnRead();
    void OnSave();

    std::optional<std::vector<unsigned char>> m_buffer;
};
