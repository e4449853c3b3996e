// SPDX-License-Identifier: GPL-3.0-or-later
#include "cursor_file.h"

#include <QFile>
#include <QPixmap>

#include <array>
#include <cmath>
#include <cstdint>

namespace vostrel::forms {
namespace {

class Reader {
public:
    explicit Reader(QByteArrayView bytes)
        : m_bytes(bytes)
    { }

    bool has(qsizetype offset, qsizetype length) const
    {
        return offset >= 0 && length >= 0 && offset <= m_bytes.size() && length <= m_bytes.size() - offset;
    }
    std::uint32_t u8(qsizetype offset) const { return static_cast<std::uint8_t>(m_bytes[offset]); }
    std::uint32_t u16(qsizetype offset) const { return u8(offset) | (u8(offset + 1) << 8); }
    std::uint32_t u32(qsizetype offset) const { return u16(offset) | (u16(offset + 2) << 16); }

private:
    QByteArrayView m_bytes;
};

constexpr qsizetype kDirectorySize = 6;
constexpr qsizetype kEntrySize = 16;
constexpr qsizetype kInfoHeaderSize = 40;

} // namespace

std::optional<CursorImage> readCursorFile(QByteArrayView bytes)
{
    const Reader in(bytes);
    if (!in.has(0, kDirectorySize + kEntrySize) || in.u16(0) != 0 || in.u16(2) != 2 || in.u16(4) < 1) {
        return std::nullopt;
    }
    const qsizetype entry = kDirectorySize;
    const int width = in.u8(entry) == 0 ? 256 : static_cast<int>(in.u8(entry));
    const int height = in.u8(entry + 1) == 0 ? 256 : static_cast<int>(in.u8(entry + 1));
    const QPoint hotSpot(static_cast<int>(in.u16(entry + 4)), static_cast<int>(in.u16(entry + 6)));
    const qsizetype imageSize = in.u32(entry + 8);
    const qsizetype imageOffset = in.u32(entry + 12);
    if (!in.has(imageOffset, imageSize) || imageSize < kInfoHeaderSize) {
        return std::nullopt;
    }

    // BITMAPINFOHEADER: the height counts both masks.
    const qsizetype header = imageOffset;
    const qsizetype headerSize = in.u32(header);
    if (headerSize < kInfoHeaderSize || static_cast<int>(in.u32(header + 4)) != width
        || static_cast<int>(in.u32(header + 8)) != 2 * height || in.u16(header + 12) != 1 || in.u16(header + 14) != 1
        || in.u32(header + 16) != 0) {
        return std::nullopt;
    }
    const qsizetype palette = header + headerSize;
    const qsizetype rowBytes = static_cast<qsizetype>((width + 31) / 32) * 4;
    const qsizetype colourMask = palette + 8; // after two palette entries of four bytes
    const qsizetype transparencyMask = colourMask + rowBytes * qsizetype{height};
    if (!in.has(palette, 8 + 2 * rowBytes * qsizetype{height})
        || transparencyMask + rowBytes * qsizetype{height} > imageOffset + imageSize) {
        return std::nullopt;
    }
    const std::array<QRgb, 2> colours = {qRgb(static_cast<int>(in.u8(palette + 2)),
                                             static_cast<int>(in.u8(palette + 1)), static_cast<int>(in.u8(palette))),
        qRgb(static_cast<int>(in.u8(palette + 6)), static_cast<int>(in.u8(palette + 5)),
            static_cast<int>(in.u8(palette + 4)))};

    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        const qsizetype row = height - 1 - y; // rows are stored bottom-up
        for (int x = 0; x < width; ++x) {
            const qsizetype byte = row * rowBytes + x / 8;
            const std::uint32_t bit = 0x80U >> (x % 8);
            const bool colour = (in.u8(colourMask + byte) & bit) != 0;
            const bool transparent = (in.u8(transparencyMask + byte) & bit) != 0;
            if (!transparent) {
                image.setPixel(x, y, colours[colour ? 1 : 0]);
            } else {
                image.setPixel(x, y, colour ? qRgb(0, 0, 0) : qRgba(0, 0, 0, 0));
            }
        }
    }
    return CursorImage{image, hotSpot};
}

QCursor loadCursor(const QString& path, qreal devicePixelRatio)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {Qt::PointingHandCursor};
    }
    const std::optional<CursorImage> cursor = readCursorFile(file.readAll());
    if (!cursor) {
        return {Qt::PointingHandCursor};
    }
    // Whole-pixel enlargement keeps the pixel art sharp on a high-DPI screen.
    // Qt 6.4 hands the hot spot to the window system in device pixels, so it
    // is enlarged with the picture.
    const int factor = std::max(1, static_cast<int>(std::lround(devicePixelRatio)));
    QPixmap pixmap = QPixmap::fromImage(cursor->image.scaled(cursor->image.size() * factor));
    pixmap.setDevicePixelRatio(factor);
    return QCursor(pixmap, cursor->hotSpot.x() * factor, cursor->hotSpot.y() * factor);
}

} // namespace vostrel::forms
