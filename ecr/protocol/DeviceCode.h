#pragma once

#include <cstdint>

// The register's error codes by name: those that the programs branch on and
// those that the simulated register answers with. A refusal carries one in
// its reply (ECRVerdict::code); DeviceMessageText gives the register's own
// text for every code, these and the rest.
struct DeviceCode {
    enum Code : std::int32_t {
        Ok = 0,
        NotAllowedWhenFiscal = 1,
        ChecksumError = 2,
        WrongParameter = 4,
        PaperOut = 12,
        NoSuchArticle = 20,
        WrongDateTime = 32,
        DateBeforeFiscalModule = 33,
        PrintedAfterReport = 34,
        WrongClockShift = 35,
        TooManyLines = 56,
        // "*t" while a receipt is open.
        ReceiptAlreadyOpen = 57,
        // A sale command ("*l", "*s", "*u", "*e", "*x") while none is open.
        NoReceiptOpen = 58,
        ReceiptNotClosed = 59,
        ReceiptValueOutOfRange = 60,
        QuantityTooSmall = 61,
        WrongQuantityFormat = 62,
        WrongVoidParameters = 65,
        WrongReportPeriod = 80,
        NoReportInPeriod = 84,
        NoIbfm = 85,
        WrongTaxRates = 94,
        NoHeader = 100,
        HeaderNotProgrammed = 101,
        WrongPibLength = 103,
        ArticleNotAdded = 110,
        WrongArticleName = 112,
        WrongPrice = 114,
        WrongUnit = 115,
        WrongTaxRate = 116,
        WrongLineBytes = 130,
        WrongGraphicsType = 131,
        WrongLineCount = 132,
        WrongLineNumber = 133,
        WrongDataLength = 134,
        GraphicsDataOutOfRange = 135,
        // A command the register does not know.
        UnknownCommand = 255,
    };
};
