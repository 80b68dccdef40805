#include "dialogs/fiscal/CFiscalHeaderDlg.h"

#include "framework/RegisterServices.h"
#include "framework/SansSerifFont.h"
#include "ecr/commands/ECRDevice.h"

#include <QLineEdit>

CFiscalHeaderDlg::CFiscalHeaderDlg(QWidget* parent)
    : CDialog(parent), m_fontCyrillic(SansSerifFont()), m_fontCentralEuropean(SansSerifFont())
{
    setWindowTitle(QStringLiteral("Fiskalno zaglavlje"));
    SetDialogFont(SansSerifFont());
    SetDialogSize(300, 104);

    for (std::size_t i = 0; i < kLineIds.size(); ++i) {
        const int y = 9 + 18 * static_cast<int>(i);
        AddEdit(kLineIds[i], {8, y, 190, 14});
        SetItemName(kLineIds[i], QStringLiteral("Linija %1").arg(i + 1));
        AddCheckBox(kDoubleIds[i], QStringLiteral("Dbl"), {204, y + 2, 28, 10});
    }
    AddButton(IDC_READ, QStringLiteral("Procitaj <<"), {238, 9, 56, 14});
    AddButton(IDC_WRITE, QStringLiteral("Upisi >>"), {238, 27, 56, 14});
    AddButton(IDC_SWITCH_FONT, QStringLiteral("Promeni font\nprikaza"), {238, 70, 56, 24});

    OnCommand(IDC_READ, [this] { OnRead(); });
    OnCommand(IDC_WRITE, [this] { OnWrite(); });
    OnCommand(IDC_SWITCH_FONT, [this] { OnSwitchFont(); });
}

void CFiscalHeaderDlg::DoDataExchange(CDataExchange& dx)
{
    for (std::size_t i = 0; i < kLineIds.size(); ++i) {
        DDX_Text(dx, kLineIds[i], m_strLines[i]);
    }
    for (std::size_t i = 0; i < kDoubleIds.size(); ++i) {
        DDX_Check(dx, kDoubleIds[i], m_nDouble[i]);
    }
}

bool CFiscalHeaderDlg::OnInitDialog()
{
    // Every opening starts in the dialog font; the lines keep their bytes.
    ShowLinesIn(LineFont::Dialog);
    return CDialog::OnInitDialog();
}

void CFiscalHeaderDlg::OnRead()
{
    std::array<ECRString, 5> lines;
    std::array<bool, 5> doubleSize{};
    RegisterServices::Device().ReadHeader(lines, doubleSize);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        m_strLines[i].assign(lines[i].Data(), lines[i].Length());
        m_nDouble[i] = doubleSize[i] ? 1 : 0;
    }
    UpdateData(false);
}

void CFiscalHeaderDlg::OnWrite()
{
    if (!UpdateData(true)) {
        return;
    }
    std::array<ECRString, 5> lines;
    std::array<bool, 5> doubleSize{};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        lines[i] = ECRString(m_strLines[i].c_str());
        doubleSize[i] = m_nDouble[i] != 0;
    }
    RegisterServices::Device().WriteHeader(lines, doubleSize);
}

void CFiscalHeaderDlg::OnSwitchFont()
{
    // Only the Cyrillic choice leads back to Central European; the dialog
    // font counts as "not Cyrillic", so the first press goes to Cyrillic.
    ShowLinesIn(m_lineFont == LineFont::Cyrillic ? LineFont::CentralEuropean : LineFont::Cyrillic);
}

void CFiscalHeaderDlg::ShowLinesIn(LineFont lineFont)
{
    const CodePage::Id codePage = lineFont == LineFont::Cyrillic ? CodePage::Windows1251 : CodePage::Windows1250;
    for (const int id : kLineIds) {
        QWidget* edit = GetDlgItem(id);
        switch (lineFont) {
        case LineFont::Dialog:
            edit->setFont(font());
            break;
        case LineFont::Cyrillic:
            edit->setFont(m_fontCyrillic);
            break;
        case LineFont::CentralEuropean:
            edit->setFont(m_fontCentralEuropean);
            break;
        }
        // Re-decodes the bytes the edit holds; what is typed later is encoded the same way.
        SetItemCodePage(id, codePage);
        edit->update();
    }
    m_lineFont = lineFont;
}
