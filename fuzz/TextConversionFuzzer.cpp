// The conversions a typed argument goes through before it reaches the
// register, and the JSON that reports it. The strict decoder accepts only
// what encodes back to the very same bytes (so no overlong form or surrogate
// slips through); converted text has exactly one byte per character and no
// byte the text did not stand for; an argument for the register holds no
// control byte, a raw payload no zero byte; JSON is always valid UTF-8.
#include "cli/CliArgs.h"
#include "cli/CliFailure.h"
#include "ecr/files/JsonValue.h"
#include "cli/RawPayload.h"
#include "ecr/commands/ECRCodePage.h"
#include "ecr/commands/TextFault.h"
#include "ecr/commands/Utf8.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);

    std::u32string characters;
    std::size_t badOffset = 0;
    const bool valid = Utf8::Decode(text, characters, badOffset);
    if (valid != Utf8::IsValid(text))
        std::abort();
    if (valid) {
        if (Utf8::Encode(characters) != text)
            std::abort();
        for (const char32_t c : characters) {
            if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
                std::abort();
        }
    } else if (badOffset >= size || !Utf8::IsValid(text.substr(0, badOffset))) {
        std::abort();
    }

    for (const auto codePage : {ECRCodePage::Windows1250, ECRCodePage::Windows1251}) {
        std::string bytes;
        TextFault fault;
        if (ECRCodePage::FromUtf8(text, bytes, fault, codePage)) {
            if (!valid || bytes.size() != characters.size())
                std::abort();
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                if ((bytes[i] == '\0') != (characters[i] == 0))
                    std::abort();
            }
        } else if (valid != (fault.kind != TextFault::Kind::NotUtf8)) {
            std::abort();
        }
    }

    try {
        const ECRString argument = CliArgs::ToRegister(text);
        TextFault fault;
        if (!valid || argument.Length() != characters.size() ||
            TextFault::FindControlByte(std::string_view(argument.Data(), argument.Length()), fault))
            std::abort();
    } catch (const CliFailure& failure) {
        if (failure.ExitCode() != CliFailure::kUsage)
            std::abort();
    }

    std::string payload;
    std::string error;
    if (RawPayload::Decode(text, payload, error) && payload.find('\0') != std::string::npos)
        std::abort();

    JsonValue json = JsonValue::Object();
    json.Set(text, text);
    if (!Utf8::IsValid(json.Dump()))
        std::abort();
    return 0;
}
