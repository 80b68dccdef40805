#pragma once

#include "app/NewestFirstLog.h"
#include "framework/CDialog.h"
#include "framework/DynamicLayout.h"

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
// the next run.
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

    explicit CConnectionMonitorDlg(QWidget* parent = nullptr);
    ~CConnectionMonitorDlg() override;

    // Texts are Windows-1250 bytes; each is shown up to its first zero byte.
    void AddDebugLine(std::string_view text);
    void AddTraffic(std::string_view text);
    // A decoded line (UTF-8) on top of "Dekodirano:".
    void AddDecodedLine(std::string_view line);
    // What the log line shows (UTF-8): the file's path, or why there is none.
    void SetLogState(std::string_view text);

    // A traffic entry: the bytes in hexadecimal ("%.2X-" each), CR LF, and
    // the bytes as characters (" c " each, '.' outside 0x20..0x7F).
    static std::string FormatTrafficEntry(std::string_view bytes);

    // The members as the design names them; the boxes show them whole.
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
        std::size_t shown = 0;
        std::size_t generation = 0;
    };
    // Puts only the entries the box does not show yet on top, in one
    // insertion; a log that lost entries is shown afresh.
    static void SyncBox(Box& box);
    void ScheduleSync();

    NewestFirstLog m_strDebug;
    NewestFirstLog m_strTraffic;
    NewestFirstLog m_strDecoded;
    std::string m_strCommand;
    QLineEdit* m_editCommand = nullptr;
    Box m_boxes[3];
    bool m_bSyncPending = false;
    DynamicLayout m_layout;
    QSize m_builtSize;
    bool m_bPlacementLoaded = false;
};
