// Build-time tool: draws each picture of kIconPictures from its SVG at every size and scale
// and writes their pixels into a C++ source that defines IconImages().
//   kvprog_icons SVG_DIR OUT.cpp
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

#include "IconsData.h"

namespace {

QImage Draw(QSvgRenderer& renderer, int pixels) {
    // The format a transparent pixmap has on the raster platforms.
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    return image;
}

QByteArray PixelList(const QImage& image) {
    QByteArray text;
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            text += (count++ % 8 == 0 ? "\n    0x" : " 0x") +
                    QByteArray::number(line[x], 16).rightJustified(8, '0') + ',';
        }
    }
    return text;
}

QByteArray Quoted(std::string_view text) {
    return '"' + QByteArray(text.data(), static_cast<qsizetype>(text.size())) + '"';
}

}  // namespace

int main(int argc, char** argv) {
    // Drawn as the program would draw them, by an application on the offscreen platform.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: kvprog_icons SVG_DIR OUT.cpp\n");
        return 2;
    }
    const QString svgDir = QString::fromLocal8Bit(argv[1]);
    QByteArray arrays;
    QByteArray table;
    int count = 0;
    for (const IconPicture& picture : kIconPictures) {
        const QString file =
            svgDir + '/' +
            QString::fromUtf8(picture.name.data(), static_cast<qsizetype>(picture.name.size())) +
            QStringLiteral(".svg");
        QSvgRenderer renderer(file);
        if (!renderer.isValid()) {
            std::fprintf(stderr, "kvprog_icons: cannot draw %s\n", qPrintable(file));
            return 1;
        }
        for (const int size : picture.sizes) {
            for (const int scale : kIconScales) {
                const QByteArray name = "kImage" + QByteArray::number(count++);
                arrays += "const std::uint32_t " + name + "[] = {" +
                          PixelList(Draw(renderer, size * scale)) + "\n};\n";
                table += "        {" + Quoted(picture.name) + ", " + QByteArray::number(size) +
                         ", " + QByteArray::number(scale) + ", " + name + "},\n";
            }
        }
    }
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "kvprog_icons: cannot write %s\n", argv[2]);
        return 1;
    }
    out.write(
        "// Made by kvprog_icons from app/icons/*.svg when the program is built.\n"
        "#include \"IconsData.h\"\n\nnamespace {\n\n" +
        arrays + "\n}  // namespace\n\nstd::span<const IconImage> IconImages() {\n" +
        "    static constexpr IconImage kImages[] = {\n" + table +
        "    };\n    return kImages;\n}\n");
    return out.error() == QFileDevice::NoError ? 0 : 1;
}
