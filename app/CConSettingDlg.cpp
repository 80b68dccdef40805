#include "app/CConSettingDlg.h"

#include "link/ComPortMap.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>

CConSettingDlg::CConSettingDlg(QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("Podesavanja konekcije"));
    SetDialogSize(170, 64);
    AddLabel(QStringLiteral("Port"), {10, 10, 30, 8});
    AddComboBox(IDC_PORT, {48, 8, 56, 90}, {"1", "2", "3", "4", "5", "6", "7", "8"}, true);
    AddLabel(QStringLiteral("Brzina"), {10, 31, 30, 8});
    AddComboBox(IDC_BAUD, {48, 29, 56, 40}, {"9600", "19200"}, true);
    AddButton(IDOK, QStringLiteral("OK"), {113, 8, 50, 14});
    AddButton(IDCANCEL, QStringLiteral("Cancel"), {113, 29, 50, 14});

    auto* device = new QLabel(this);
    device->setTextInteractionFlags(Qt::TextSelectableByMouse);
    RegisterItem(IDC_PORT_DEVICE, device, {10, 48, 153, 8});
    connect(Item<QComboBox>(IDC_PORT), &QComboBox::currentIndexChanged, this, [this] { ShowPortDevice(); });
}

void CConSettingDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_CBIndex(dx, IDC_PORT, m_nPort);
    DDX_CBIndex(dx, IDC_BAUD, m_nBaud);
}

bool CConSettingDlg::OnInitDialog()
{
    const bool result = CDialog::OnInitDialog();
    // The mapping may have changed since the last opening.
    ShowPortDevice();
    return result;
}

void CConSettingDlg::ShowPortDevice()
{
#ifdef _WIN32
    // The COM names are the system's own there; nothing to tell.
    GetDlgItem(IDC_PORT_DEVICE)->hide();
#else
    // Outside Windows "1" opens what ECR_COM1 names (a device or a device server), else /dev/ttyS0.
    const int index = Item<QComboBox>(IDC_PORT)->currentIndex();
    if (index < 0) {
        SetItemText(IDC_PORT_DEVICE, QString());
        return;
    }
    const int port = index + 1;
    const ComPortMap& map = m_pPortMap != nullptr ? *m_pPortMap : ComPortMap();
    const QString path = QString::fromStdString(map.DevicePath(port));
    ComPortMap::Source source = ComPortMap::Source::System;
    map.MappedPath(port, &source);
    // thermal --simulator: the register there is the program's own.
    QString text = source == ComPortMap::Source::Simulator
                       ? QStringLiteral("COM%1 -> simulirana kasa (%2)").arg(port).arg(path)
                       : QStringLiteral("COM%1 -> %2").arg(port).arg(path);
    // A device server is not a file here; whether it answers shows on "Povezi".
    if (!map.Resolve(port).IsNetwork() && !QFileInfo::exists(path))
        text += QStringLiteral(" (ne postoji)");
    SetItemText(IDC_PORT_DEVICE, text);
    // A long path (a by-id link) is cut at the dialog's edge; the tip shows it whole.
    GetDlgItem(IDC_PORT_DEVICE)->setToolTip(text);
#endif
}
