#include "tests/tools/pngWriter.h"

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
