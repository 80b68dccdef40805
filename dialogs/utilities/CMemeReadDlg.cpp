#include "dialogs/utilities/CMemeReadDlg.h"

#include "ecr/files/SafeFileWrite.h"
#include "framework/FileFaultText.h"
#include "ecr/commands/ECRDevice.h"
#include "framework/RegisterServices.h"
#include "framework/SansSerifFont.h"

#include <QApplication>

#include <string>
#include <string_view>

CMemeReadDlg::CMemeReadDlg(QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("Memory Read"));
    SetDialogFont(SansSerifFont());
    SetDialogSize(145, 82);
    AddRadioButton(IDC_AREA_PROGRAM, QStringLiteral("Program"), {7, 18, 60, 10}, true);
    AddRadioButton(IDC_AREA_PROTECTED, QStringLiteral("Protected"), {7, 31, 60, 10}, false);
    AddRadioButton(IDC_AREA_FISCAL, QStringLiteral("Fiscal"), {7, 43, 60, 10}, false);
    AddRadioButton(IDC_AREA_APPLICATION, QStringLiteral("Application"), {7, 54, 60, 10}, false);
    AddButton(IDC_READ, QStringLiteral("Citaj u bafer"), {88, 17, 50, 14});
    AddButton(IDC_SAVE, QStringLiteral("Snimi bafer"), {88, 42, 50, 14});
    OnCommand(IDC_READ, [this] { OnRead(); });
    OnCommand(IDC_SAVE, [this] { OnSave(); });
}

void CMemeReadDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Radio(dx, IDC_AREA_PROGRAM, m_nArea);
}

bool CMemeReadDlg::OnInitDialog()
{
    m_buffer.reset();
    return CDialog::OnInitDialog();
}

void CMemeReadDlg::OnRead()
{
    UpdateData(true);
    // A reading that fails leaves no buffer: half an area must not be saved
    // as if it were the register's memory.
    m_buffer.reset();
    std::int32_t size = 0;
    // The device shows, moves and hides the progress window as it reads.
    m_buffer = RegisterServices::Device().ReadMemory(m_nArea, size);
    QApplication::beep();
}

void CMemeReadDlg::OnSave()
{
    if (!m_buffer) {
        ThermalMessageBox(QStringLiteral("Bafer prazan!"));
        return;
    }
    const QString path = UiPrompts::Instance().AskSaveFileName(this);
    if (path.isEmpty()) {
        return;
    }
    // Written beside the target and renamed over it: a failed save leaves an
    // earlier file with that name whole.
    const std::string_view bytes(reinterpret_cast<const char*>(m_buffer->data()), m_buffer->size());
    FileFault fault;
    if (!SafeFileWrite::Write(LocalFileName(path), bytes, fault)) {
        // The design's word, and below it why.
        ThermalMessageBox(QStringLiteral("Error!\n") + FileFaultText(fault));
    }
}
