// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// Build tool: enlarges the window icon for the desktop's icon theme (one PNG) or for Windows (one .ico
// holding several sizes). Pixel replication keeps the small picture's hard edges and palette instead of
// blurring it.
#include <QBuffer>
#include <QImage>
#include <QList>
#include <QSaveFile>
#include <QString>
#include <QtEndian>

#include <cstdio>

namespace {

QByteArray pngOf(const QImage& icon, int size) {
    // Keep the transparent background of the XPM.
    const QImage scaled = icon.convertToFormat(QImage::Format_ARGB32)
                              .scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    scaled.save(&buffer, "PNG");
    return png;
}

template <typename T> void put(QByteArray& out, T value) {
    const T little = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&little), sizeof little);
}

// An .ico file whose images are PNG streams, which Windows reads since Vista; Qt writes one image per file.
QByteArray icoOf(const QImage& icon, const QList<int>& sizes) {
    QByteArray header;
    QByteArray images;
    put<quint16>(header, 0);
    put<quint16>(header, 1); // icon, not cursor
    put<quint16>(header, quint16(sizes.size()));
    const int directoryEnd = 6 + 16 * int(sizes.size());
    for (const int size : sizes) {
        const QByteArray png = pngOf(icon, size);
        header.append(char(size >= 256 ? 0 : size)); // 0 stands for 256
        header.append(char(size >= 256 ? 0 : size));
        header.append(char(0)); // no palette
        header.append(char(0));
        put<quint16>(header, 1);  // colour planes
        put<quint16>(header, 32); // bits per pixel
        put<quint32>(header, quint32(png.size()));
        put<quint32>(header, quint32(directoryEnd + images.size()));
        images += png;
    }
    return header + images;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <source image> <output.png|output.ico> <size>...\n", argv[0]);
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[2]);
    QList<int> sizes;
    for (int i = 3; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || size <= 0 || size > 256) {
            std::fprintf(stderr, "%s: not a size from 1 to 256: %s\n", argv[0], argv[i]);
            return 2;
        }
        sizes.append(size);
    }
    const bool ico = output.endsWith(QStringLiteral(".ico"));
    if (!ico && sizes.size() != 1) {
        std::fprintf(stderr, "%s: a PNG holds one size\n", argv[0]);
        return 2;
    }

    const QImage icon(QString::fromLocal8Bit(argv[1]));
    if (icon.isNull()) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    QSaveFile file(output);
    const QByteArray data = ico ? icoOf(icon, sizes) : pngOf(icon, sizes.front());
    if (data.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(data) != data.size() ||
        !file.commit()) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}
