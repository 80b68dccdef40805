#pragma once

#include "app/NewestFirstLog.h"
#include "framework/CDialog.h"
#include "framework/DynamicLayout.h"

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

class QLineEdit;
class QPlainTextEdit;
class QSettings;

// The modeless window beside the main window that shows every byte passing
// to and from the register (newest on top) and sends raw requests typed by
// the user. Created hidden with the main window; the callbacks feed it.
// Below the design's controls a third box, "Dekodirano:", shows each frame
// decoded with its time, and a line names the session log's file. The user
// may resize it (the boxes take the room); its size and place are kept for
// the next run. Each box keeps the newest kKeptEntries entries, at most
// kKeptBytes of them, so that a run of any length holds the memory of its
// last few hundred exchanges (the session log keeps everything); the first
// time a box lets entries go, the debug box says so once.
class CConnectionMonitorDlg : public CDialog {
    Q_OBJECT

public:
    static constexpr int IDC_DEBUG = 1005;
    static constexpr int IDC_TRAFFIC = 1008;
    static constexpr int IDC_COMMAND = 1009;
    static constexpr int IDC_SEND = 1010;
    static constexpr int IDC_INSERT_0A = 1011;
    static constexpr int IDC_INSERT_1F = 1012;
    static constexpr int IDC_INSERT_09 = 1013;
    static constexpr int IDC_CLEAR = 1014;
    static constexpr int IDC_DECODED = 1015;
    static constexpr int IDC_LOG_PATH = 1016;

    // What a box keeps: the last few hundred exchanges, what one looks back
    // over here, at most 1 MiB of them (a 16 KiB reply is 96 KiB in the
    // traffic box). A box this full costs per entry what a fresh one does, so
    // the millionth entry costs what the first did; a larger one costs more.
    static constexpr std::size_t kKeptEntries = 1000;
    static constexpr std::size_t kKeptBytes = 1024 * 1024;
    // Said in the debug box the first time a box lets entries go.
    static constexpr const char* kOlderInLog = "Monitor vise ne prikazuje starije poruke; sve su u dnevniku sesije.";
    static constexpr const char* kOlderLost =
        "Monitor vise ne prikazuje starije poruke; dnevnik sesije je iskljucen, pa one nisu sacuvane.";

    explicit CConnectionMonitorDlg(QWidget* parent = nullptr);
    ~CConnectionMonitorDlg() override;

    // Texts are Windows-1250 bytes; each is shown up to its first zero byte.
    void AddDebugLine(std::string_view text);
    void AddTraffic(std::string_view text);
    // A decoded line (UTF-8) on top of "Dekodirano:".
    void AddDecodedLine(std::string_view line);
    // What the log line shows (UTF-8): the file's path, or why there is none;
    // logging: the session log is written.
    void SetLogState(std::string_view text, bool logging = false);

    // A traffic entry: the bytes in hexadecimal ("%.2X-" each), CR LF, and
    // the bytes as characters (" c " each, '.' outside 0x20..0x7F).
    static std::string FormatTrafficEntry(std::string_view bytes);

    // The members as the design names them (the entries kept); the boxes
    // show them whole.
    std::string DebugText() const { return m_strDebug.Text(); }
    std::string TrafficText() const { return m_strTraffic.Text(); }
    std::string DecodedText() const { return m_strDecoded.Text(); }

    // Brings the boxes up to date with their texts now. They are otherwise
    // brought up to date when the window system next runs: between two
    // paints any number of entries go in with one insertion, so a long
    // upload costs the same per entry at its end as at its start.
    void SyncBoxes();
    const std::string& Command() const { return m_strCommand; }

    // Size and place for the next run (the frame's top left corner).
    void SavePlacement(QSettings& settings) const;
    // Takes the size and place an earlier run saved, before the window is
    // shown; false (and nothing changed) when there is none.
    bool LoadPlacement(const QSettings& settings);
    bool PlacementLoaded() const { return m_bPlacementLoaded; }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnInsertByte(char byte);
    void OnSend();
    void OnClear();
    // One box and the text it shows: how far it is shown, and how its
    // entries' bytes read (Windows-1250, or UTF-8 for the decoded lines).
    struct Box {
        QPlainTextEdit* edit = nullptr;
        const NewestFirstLog* log = nullptr;
        bool utf8 = false;
        std::size_t shown = 0;  // the log's Added() when last brought up to date
        std::size_t generation = 0;
        std::deque<int> lines{};  // lines of each entry shown, the oldest first
    };
    // Puts only the entries the box does not show yet on top, in one
    // insertion, and takes the ones the log no longer keeps off the bottom;
    // a log that was cleared is shown afresh.
    static void SyncBox(Box& box);
    void ScheduleSync();
    // The first time a box lets entries go, the debug box says so.
    void NoteDropped(const NewestFirstLog& log);

    NewestFirstLog m_strDebug{kKeptEntries, kKeptBytes};
    NewestFirstLog m_strTraffic{kKeptEntries, kKeptBytes};
    NewestFirstLog m_strDecoded{kKeptEntries, kKeptBytes};
    std::string m_strCommand;
    QLineEdit* m_editCommand = nullptr;
    Box m_boxes[3];
    bool m_bSyncPending = false;
    bool m_bLogging = false;
    bool m_bDroppedNoted = false;
    DynamicLayout m_layout;
    QSize m_builtSize;
    bool m_bPlacementLoaded = false;
};
