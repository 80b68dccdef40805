#pragma once

#include <fstream>
#include <string>
#include <string_view>

// A session's log file: plain UTF-8 text, one entry a line, each written and
// flushed at once (or a batch of lines at once, Append then Flush) so that a
// crash of the program loses nothing written before it. A run starts with a header comment; traffic lines carry the
// decoded text, a TAB and the raw bytes in the monitor's hexadecimal form:
//
//   # thermal session log: thermal, started 2026-03-15 09:41:07 ...
//        412 ms  PC -> ECR  $c citanje sata  cs=AD<TAB>[24-63-]
//        431 ms  message    Operacija je uspesna
//
// so that it reads without the program and decodes back with ecrctl decode.
class ECRSessionLog {
public:
    // How every run's header line begins; ECRCapture knows a log by it.
    static constexpr std::string_view kHeaderStart = "# thermal session log";

    // Opens the file for appending (created when missing) and writes the
    // header naming the program and the local start time. False with the
    // reason in error when the file cannot be opened or written, and at
    // once for what would stall the program (AppendTarget).
    // A log already open is closed first.
    bool Open(const std::string& path, std::string_view program, std::string& error);
    // Closes the file, if open; Write then returns false.
    void Close();
    bool IsOpen() const { return m_file.is_open(); }

    // Writes the line and a line break and flushes. On a failure the log
    // closes and Error() says why. False, with nothing written, when the log
    // is not open.
    bool Write(std::string_view line);
    // The same without the flush: the line reaches the file with the next
    // Flush or Write (or once the buffer is full), so that a batch of lines
    // costs one write.
    bool Append(std::string_view line);
    bool Flush();
    const std::string& Error() const { return m_error; }

    // A traffic line: the decoded text, TAB, the bytes as "[24-63-]".
    static std::string TrafficLine(std::string_view decoded, std::string_view bytes);
    // Splits a traffic line back; false for any other line. A CR at its end
    // is ignored; decoded points into line.
    static bool ParseTrafficLine(std::string_view line, std::string_view& decoded, std::string& bytes);

private:
    // False, the log closed and the reason kept, once a write failed.
    bool Check();

    std::ofstream m_file;
    std::string m_path;
    std::string m_error;
};
