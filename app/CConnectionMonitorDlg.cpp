#include "app/CConnectionMonitorDlg.h"

#include "app/CThermalDlg.h"
#include "ecr/commands/ECRDevice.h"
#include "ecr/protocol/ECRTrafficText.h"

#include "framework/ScreenFit.h"

#include <QFontDatabase>
#include <QLabel>
#include <QResizeEvent>
#include <QSettings>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdlib>
#include <vector>

namespace {

// Shares of the room the window gains or loses: the debug box a quarter,
// the traffic box half, the decoded view the rest.
constexpr double kDebugShare = 0.25;
constexpr double kTrafficShare = 0.5;
// The least size in dialog units: every box keeps a few lines, the command
// line and the log line stay readable.
constexpr int kLeastWidth = 220;
constexpr int kLeastHeight = 240;
// Larger than any screen: a saved size or place beyond it is not one a run wrote.
constexpr int kLargestSide = 100000;

std::string_view UpToZero(std::string_view text)
{
    return text.substr(0, text.find('\0'));
}

// Line breaks of the design's texts (CR LF) as the box shows them. What
// else the box would take for one (a lone CR, a paragraph separator) becomes
// LF too, as it shows the same: an entry takes one line more than its LFs.
QString ForBox(std::string_view bytes, bool utf8)
{
    QString text = utf8 ? QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()))
                        : CodePage::ToUnicode(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
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

    // The boxes take the room the window gains or loses, the traffic box
    // half of it; the rows between and below them move with them, and the
    // buttons at the right stay beside the right edge.
    const DynamicLayout::Share belowBoxes{0, kDebugShare + kTrafficShare, 0, 0};
    const DynamicLayout::Share belowBoxesRight{1, kDebugShare + kTrafficShare, 0, 0};
    const DynamicLayout::Share belowBoxesWide{0, kDebugShare + kTrafficShare, 1, 0};
    AddLabel(QStringLiteral("Debug Poruke:"), {7, 6, 74, 8});
    QPlainTextEdit* debug = AddMultiLineEdit(IDC_DEBUG, {7, 19, 299, 64}, true, false);
    m_layout.Add(debug, {0, 0, 1, kDebugShare});
    m_layout.Add(AddLabel(QStringLiteral("Komunikacija:"), {7, 86, 73, 8}), {0, kDebugShare, 0, 0});
    QPlainTextEdit* traffic = AddMultiLineEdit(IDC_TRAFFIC, {7, 98, 299, 73}, true, false);
    m_layout.Add(traffic, {0, kDebugShare, 1, kTrafficShare});
    m_layout.Add(AddLabel(QStringLiteral("Komanda:"), {7, 177, 34, 8}), belowBoxes);
    m_editCommand = AddEdit(IDC_COMMAND, {41, 175, 208, 14});
    m_layout.Add(m_editCommand, belowBoxesWide);
    SetItemName(IDC_COMMAND, QStringLiteral("Komanda"));
    m_layout.Add(AddButton(IDC_SEND, QStringLiteral("Posalji >>"), {256, 174, 50, 14}), belowBoxesRight);
    m_layout.Add(AddButton(IDC_INSERT_1F, QStringLiteral("^ - 1F"), {41, 194, 29, 14}), belowBoxes);
    m_layout.Add(AddButton(IDC_INSERT_0A, QStringLiteral("* - 0A"), {77, 194, 28, 14}), belowBoxes);
    m_layout.Add(AddButton(IDC_INSERT_09, QStringLiteral("@ - 09"), {112, 194, 29, 14}), belowBoxes);
    m_layout.Add(AddButton(IDC_CLEAR, QStringLiteral("Brisi Buffer"), {256, 194, 50, 14}), belowBoxesRight);
    m_layout.Add(AddLabel(QStringLiteral("Dekodirano:"), {7, 215, 60, 8}), belowBoxes);
    m_layout.Add(AddLabel(QStringLiteral("Dnevnik:"), {100, 215, 34, 8}), belowBoxes);
    QLineEdit* logPath = AddEdit(IDC_LOG_PATH, {134, 212, 172, 14});
    m_layout.Add(logPath, belowBoxesWide);
    QPlainTextEdit* decoded = AddMultiLineEdit(IDC_DECODED, {7, 229, 299, 80}, true, false);
    m_layout.Add(decoded, {0, kDebugShare + kTrafficShare, 1, 1 - kDebugShare - kTrafficShare});
    logPath->setReadOnly(true);
    SetLogState("iskljucen");
    m_builtSize = size();
    // Resizable, down to a size where every box still shows a few lines.
    const QRect least = DluToPixels({0, 0, kLeastWidth, kLeastHeight});
    setMinimumSize(least.size());
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);

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
    NoteDropped(m_strDebug);
    UpdateData(false);
}

void CConnectionMonitorDlg::AddTraffic(std::string_view text)
{
    m_strTraffic.Add(FormatTrafficEntry(text));
    NoteDropped(m_strTraffic);
    UpdateData(false);
}

void CConnectionMonitorDlg::AddDecodedLine(std::string_view line)
{
    m_strDecoded.Add(line);
    NoteDropped(m_strDecoded);
    // No control of the data exchange shows it: the box only.
    ScheduleSync();
}

void CConnectionMonitorDlg::NoteDropped(const NewestFirstLog& log)
{
    if (m_bDroppedNoted || log.Dropped() == 0) {
        return;
    }
    m_bDroppedNoted = true;
    m_strDebug.Add(m_bLogging ? kOlderInLog : kOlderLost);
    ScheduleSync();
}

void CConnectionMonitorDlg::SetLogState(std::string_view text, bool logging)
{
    m_bLogging = logging;
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
    // One call posted at a time, however often SyncBoxes runs before it.
    m_bSyncPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_bSyncPending = false;
            SyncBoxes();
        },
        Qt::QueuedConnection);
}

void CConnectionMonitorDlg::SyncBoxes()
{
    for (Box& box : m_boxes) {
        SyncBox(box);
    }
}

void CConnectionMonitorDlg::SyncBox(Box& box)
{
    const NewestFirstLog& log = *box.log;
    if (box.generation == log.Generation() && box.shown == log.Added()) {
        return;
    }
    // Cleared, or more came than the log keeps: the box starts again.
    if (box.generation != log.Generation() || log.Added() - box.shown >= log.Count()) {
        box.edit->clear();
        box.lines.clear();
        box.generation = log.Generation();
        box.shown = log.Added() - log.Count();
    }
    // Newest first; every entry has a line break below it but the oldest in the box.
    const std::size_t first = log.Count() - (log.Added() - box.shown);
    std::vector<int> lines(log.Count() - first);
    QString text;
    for (std::size_t i = log.Count(); i-- > first;) {
        const QString entry = ForBox(log.Entry(i), box.utf8);
        lines[i - first] = static_cast<int>(entry.count(QLatin1Char('\n'))) + 1;
        text += entry;
        if (i != first || !box.lines.empty()) {
            text += QLatin1Char('\n');
        }
    }
    box.shown = log.Added();
    box.lines.insert(box.lines.end(), lines.begin(), lines.end());
    QTextDocument* document = box.edit->document();
    QTextCursor top(document);
    top.movePosition(QTextCursor::Start);
    top.insertText(text);
    // The entries the log let go leave the bottom, with the line break above them.
    int dropped = 0;
    while (box.lines.size() > log.Count()) {
        dropped += box.lines.front();
        box.lines.pop_front();
    }
    if (dropped > 0) {
        QTextCursor bottom(document->findBlockByNumber(document->blockCount() - dropped));
        bottom.movePosition(QTextCursor::PreviousCharacter);
        bottom.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        bottom.removeSelectedText();
    }
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

void CConnectionMonitorDlg::resizeEvent(QResizeEvent* event)
{
    CDialog::resizeEvent(event);
    m_layout.Apply(size() - m_builtSize);
}

void CConnectionMonitorDlg::SavePlacement(QSettings& settings) const
{
    const bool maximized = isMaximized();
    const QRect client = maximized ? normalGeometry() : geometry();
    const QMargins frame = ScreenFit::FrameMargins(*this);
    settings.setValue(QStringLiteral("Monitor/position"), client.topLeft() - QPoint(frame.left(), frame.top()));
    settings.setValue(QStringLiteral("Monitor/size"), client.size());
    settings.setValue(QStringLiteral("Monitor/maximized"), maximized);
}

bool CConnectionMonitorDlg::LoadPlacement(const QSettings& settings)
{
    const QVariant position = settings.value(QStringLiteral("Monitor/position"));
    const QSize size = settings.value(QStringLiteral("Monitor/size")).toSize();
    // Only what an earlier run wrote; anything else leaves the window as built.
    if (position.metaType().id() != QMetaType::QPoint || !size.isValid() || size.width() > kLargestSide ||
        size.height() > kLargestSide) {
        return false;
    }
    const QPoint frameTopLeft = position.toPoint();
    if (std::abs(frameTopLeft.x()) > kLargestSide || std::abs(frameTopLeft.y()) > kLargestSide) {
        return false;
    }
    ScreenFit::Place(*this, QRect(frameTopLeft, size.expandedTo(minimumSize()).grownBy(ScreenFit::FrameMargins(*this))));
    if (settings.value(QStringLiteral("Monitor/maximized")).toBool()) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    m_bPlacementLoaded = true;
    return true;
}

void CConnectionMonitorDlg::OnClear()
{
    m_strDebug.Clear();
    m_strTraffic.Clear();
    m_strDecoded.Clear();
    UpdateData(false);
}
