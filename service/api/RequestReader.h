#pragma once

#include "ecr/files/JsonValue.h"
#include "service/jobs/JobKind.h"
#include "service/jobs/JobRequest.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Reads a request body into a JobRequest, strictly and before anything is
// sent: an unknown or missing item, a value of the wrong kind, an amount
// with more decimals than it may have, a text the register cannot print
// (converted from UTF-8 as ecrctl converts it, with the same refusals), a
// value out of the register's range, or an import file outside the
// configured folder is a fault naming the item; every fault of a body is
// thrown at once (RequestFaults, a JsonFields::Refusal whose message is the
// first), each at its JSON pointer.
class RequestReader {
public:
    // Sale lines a receipt may have: the register takes no more.
    static constexpr std::size_t kMaxLines = 200;
    // Register number and cashier.
    static constexpr std::size_t kIdLength = 16;
    // Header lines are printed 32 characters wide.
    static constexpr std::size_t kLineLength = 32;
    // A raw request: the register reads frames of up to this many bytes.
    static constexpr std::size_t kMaxRawBytes = 8192;
    // The customer display: two lines of this many characters.
    static constexpr std::size_t kDisplayWidth = 20;
    // An info print's lines: numbered 1 to this many, each a paper line wide.
    static constexpr std::size_t kMaxInfoLines = 99;

    // importFolder: where {"file": NAME} of an article import is looked
    // for; empty when the service takes no files.
    static JobRequest Read(JobKind kind, const JsonValue& body, const std::string& importFolder);

private:
    static ReceiptRequest ReadReceipt(const JsonValue& body);
    static ImportArticlesRequest ReadImport(const JsonValue& body, const std::string& importFolder);
    static void ReadImportFile(const JsonValue& body, const std::string& importFolder, ImportArticlesRequest& request);
    static SetClockRequest ReadClock(const JsonValue& body);
    static ShowDisplayRequest ReadDisplay(const JsonValue& body);
    static InfoPrintRequest ReadInfoPrint(const JsonValue& body);
    static std::vector<ECRString> ReadTextLines(const JsonValue& body, std::size_t least, std::size_t most,
                                                std::size_t width, const std::string& what);
};
