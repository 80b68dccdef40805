#pragma once

#include "app/NewestFirstLog.h"
#include "framework/CDialog.h"

#include <string>
#include <string_view>

class QLineEdit;
class QPlainTextEdit;

// The modeless window beside the main window that shows every byte passing
// to and from the register (newest on top) and sends raw requests typed by
// the user. Created hidden with the main window; the callbacks feed it.
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

    explicit CConnectionMonitorDlg(QWidget* parent = nullptr);
    ~CConnectionMonitorDlg() override;

    // Texts are Windows-1250 bytes; each is shown up to its first zero byte.
    void AddDebugLine(std::string_view text);
    void AddTraffic(std::string_view text);

    // A traffic entry: the bytes in hexadecimal ("%.2X-" each), CR LF, and
    // the bytes as characters (" c " each, '.' outside 0x20..0x7F).
    static std::string FormatTrafficEntry(std::string_view bytes);

    // The members as the design names them; the boxes show them whole.
    std::string DebugText() const { return m_strDebug.Text(); }
    std::string TrafficText() const { return m_strTraffic.Text(); }
    const std::string& Command() const { return m_strCommand; }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    void OnInsertByte(char byte);
    void OnSend();
    void OnClear();
    // Brings a box up to date with its log by putting only the entries it
    // does not show yet on top; a log that lost entries is shown afresh.
    static void SyncBox(QPlainTextEdit* box, const NewestFirstLog& log, std::size_t& shown, std::size_t& generation);

    NewestFirstLog m_strDebug;
    NewestFirstLog m_strTraffic;
    std::string m_strCommand;
    QLineEdit* m_editCommand = nullptr;
    QPlainTextEdit* m_editDebug = nullptr;
    QPlainTextEdit* m_editTraffic = nullptr;
    std::size_t m_nDebugShown = 0;
    std::size_t m_nTrafficShown = 0;
    std::size_t m_nDebugGeneration = 0;
    std::size_t m_nTrafficGeneration = 0;
};
