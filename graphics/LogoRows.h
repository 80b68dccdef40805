#pragma once

#include <string>
#include <vector>

// The register's form of a logo: one text of 90 upper-case hex digits per dot
// row, top row first; or, when the picture breaks a limit, the message for
// the user and no rows.
struct LogoRows {
    std::vector<std::string> rows;
    std::string error;

    bool Ok() const { return error.empty(); }
};
