#pragma once

class CFiscalHeaderDlg;
class CTaxRateDlg;
class ECRDevice;

// How the fiscal dialogs reach the register and the main window's member
// dialogs: always through g_pMainDlg, never through a pointer of their own.
class RegisterLink {
public:
    // The connected device. Without one (no log-on yet) it throws
    // CommError(1), which the action guard reports like any failed exchange.
    static ECRDevice& Device();

    static CFiscalHeaderDlg& FiscalHeaderDlg();
    static CTaxRateDlg& TaxRateDlg();
};
