#pragma once

#include "framework/CDialog.h"

#include <string>

// "Brisanje artikla": asks for the name of one article; "Brisi" ends it with
// OK and the menu handler deletes that article in the register. Built anew
// for every opening.
class CPLUDeleteDlg : public CDialog {
    Q_OBJECT

public:
    enum ControlId : int {
        IDC_NAME = 1032,
    };

    explicit CPLUDeleteDlg(QWidget* parent = nullptr);

    // Windows-1250 bytes exactly as typed; an empty name is sent as it is.
    std::string m_strName;

protected:
    void DoDataExchange(CDataExchange& dx) override;
};
