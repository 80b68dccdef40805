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
QString ForBox(std::string_view bytes, bool utf8)
{
    QString text = utf8 ? QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()))
                        : CodePage::ToUnicode(bytes);
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
    // The design's 313 x 215 units, and below them the decoded view: beside
    // them the window would no longer fit a 1024-pixel screen.
    SetDialogSize(313, 316);

    AddLabel(QStringLiteral("Debug Poruke:"), {7, 6, 74, 8});
    QPlainTextEdit* debug = AddMultiLineEdit(IDC_DEBUG, {7, 19, 299, 64}, true, false);
    AddLabel(QStringLiteral("Komunikacija:"), {7, 86, 73, 8});
    QPlainTextEdit* traffic = AddMultiLineEdit(IDC_TRAFFIC, {7, 98, 299, 73}, true, false);
    AddLabel(QStringLiteral("Komanda:"), {7, 177, 34, 8});
    m_editCommand = AddEdit(IDC_COMMAND, {41, 175, 208, 14});
    SetItemName(IDC_COMMAND, QStringLiteral("Komanda"));
    AddButton(IDC_SEND, QStringLiteral("Posalji >>"), {256, 174, 50, 14});
    AddButton(IDC_INSERT_1F, QStringLiteral("^ - 1F"), {41, 194, 29, 14});
    AddButton(IDC_INSERT_0A, QStringLiteral("* - 0A"), {77, 194, 28, 14});
    AddButton(IDC_INSERT_09, QStringLiteral("@ - 09"), {112, 194, 29, 14});
    AddButton(IDC_CLEAR, QStringLiteral("Brisi Buffer"), {256, 194, 50, 14});
    AddLabel(QStringLiteral("Dekodirano:"), {7, 215, 60, 8});
    AddLabel(QStringLiteral("Dnevnik:"), {100, 215, 34, 8});
    QLineEdit* logPath = AddEdit(IDC_LOG_PATH, {134, 212, 172, 14});
    QPlainTextEdit* decoded = AddMultiLineEdit(IDC_DECODED, {7, 229, 299, 80}, true, false);
    logPath->setReadOnly(true);
    SetLogState("iskljucen");

    m_boxes[0] = {debug, &m_strDebug, false};
    m_boxes[1] = {traffic, &m_strTraffic, false};
    m_boxes[2] = {decoded, &m_strDecoded, true};
    // The boxes only ever grow at the top; the undo history would double the memory.
    for (Box& box : m_boxes) {
        box.edit->setUndoRedoEnabled(false);
    }

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

void CConnectionMonitorDlg::AddDecodedLine(std::string_view line)
{
    m_strDecoded.Add(line);
    UpdateData(false);
}

void CConnectionMonitorDlg::SetLogState(std::string_view text)
{
    auto* logPath = Item<QLineEdit>(IDC_LOG_PATH);
    logPath->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    logPath->setToolTip(logPath->text());
    logPath->setCursorPosition(0);
}

void CConnectionMonitorDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Text(dx, IDC_COMMAND, m_strCommand);
    // The boxes are read-only, so their members are never read back;
    // writing them adds only what the boxes do not show yet.
    if (!dx.SaveAndValidate() && !dx.Failed()) {
        ScheduleSync();
    }
}

void CConnectionMonitorDlg::ScheduleSync()
{
    if (m_bSyncPending) {
        return;
    }
    m_bSyncPending = true;
    QMetaObject::invokeMethod(this, [this] { SyncBoxes(); }, Qt::QueuedConnection);
}

void CConnectionMonitorDlg::SyncBoxes()
{
    m_bSyncPending = false;
    for (Box& box : m_boxes) {
        SyncBox(box);
    }
}

void CConnectionMonitorDlg::SyncBox(Box& box)
{
    const NewestFirstLog& log = *box.log;
    if (box.generation != log.Generation()) {
        box.edit->clear();
        box.shown = 0;
        box.generation = log.Generation();
    }
    if (box.shown == log.Count()) {
        return;
    }
    // Newest first; every entry but the very first of the text has one below it.
    QString text;
    for (std::size_t i = log.Count(); i-- > box.shown;) {
        text += ForBox(log.Entry(i), box.utf8);
        if (i != 0) {
            text += QLatin1Char('\n');
        }
    }
    box.shown = log.Count();
    QTextCursor top(box.edit->document());
    top.movePosition(QTextCursor::Start);
    top.insertText(text);
    // The newest entry is at the top: keep it in view.
    box.edit->verticalScrollBar()->setValue(0);
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
    m_strDecoded.Clear();
    UpdateData(false);
}
