#pragma once

#include "ecr/commands/ECRTrafficDecoder.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// Decodes a capture as it is read, in pieces of any size, giving the same
// lines as ECRCapture::Decode of the whole: each line goes to the sink as
// soon as its entry is complete. A session log and a raw capture take memory
// for one entry at a time, however long they are. The monitor's text is
// newest entry first, so it is held until its end; it is what a monitor box
// held, and larger than kMaxMonitorText it is refused.
//
//   ECRCaptureStream stream([](const std::string& line) { std::puts(line.c_str()); });
//   while (Read(chunk)) if (!stream.Feed(chunk)) ...;   // refused: too large
//   stream.Finish();
class ECRCaptureStream {
public:
    using LineSink = std::function<void(const std::string& line)>;

    static constexpr std::size_t kMaxMonitorText = 64 * 1024 * 1024;
    // A session log's line longer than this is left out, with a line saying so.
    static constexpr std::size_t kMaxLogLine = 1024 * 1024;

    explicit ECRCaptureStream(LineSink sink);

    // The next bytes of the capture. False, and nothing more decoded, once
    // the capture looks like the monitor's text and has grown past
    // kMaxMonitorText.
    bool Feed(std::string_view bytes);
    // The capture has ended: the rest of it decoded.
    void Finish();

    // Frames that failed a check (ECRTrafficDecoder::FailedFrames).
    std::size_t FailedFrames() const { return m_decoder.FailedFrames(); }

private:
    enum class Form { Undecided, SessionLog, Raw };

    // Tells the form once the bytes held are enough, as ECRCapture::Detect
    // would tell it of the whole capture.
    void Decide();
    // Decodes the complete lines or pieces held; at the end, all of them.
    void TakeLogLines(bool end);
    void TakeRawPieces(bool end);
    void TakeLogLine(std::string_view line);
    void LeaveOutLongLine();
    void Emit(const std::string& line) { m_sink(line); }

    LineSink m_sink;
    ECRTrafficDecoder m_decoder;
    Form m_form = Form::Undecided;
    // Bytes not decoded yet: the whole capture while its form is not known.
    std::string m_held;
    bool m_refused = false;
    // While undecided: how far the held bytes are known to be text, and where
    // the next line to look at for the first one that is not empty starts.
    std::size_t m_textChecked = 0;
    std::size_t m_lineChecked = 0;
    bool m_firstLineIsHex = false;
    // A session log: lines read so far, and a line too long being skipped.
    std::size_t m_lineNumber = 0;
    bool m_skippingLine = false;
};
