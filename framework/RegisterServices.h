#pragma once

#include <string_view>

class CAdvertDlg;
class CFiscalHeaderDlg;
class CGrafikaDlg;
class CPLUListDialog;
class CReportsDlg;
class CSetTimeDlg;
class CTaxRateDlg;
class CTransactDlg;
class ECRDevice;

// What a dialog needs of the main window: the connected register and the
// member dialogs that other dialogs open. The main window implements it and
// installs itself while it lives; dialogs never see the main window itself.
// A test may install its own.
//
//   ECROperations::WriteTaxRatesNow(RegisterServices::Device(), rates);
//   RegisterServices::Instance().TaxRateDlg().DoModal();
//
// A new member dialog that others open gets one accessor here (declared by
// name above, so this folder needs none of the dialog areas).
class RegisterServices {
public:
    virtual ~RegisterServices() = default;

    // The device of the logged-on connection, or null before there is one.
    virtual ECRDevice* ConnectedDevice() = 0;
    // A line (Windows-1250 bytes) on top of the monitor's debug box.
    virtual void ShowDebugMessage(std::string_view text) = 0;

    // The main window's member dialogs. Services without a main window (a
    // test's) have none: these throw std::logic_error unless overridden.
    virtual CPLUListDialog& PLUListDlg();
    virtual CFiscalHeaderDlg& FiscalHeaderDlg();
    virtual CTaxRateDlg& TaxRateDlg();
    virtual CSetTimeDlg& SetTimeDlg();
    virtual CReportsDlg& ReportsDlg();
    virtual CAdvertDlg& AdvertDlg();
    virtual CGrafikaDlg& GrafikaDlg();
    virtual CTransactDlg& TransactDlg();

    // A long run the user may stop between two steps (an article upload),
    // used through StoppableRun: while one is open the progress window
    // offers "Prekini", the one control that takes a click while the run's
    // exchanges go on. Services without a progress window offer none, and
    // their runs are never stopped.
    virtual void OpenStoppableRun() {}
    virtual void CloseStoppableRun() {}
    virtual bool StopRequested() { return false; }

    // The installed services; throws CommError(NotConnected) when none is
    // installed, as a dialog reached with no main window has no port either.
    static RegisterServices& Instance();
    // The connected device. Without one (no log-on yet) it throws
    // CommError(NotConnected), which the action guard reports like any failed
    // exchange; the menus that lead to the dialogs stay greyed until log-on.
    static ECRDevice& Device();

    // Installs services (null: none) and returns the previous ones.
    static RegisterServices* Install(RegisterServices* services);
};
