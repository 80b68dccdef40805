#include "graphics/PictureFile.h"

#include "graphics/BmpDecoder.h"
#include "graphics/BuildLogoRows.h"
#include "graphics/PnmDecoder.h"
#include "ecr/files/FaultText.h"
#include "ecr/files/InputFile.h"

namespace {

// Enough for the header of every format read here, comments included.
constexpr std::size_t kHeaderBytes = 64 * 1024;

const char* const kNotAPicture = "not a picture this program reads (BMP, PBM, PGM or PPM)";

bool IsBmp(const std::vector<unsigned char>& bytes)
{
    return bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
}

bool IsPnm(const std::vector<unsigned char>& bytes)
{
    return bytes.size() >= 2 && bytes[0] == 'P' && bytes[1] >= '1' && bytes[1] <= '6';
}

}  // namespace

bool PictureFile::LoadLogo(const std::string& path, Picture& picture, std::string& error)
{
    std::vector<unsigned char> bytes;
    if (!ReadLogoBytes(path, ReadSize, bytes, error))
        return false;
    if (!Decode(bytes, picture, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool PictureFile::ReadLogoBytes(const std::string& path, const SizeReader& readSize, std::vector<unsigned char>& bytes,
                                std::string& error)
{
    InputFile file;
    FileFault fault;
    // Said in ecrctl's language; the logo dialog reads its pictures itself.
    const auto fileFailed = [&] {
        error = FaultText::Describe(fault, FaultText::Language::English);
        return false;
    };
    if (!file.Open(path, fault))
        return fileFailed();
    // A file too large for a logo is read only as far as its header, for the
    // width or height message the user can act on.
    const bool tooLarge = file.Size() > kMaxLogoFileBytes;
    bytes.clear();
    if (!file.Read(tooLarge ? kHeaderBytes : static_cast<std::size_t>(file.Size()), bytes, fault))
        return fileFailed();
    int width = 0;
    int height = 0;
    if (!readSize(bytes, width, height, error)) {
        if (tooLarge && !file.CheckSize(kMaxLogoFileBytes, fault))
            return fileFailed();
        error = path + ": " + error;
        return false;
    }
    // Said in ecrctl's language, with the file and its size; the logo dialog
    // says it in the design's words (LogoSizeProblem).
    if (width != kLogoWidth) {
        error =
            path + ": a logo is " + std::to_string(kLogoWidth) + " dots wide, this picture " + std::to_string(width);
        return false;
    }
    if (height < kLogoMinHeight || height > kLogoMaxHeight) {
        error = path + ": a logo is " + std::to_string(kLogoMinHeight) + " to " + std::to_string(kLogoMaxHeight) +
                " dots high, this picture " + std::to_string(height);
        return false;
    }
    return file.CheckSize(kMaxLogoFileBytes, fault) || fileFailed();
}

bool PictureFile::Decode(const std::vector<unsigned char>& bytes, Picture& picture, std::string& error)
{
    if (IsBmp(bytes))
        return BmpDecoder::Decode(bytes, picture, error);
    if (IsPnm(bytes))
        return PnmDecoder::Decode(bytes, picture, error);
    error = kNotAPicture;
    return false;
}

bool PictureFile::ReadSize(const std::vector<unsigned char>& bytes, int& width, int& height, std::string& error)
{
    if (IsBmp(bytes))
        return BmpDecoder::ReadSize(bytes, width, height, error);
    if (IsPnm(bytes))
        return PnmDecoder::ReadSize(bytes, width, height, error);
    error = kNotAPicture;
    return false;
}
