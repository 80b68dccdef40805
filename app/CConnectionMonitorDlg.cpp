#include "app/CConnectionMonitorDlg.h"

#include "app/CThermalDlg.h"
#include "ecr/commands/ECRDevice.h"
#include "ecr/protocol/ECRTrafficText.h"

#include <QFontDatabase>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>


namespace {

std::string_view UpToZero(std::string_view text)
{
    return text.substr(0, text.find('\0'));
}

// Line breaks of the design's texts (CR LF) as the box shows them.
QString ForBox(std::string_view bytes)
{
    QString text = CodePage::ToUnicode(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

}  // namespace

CConnectionMonitorDlg::CConnectionMonitorDlg(QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("Monitor konekcije"));
    // A fixed-pitch font, so hexadecimal and printable lines stand in columns.
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSize(9);
    SetDialogFont(fixed);
    SetDialogSize(313, 215);

    AddLabel(QStringLiteral("Debug Poruke:"), {7, 6, 74, 8});
    m_editDebug = AddMultiLineEdit(IDC_DEBUG, {7, 19, 299, 64}, true, false);
    AddLabel(QStringLiteral("Komunikacija:"), {7, 86, 73, 8});
    m_editTraffic = AddMultiLineEdit(IDC_TRAFFIC, {7, 98, 299, 73}, true, false);
    AddLabel(QStringLiteral("Komanda:"), {7, 177, 34, 8});
    m_editCommand = AddEdit(IDC_COMMAND, {41, 175, 208, 14});
    SetItemName(IDC_COMMAND, QStringLiteral("Komanda"));
    AddButton(IDC_SEND, QStringLiteral("Posalji >>"), {256, 174, 50, 14});
    AddButton(IDC_INSERT_1F, QStringLiteral("^ - 1F"), {41, 194, 29, 14});
    AddButton(IDC_INSERT_0A, QStringLiteral("* - 0A"), {77, 194, 28, 14});
    AddButton(IDC_INSERT_09, QStringLiteral("@ - 09"), {112, 194, 29, 14});
    AddButton(IDC_CLEAR, QStringLiteral("Brisi Buffer"), {256, 194, 50, 14});
    // Both boxes only ever grow at the top; the undo history would double the memory.
    m_editDebug->setUndoRedoEnabled(false);
    m_editTraffic->setUndoRedoEnabled(false);

    OnCommand(IDC_INSERT_1F, [this] { OnInsertByte('\x1F'); });
    OnCommand(IDC_INSERT_0A, [this] { OnInsertByte('\x0A'); });
    OnCommand(IDC_INSERT_09, [this] { OnInsertByte('\x09'); });
    OnCommand(IDC_SEND, [this] { OnSend(); });
    OnCommand(IDC_CLEAR, [this] { OnClear(); });
    // Sending and clearing mean something only once a register is connected.
    EnableItem(IDC_SEND, false);
    EnableItem(IDC_CLEAR, false);

    Create();
}

CConnectionMonitorDlg::~CConnectionMonitorDlg() = default;

std::string CConnectionMonitorDlg::FormatTrafficEntry(std::string_view bytes)
{
    return ECRTrafficText::Entry(bytes, "\r\n");
}

void CConnectionMonitorDlg::AddDebugLine(std::string_view text)
{
    m_strDebug.Add(UpToZero(text));
    UpdateData(false);
}

void CConnectionMonitorDlg::AddTraffic(std::string_view text)
{
    m_strTraffic.Add(FormatTrafficEntry(text));
    UpdateData(false);
}

void CConnectionMonitorDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Text(dx, IDC_COMMAND, m_strCommand);
    // The two boxes are read-only, so their members are never read back;
    // writing them adds only what the boxes do not show yet.
    if (!dx.SaveAndValidate() && !dx.Failed()) {
        SyncBox(m_editDebug, m_strDebug, m_nDebugShown, m_nDebugGeneration);
        SyncBox(m_editTraffic, m_strTraffic, m_nTrafficShown, m_nTrafficGeneration);
    }
}

void CConnectionMonitorDlg::SyncBox(QPlainTextEdit* box, const NewestFirstLog& log, std::size_t& shown,
                                    std::size_t& generation)
{
    if (generation != log.Generation()) {
        box->clear();
        shown = 0;
        generation = log.Generation();
    }
    if (shown == log.Count()) {
        return;
    }
    QTextCursor top(box->document());
    top.beginEditBlock();
    for (; shown < log.Count(); ++shown) {
        top.movePosition(QTextCursor::Start);
        const bool first = shown == 0;
        top.insertText(first ? ForBox(log.Entry(shown)) : ForBox(log.Entry(shown)) + QLatin1Char('\n'));
    }
    top.endEditBlock();
    // The newest entry is at the top: keep it in view.
    box->verticalScrollBar()->setValue(0);
}

void CConnectionMonitorDlg::OnInsertByte(char byte)
{
    if (!UpdateData(true)) {
        return;
    }
    m_strCommand += byte;
    UpdateData(false);
    m_editCommand->setFocus();
    m_editCommand->deselect();
    m_editCommand->end(false);
}

void CConnectionMonitorDlg::OnSend()
{
    if (!UpdateData(true)) {
        return;
    }
    if (g_pMainDlg == nullptr || !g_pMainDlg->m_pDevice) {
        return;
    }
    const ECRString answer = g_pMainDlg->m_pDevice->SendRaw(ECRString(m_strCommand.c_str()));
    AddDebugLine(answer.Data());
}

void CConnectionMonitorDlg::OnClear()
{
    m_strDebug.Clear();
    m_strTraffic.Clear();
    UpdateData(false);
}
