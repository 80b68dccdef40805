#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class ECRGraphicsCommands;

// Sends logo rows 0..n-1 and then stores n rows. A row the register refuses
// does not stop the upload (the rest still goes out); the first refusal's
// device error code is returned, 0 when every step was accepted. Link
// failures (CommError, ECRStringError) pass to the caller.
class LogoUpload {
public:
    // Called after each row with the number of rows sent so far.
    using Progress = std::function<void(std::size_t sent, std::size_t total)>;

    static std::int32_t Send(ECRGraphicsCommands& device, const std::vector<std::string>& rows,
                             const Progress& progress = {});
};
