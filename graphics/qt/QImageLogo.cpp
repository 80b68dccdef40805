#include "graphics/qt/QImageLogo.h"

#include "ecr/files/InputFile.h"
#include "graphics/BuildLogoRows.h"
#include "graphics/PictureFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

namespace {

QByteArray View(const std::vector<unsigned char>& bytes)
{
    return QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

LogoRows BuildLogoRows(const QImage& image)
{
    return BuildLogoRows(image.width(), image.height(), [&image](int x, int y) {
        const QRgb colour = image.pixel(x, y);
        return Rgb{static_cast<std::uint8_t>(qRed(colour)), static_cast<std::uint8_t>(qGreen(colour)),
                   static_cast<std::uint8_t>(qBlue(colour))};
    });
}

bool LoadPicture(const std::string& path, QImage& image)
{
    std::vector<unsigned char> bytes;
    FileFault fault;
    if (!InputFile::ReadAll(path, kMaxPictureFileBytes, bytes, fault)) {
        return false;
    }
    QByteArray data = View(bytes);
    QBuffer buffer(&data);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(kMaxPictureMegabytes);
    QImage loaded;
    if (!reader.read(&loaded)) {
        return false;
    }
    image = loaded;
    return true;
}

bool LoadLogoImage(const std::string& path, QImage& image, std::string& error)
{
    const auto readSize = [](const std::vector<unsigned char>& bytes, int& width, int& height, std::string& problem) {
        QByteArray data = View(bytes);
        QBuffer buffer(&data);
        QImageReader reader(&buffer);
        const QSize size = reader.size();
        if (!size.isValid()) {
            problem = "not a picture this program reads";
            return false;
        }
        width = size.width();
        height = size.height();
        return true;
    };
    std::vector<unsigned char> bytes;
    if (!PictureFile::ReadLogoBytes(path, readSize, bytes, error))
        return false;
    QImage loaded;
    if (!loaded.loadFromData(View(bytes))) {
        error = path + ": damaged picture";
        return false;
    }
    image = loaded;
    return true;
}
