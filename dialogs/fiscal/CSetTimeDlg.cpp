#include "dialogs/fiscal/CSetTimeDlg.h"

#include "framework/RegisterServices.h"
#include "framework/SansSerifFont.h"
#include "ecr/commands/ECRDevice.h"
#include "ecr/protocol/CommError.h"
#include "ecr/protocol/ECRStringError.h"

#include <QDateTime>

CSetTimeDlg::CSetTimeDlg(QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("Podesite Vreme"));
    SetDialogFont(SansSerifFont());
    SetDialogSize(232, 74);

    AddLabel(QStringLiteral("Trenutno vreme na kasi:"), {8, 11, 86, 8});
    AddDateTimePicker(1031, {96, 9, 70, 14}, PickerMode::ShortDate);
    AddDateTimePicker(1028, {96, 27, 70, 14}, PickerMode::Time);
    AddButton(1014, QStringLiteral("Upisi >>"), {174, 9, 50, 14});
    AddButton(1029, QStringLiteral("-1 sat"), {96, 52, 34, 14});
    AddButton(1030, QStringLiteral("+1 sat"), {132, 52, 34, 14});
    AddButton(IDOK, QStringLiteral("OK"), {174, 52, 50, 14});

    OnCommand(1014, [this] { OnWrite(); });
    OnCommand(1029, [this] { OnHourBack(); });
    OnCommand(1030, [this] { OnHourForward(); });
}

void CSetTimeDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_DateTime(dx, 1031, m_timeDate);
    DDX_DateTime(dx, 1028, m_timeTime);
}

void CSetTimeDlg::ReadRegisterClock()
{
    bool read = false;
    try {
        read = SetRegisterTime(RegisterServices::Device().ReadClock());
    } catch (const CommError&) {
    } catch (const ECRStringError&) {
    }
    if (!read) {
        ThermalMessageBox(QStringLiteral("Greska u komunikaciji"));
    }
}

bool CSetTimeDlg::SetRegisterTime(const ECRDateTime& clock)
{
    // A refused read gives zeros; month 0 is no date, and showing it as some
    // other day would invite writing a wrong clock back.
    const QDateTime moment(QDate(clock.year + 2000, clock.month, clock.day), QTime(clock.hour, clock.minute, 0));
    if (!moment.isValid()) {
        return false;
    }
    m_timeDate = moment.toSecsSinceEpoch();
    m_timeTime = m_timeDate;
    return true;
}

void CSetTimeDlg::OnWrite()
{
    UpdateData(true);
    const QDate date = QDateTime::fromSecsSinceEpoch(m_timeDate).date();
    const QTime time = QDateTime::fromSecsSinceEpoch(m_timeTime).time();
    ECRDateTime clock;
    clock.year = date.year() - 2000;
    clock.month = date.month();
    clock.day = date.day();
    clock.hour = time.hour();
    clock.minute = time.minute();
    RegisterServices::Device().SetClock(clock);
}

void CSetTimeDlg::OnHourBack()
{
    RegisterServices::Device().ShiftClockHour(0);
}

void CSetTimeDlg::OnHourForward()
{
    RegisterServices::Device().ShiftClockHour(1);
}
