#include "Icons.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include "CommandTable.h"

// The icons live in a static library, whose resource registration the linker would drop
// unless something refers to it. (The registration cannot be named inside a namespace.)
static void EnsureResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    (void)registered;
}

namespace {

struct IconFile {
    int id;
    const char* file;
};

constexpr IconFile kCommandIcons[] = {
    {ID_FILE_NEW, "new.svg"},         {ID_FILE_OPEN, "open.svg"},
    {ID_FILE_SAVE, "save.svg"},       {ID_READ_FROM_RADIO, "read.svg"},
    {ID_WRITE_TO_RADIO, "write.svg"}, {ID_TEST_MODE, "testmode.svg"},
    {ID_FILE_PRINT, "print.svg"},     {ID_APP_ABOUT, "about.svg"},
};

// Renders the picture at each size, twice as dense as well, so that the icon stays sharp on
// screens that scale.
QIcon RenderIcon(const char* file, std::initializer_list<int> sizes) {
    EnsureResources();
    QSvgRenderer renderer(QStringLiteral(":/icons/") + QLatin1String(file));
    QIcon icon;
    if (!renderer.isValid()) {
        return icon;
    }
    for (const int size : sizes) {
        for (const int scale : {1, 2}) {
            QPixmap pixmap(size * scale, size * scale);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            renderer.render(&painter);
            painter.end();
            pixmap.setDevicePixelRatio(scale);
            icon.addPixmap(pixmap);
        }
    }
    return icon;
}

}  // namespace

QIcon CommandIcon(int id) {
    for (const IconFile& entry : kCommandIcons) {
        if (entry.id == id) {
            return RenderIcon(entry.file, {kToolbarIconSize});
        }
    }
    return {};
}

QIcon AppIcon() {
    return RenderIcon("kvprog.svg", {16, 24, 32, 48, 64});
}
