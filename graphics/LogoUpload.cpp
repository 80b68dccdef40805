#include "graphics/LogoUpload.h"

#include "ecr/commands/ECRGraphicsCommands.h"

std::int32_t LogoUpload::Send(ECRGraphicsCommands& device, const std::vector<std::string>& rows,
                              const Progress& progress)
{
    std::int32_t firstRefusal = 0;
    // Each step is judged by its own answer, never by an earlier one's.
    auto noteRefusal = [&firstRefusal, &device]() {
        const ECRVerdict& verdict = device.LastVerdict();
        if (firstRefusal == 0 && verdict.kind == ECRVerdict::Kind::Refused)
            firstRefusal = verdict.code;
    };

    for (std::size_t y = 0; y < rows.size(); ++y) {
        device.WriteLogoRow(static_cast<std::int32_t>(y), ECRString(rows[y].c_str()));
        noteRefusal();
        if (progress)
            progress(y + 1, rows.size());
    }
    device.StoreLogo(static_cast<std::int32_t>(rows.size()));
    noteRefusal();
    return firstRefusal;
}
