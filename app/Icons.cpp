#include "Icons.h"

#include <QImage>
#include <QPixmap>

#include "CommandTable.h"

namespace {

struct CommandPicture {
    int id;
    std::string_view picture;
};

constexpr CommandPicture kCommandPictures[] = {
    {ID_FILE_NEW, "new"},         {ID_FILE_OPEN, "open"},       {ID_FILE_SAVE, "save"},
    {ID_READ_FROM_RADIO, "read"}, {ID_WRITE_TO_RADIO, "write"}, {ID_TEST_MODE, "testmode"},
    {ID_FILE_PRINT, "print"},     {ID_APP_ABOUT, "about"},
};

// Every size of the picture, each at its scales; the icon picks the one a screen needs.
QIcon PictureIcon(std::string_view picture) {
    QIcon icon;
    for (const IconImage& image : IconImages()) {
        if (image.name != picture) {
            continue;
        }
        const int side = image.size * image.scale;
        // The pixmap reads the pixels where they are, in the program's constant data, and
        // only when it is drawn: nothing may detach it, and it keeps the format with alpha,
        // as a transparent pixmap does, without looking for an opaque picture.
        QImage pixels(reinterpret_cast<const uchar*>(image.pixels.data()), side, side,
                      side * static_cast<int>(sizeof(std::uint32_t)),
                      QImage::Format_ARGB32_Premultiplied);
        pixels.setDevicePixelRatio(image.scale);
        const QPixmap pixmap = QPixmap::fromImage(std::move(pixels), Qt::NoOpaqueDetection);
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace

QIcon CommandIcon(int id) {
    for (const CommandPicture& entry : kCommandPictures) {
        if (entry.id == id) {
            return PictureIcon(entry.picture);
        }
    }
    return {};
}

QIcon AppIcon() {
    return PictureIcon("kvprog");
}
