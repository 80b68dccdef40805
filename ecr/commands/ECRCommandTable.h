#pragma once

#include <string_view>
#include <vector>

// What every command of the register's command set looks like on the wire:
// its code, its name as the technicians call it, and the fields of its
// request and of its reply data, in wire order. Used to read traffic back,
// never to build requests (the command groups do that).
class ECRCommandTable {
public:
    // How a field's text reads.
    enum class Format {
        Int,       // signed decimal
        Text,      // register text (Windows-1250)
        Price,     // hundredths: 1250 reads 12.50
        Quantity,  // thousandths: 2500 reads 2.500
        Rate,      // hundredths of a percent: 2000 reads 20.00%
        DateTime,  // five 0x1F-ended fields: year, month, day, hour, minute
        Date,      // three 0x1F-ended fields: year, month, day
    };

    struct Field {
        // With count > 1 the fields are name1..nameN; an empty name with
        // count 9 names them after the tax rates A, G, D, Dj, E, Z, I, J, K.
        const char* name;
        Format format;
        char terminator;  // 0x1F, LF or TAB; 0 takes the rest of the data
        int count = 1;
        // This field and all after it may be missing at the end of the data.
        bool optional = false;
    };
    // The fields of a request or of reply data, in wire order.
    using Layout = std::vector<Field>;

    struct Command {
        const char* code;  // "$c"
        const char* name;  // "citanje sata"
        // Alternative layouts, tried in order; one empty layout means no fields.
        std::vector<Layout> request;
        // Empty: the reply carries no data that the command set reads.
        std::vector<Layout> reply;
    };

    // The command with the two-byte code, or null.
    static const Command* Find(std::string_view code);
    // Every command the command groups send.
    static const std::vector<Command>& All();
    // The name of the Nth tax rate, 0..8; "?" for any other index.
    static const char* RateName(int index);
};
