#include "graphics/LogoUpload.h"

#include "ecr/commands/ECRGraphicsCommands.h"
#include "ecr/protocol/ECRMessageSink.h"

std::int32_t LogoUpload::Send(ECRGraphicsCommands& device, const std::vector<std::string>& rows,
                              const Progress& progress)
{
    std::int32_t firstRefusal = 0;
    auto noteRefusal = [&firstRefusal]() {
        const std::int32_t code = ECRProtocol::LastErrorCode();
        if (firstRefusal == 0 && code != 0)
            firstRefusal = code;
    };

    for (std::size_t y = 0; y < rows.size(); ++y) {
        ECRMessageSink::ResetLastCode();
        device.WriteLogoRow(static_cast<std::int32_t>(y), ECRString(rows[y].c_str()));
        noteRefusal();
        if (progress)
            progress(y + 1, rows.size());
    }
    ECRMessageSink::ResetLastCode();
    device.StoreLogo(static_cast<std::int32_t>(rows.size()));
    noteRefusal();
    return firstRefusal;
}
