#include "tests/support/pngWriter.h"

#include "tests/support/temporaryFolder.h"

#include <QByteArray>

namespace {

std::uint32_t crc32(const std::string& bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= std::uint8_t(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

std::string bigEndian32(std::uint32_t value)
{
    return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

std::string chunk(const std::string& type, const std::string& data)
{
    return bigEndian32(std::uint32_t(data.size())) + type + data + bigEndian32(crc32(type + data));
}

} // namespace

void writeGrayAlphaPng(
    const std::string& path, int width, int height, int bits, const std::vector<int>& samples)
{
    std::string header = bigEndian32(std::uint32_t(width)) + bigEndian32(std::uint32_t(height));
    header += char(bits);
    header += std::string("\x04\0\0\0", 4);
    std::string raw;
    std::size_t next = 0;
    for (int y = 0; y < height; ++y) {
        raw += '\0'; // no filter
        for (int i = 0; i < width * 2; ++i) {
            const int value = samples[next++];
            if (bits == 16)
                raw += char(value >> 8);
            raw += char(value);
        }
    }
    // qCompress is a zlib stream behind a 4-byte length.
    const QByteArray compressed = qCompress(QByteArray(raw.data(), qsizetype(raw.size()))).mid(4);
    writeFileBytes(path,
        std::string("\x89PNG\r\n\x1a\n") + chunk("IHDR", header)
            + chunk("IDAT", compressed.toStdString()) + chunk("IEND", ""));
}

std::string pngWithoutPixels(std::uint32_t width, std::uint32_t height)
{
    const std::string header
        = bigEndian32(width) + bigEndian32(height) + std::string("\x08\x02\0\0\0", 5);
    const QByteArray firstRow = qCompress(QByteArray(1 + 3 * 16, '\0')).mid(4);
    return std::string("\x89PNG\r\n\x1a\n") + chunk("IHDR", header)
        + chunk("IDAT", firstRow.toStdString()) + chunk("IEND", "");
}

void writeFloatTiff(const std::string& path, int width, int height, const std::vector<float>& rgb)
{
    const auto little16 = [](std::uint32_t v) { return std::string {char(v), char(v >> 8)}; };
    const auto little32 = [&](std::uint32_t v) { return little16(v & 0xFFFF) + little16(v >> 16); };
    const std::string pixels(reinterpret_cast<const char*>(rgb.data()), rgb.size() * 4);
    const std::uint32_t pixelsAt = 8;
    const std::uint32_t bitsAt = pixelsAt + std::uint32_t(pixels.size());
    const std::uint32_t formatsAt = bitsAt + 6;
    const std::uint32_t directoryAt = formatsAt + 6;
    std::string entries;
    int count = 0;
    const auto entry = [&](int tag, int type, std::uint32_t values, std::uint32_t value) {
        entries += little16(std::uint32_t(tag)) + little16(std::uint32_t(type)) + little32(values)
            + (type == 3 && values == 1 ? little16(value) + little16(0) : little32(value));
        ++count;
    };
    entry(256, 3, 1, std::uint32_t(width));
    entry(257, 3, 1, std::uint32_t(height));
    entry(258, 3, 3, bitsAt); // 32 bits per sample
    entry(259, 3, 1, 1); // not compressed
    entry(262, 3, 1, 2); // RGB
    entry(273, 4, 1, pixelsAt);
    entry(277, 3, 1, 3); // samples per pixel
    entry(278, 3, 1, std::uint32_t(height)); // one strip
    entry(279, 4, 1, std::uint32_t(pixels.size()));
    entry(284, 3, 1, 1); // samples interleaved
    entry(339, 3, 3, formatsAt); // floating point samples
    writeFileBytes(path,
        std::string("II*\0", 4) + little32(directoryAt) + pixels + little16(32) + little16(32)
            + little16(32) + little16(3) + little16(3) + little16(3)
            + little16(std::uint32_t(count)) + entries + little32(0));
}

std::string grayGif(int width, int height, const std::vector<std::uint8_t>& gray)
{
    std::string gif = "GIF89a";
    auto put16 = [&gif](int value) {
        gif += char(value & 0xFF);
        gif += char(value >> 8 & 0xFF);
    };
    put16(width);
    put16(height);
    gif += char(0xF7); // a global colour table of 256 entries
    gif += char(0);
    gif += char(0);
    for (int level = 0; level < 256; ++level)
        gif.append(3, char(level));
    gif += char(0x2C);
    put16(0);
    put16(0);
    put16(width);
    put16(height);
    gif += char(0); // no local colour table, not interlaced
    gif += char(8); // minimum code size: codes start 9 bits wide
    std::string codes;
    std::uint32_t bits = 0;
    int bitCount = 0;
    auto putCode = [&](int code) {
        bits |= std::uint32_t(code) << bitCount;
        bitCount += 9;
        while (bitCount >= 8) {
            codes += char(bits & 0xFF);
            bits >>= 8;
            bitCount -= 8;
        }
    };
    constexpr int Clear = 256;
    constexpr int End = 257;
    // The table grows by one entry for each literal after the first; a clear code before it
    // reaches 512 keeps every code 9 bits wide.
    int sinceClear = 0;
    putCode(Clear);
    for (std::uint8_t level : gray) {
        if (sinceClear == 250) {
            putCode(Clear);
            sinceClear = 0;
        }
        putCode(level);
        ++sinceClear;
    }
    putCode(End);
    if (bitCount > 0)
        codes += char(bits & 0xFF);
    for (std::size_t start = 0; start < codes.size(); start += 255) {
        const std::size_t length = std::min<std::size_t>(255, codes.size() - start);
        gif += char(length);
        gif.append(codes, start, length);
    }
    gif += char(0);
    gif += char(0x3B);
    return gif;
}
