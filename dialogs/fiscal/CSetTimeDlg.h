#pragma once

#include "ecr/commands/ECRDateTime.h"
#include "framework/CDialog.h"

#include <cstdint>

// "Podesite Vreme": shows the register's date and time and sets its clock,
// to a picked moment or one hour forward or back. A member of the main
// window; the menu command reads the register's clock into it first.
class CSetTimeDlg : public CDialog {
    Q_OBJECT

public:
    enum ControlId : int {
        IDC_DATE = 1031,
        IDC_TIME = 1028,
        IDC_WRITE = 1014,
        IDC_HOUR_BACK = 1029,
        IDC_HOUR_FORWARD = 1030,
    };

    explicit CSetTimeDlg(QWidget* parent = nullptr);

    // The menu command's reading: the register's clock into both values (year
    // + 2000, 0 seconds). When the exchange fails or the register refuses,
    // "Greska u komunikaciji" is shown with the reason, and both values start
    // from the computer's clock instead; the caller opens the dialog all the same.
    void ReadRegisterClock();

    // Seconds since 1970, local time. Only the date of the first and the hour
    // and minute of the second are used.
    std::int64_t m_timeDate = 0;
    std::int64_t m_timeTime = 0;

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    // False, values unchanged, when the record is no calendar moment.
    bool SetRegisterTime(const ECRDateTime& clock);
    void SetComputerTime();

    void OnWrite();
    void OnHourBack();
    void OnHourForward();
};
