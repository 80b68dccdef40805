#include "graphics/PictureFile.h"

#include "graphics/BmpDecoder.h"
#include "graphics/PnmDecoder.h"

#include "ecr/commands/Utf8Path.h"

#include <fstream>
#include <iterator>

bool PictureFile::Load(const std::string& path, Picture& picture, std::string& error)
{
    std::ifstream file(Utf8Path(path), std::ios::binary);
    if (!file) {
        error = "Problem pri otvaranju fajla: " + path;
        return false;
    }
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) {
        error = "Problem pri citanju fajla: " + path;
        return false;
    }
    if (!Decode(bytes, picture, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool PictureFile::Decode(const std::vector<unsigned char>& bytes, Picture& picture, std::string& error)
{
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
        return BmpDecoder::Decode(bytes, picture, error);
    if (bytes.size() >= 2 && bytes[0] == 'P' && bytes[1] >= '1' && bytes[1] <= '6')
        return PnmDecoder::Decode(bytes, picture, error);
    error = "not a picture this program reads (BMP, PBM, PGM or PPM)";
    return false;
}
