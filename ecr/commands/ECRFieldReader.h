#pragma once

#include "ecr/commands/ECRCommandTable.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Reads the fields of a request or reply by a layout of the command table
// into "name=value" text, each value in its unit (12.50, 20.00%,
// 2026-03-15 09:41). Reading stops at the first field that is missing, not
// ended by its terminator or not a number, with the reason in Error().
class ECRFieldReader {
public:
    // The data must outlive the reader (it is not copied).
    explicit ECRFieldReader(std::string_view data) : m_data(data) {}

    // True when the layout reads the data whole. An optional field, and all
    // after it, may be missing when the data ends before it; bytes left after
    // the last field are a failure ("extra bytes after the fields").
    bool Read(const ECRCommandTable::Layout& layout);

    // "name=Sok price=12.50" for the fields read so far.
    const std::string& Text() const { return m_text; }
    // Why reading stopped ("price not ended by TAB"); empty while it has not.
    const std::string& Error() const { return m_error; }

    // ": " and the fields by the first layout that reads the data whole; when
    // none does, what the first one read, the reason and the data in
    // hexadecimal. Without layouts the data, if any, as text.
    static std::string Describe(const std::vector<ECRCommandTable::Layout>& layouts, std::string_view data);

    // A decimal integer in the int range, nothing else around it: an
    // optional "-" and one to ten digits.
    static bool ParseInt(std::string_view text, std::int64_t& value);

    // A register text (Windows-1250) for a line: UTF-8, control bytes and
    // undefined bytes as \xNN; with quote, quoted when empty or holding a
    // blank, a quote or "=".
    static std::string ShowText(std::string_view bytes, bool quote = true);

private:
    static std::string Name(const ECRCommandTable::Field& field, int index);
    bool Take(char terminator, const std::string& name, std::string_view& token);
    bool TakeInt(char terminator, const std::string& name, std::int64_t& value);
    bool ReadField(const ECRCommandTable::Field& field, const std::string& name);
    bool Fail(const std::string& reason);

    std::string_view m_data;
    std::size_t m_pos = 0;
    std::string m_text;
    std::string m_error;
};
