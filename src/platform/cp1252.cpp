#include "platform/filesystem.h"

#include <array>

namespace {
// Code points of the bytes 0x80-0x9F. The five bytes the code page leaves undefined keep the C1
// control of the same number, so every byte value survives a decode/encode round trip.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

char encodeUnit(char16_t unit)
{
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
        return char(unit);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == unit)
            return char(0x80 + i);
    }
    return '?';
}
} // namespace

namespace Cp1252 {

QByteArray encode(const QString &text)
{
    // Text of plain ASCII and Latin-1 letters, nearly all there is, takes one byte a character as
    // it is; Qt converts it a block at a time.
    bool latin1 = true;
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit >= 0x100 || (unit >= 0x80 && unit < 0xA0)) {
            latin1 = false;
            break;
        }
    }
    if (latin1)
        return text.toLatin1();
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            // One character outside the basic plane: one replacement, not two.
            bytes.append('?');
            ++i;
            continue;
        }
        bytes.append(encodeUnit(c.unicode()));
    }
    return bytes;
}

QString decode(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes.at(i));
        out[i] = (b >= 0x80 && b <= 0x9F) ? QChar(kHighControls[b - 0x80]) : QChar(char16_t(b));
    }
    return text;
}

} // namespace Cp1252
