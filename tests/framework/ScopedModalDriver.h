#pragma once

#include "framework/CDialog.h"

#include <utility>

// Drives every modal dialog opened while it lives, instead of waiting for a
// user; the previous driver comes back when it goes.
//
//   ScopedModalDriver driver([](CDialog& dlg) {
//       if (auto* settings = dynamic_cast<CConSettingDlg*>(&dlg)) { ...; dlg.EndDialog(IDOK); }
//   });
class ScopedModalDriver {
public:
    explicit ScopedModalDriver(CDialog::ModalDriver driver) : m_previous(CDialog::SetModalDriver(std::move(driver))) {}
    ~ScopedModalDriver() { CDialog::SetModalDriver(std::move(m_previous)); }
    ScopedModalDriver(const ScopedModalDriver&) = delete;
    ScopedModalDriver& operator=(const ScopedModalDriver&) = delete;

private:
    CDialog::ModalDriver m_previous;
};
