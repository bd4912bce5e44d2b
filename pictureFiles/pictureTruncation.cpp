#include "pictureFiles/pictureTruncation.h"

#include <cstdint>

namespace {

using Bytes = std::string_view;

std::uint32_t byteAt(Bytes file, std::uint64_t offset)
{
    return std::uint8_t(file[std::size_t(offset)]);
}

std::uint32_t bigEndian16(Bytes file, std::uint64_t offset)
{
    return byteAt(file, offset) << 8 | byteAt(file, offset + 1);
}

std::uint32_t bigEndian32(Bytes file, std::uint64_t offset)
{
    return bigEndian16(file, offset) << 16 | bigEndian16(file, offset + 2);
}

std::uint32_t littleEndian16(Bytes file, std::uint64_t offset)
{
    return byteAt(file, offset) | byteAt(file, offset + 1) << 8;
}

std::uint32_t littleEndian32(Bytes file, std::uint64_t offset)
{
    return littleEndian16(file, offset) | littleEndian16(file, offset + 2) << 16;
}

// Chunks of length, type, data and checksum follow the signature up to the IEND chunk.
bool pngEndsEarly(Bytes file)
{
    std::uint64_t offset = 8;
    while (offset + 8 <= file.size()) {
        const std::uint64_t length = bigEndian32(file, offset);
        const Bytes type = file.substr(std::size_t(offset) + 4, 4);
        offset += 12 + length;
        if (offset > file.size())
            return true;
        if (type == "IEND")
            return false;
    }
    return true;
}

// Markers with a length run up to the start of scan; the entropy-coded data after it ends at
// the next marker that is neither a stuffed 0xFF00 nor a restart marker. The file ends early
// when no end-of-image marker is reached.
bool jpegEndsEarly(Bytes file)
{
    std::uint64_t offset = 2;
    while (offset + 2 <= file.size()) {
        if (byteAt(file, offset) != 0xFF)
            return false; // not a marker: damaged rather than short, left to the reader
        const std::uint32_t marker = byteAt(file, offset + 1);
        if (marker == 0xFF) { // fill byte
            ++offset;
            continue;
        }
        if (marker == 0xD9)
            return false;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            offset += 2;
            continue;
        }
        if (offset + 4 > file.size())
            return true;
        offset += 2 + bigEndian16(file, offset + 2);
        if (marker != 0xDA)
            continue;
        while (true) {
            if (offset + 2 > file.size())
                return true;
            const std::uint32_t next = byteAt(file, offset + 1);
            if (byteAt(file, offset) == 0xFF && next != 0x00 && next != 0xFF
                && !(next >= 0xD0 && next <= 0xD7))
                break;
            ++offset;
        }
    }
    return true;
}

// The pixel rows start at the offset in the file header; uncompressed rows are padded to four
// bytes, compressed ones take the size the header gives.
bool bmpEndsEarly(Bytes file)
{
    if (file.size() < 18)
        return true;
    const std::uint64_t pixelsAt = littleEndian32(file, 10);
    const std::uint64_t headerSize = littleEndian32(file, 14);
    if (14 + headerSize > file.size() || pixelsAt > file.size())
        return true;
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    std::uint32_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint64_t imageSize = 0;
    if (headerSize == 12) { // the old OS/2 header
        width = littleEndian16(file, 18);
        height = littleEndian16(file, 20);
        bitCount = littleEndian16(file, 24);
    } else if (headerSize >= 40) {
        const std::int32_t signedWidth = std::int32_t(littleEndian32(file, 18));
        width = std::uint64_t(signedWidth < 0 ? 0 : signedWidth);
        const std::int32_t signedHeight = std::int32_t(littleEndian32(file, 22));
        height = std::uint64_t(signedHeight < 0 ? -std::int64_t(signedHeight) : signedHeight);
        bitCount = littleEndian16(file, 28);
        compression = littleEndian32(file, 30);
        imageSize = littleEndian32(file, 34);
    } else {
        return false; // an unknown header: the reader decides
    }
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6;
    const std::uint64_t available = file.size() - pixelsAt;
    if (!uncompressed)
        return imageSize > available;
    const std::uint64_t rowBytes = (width * bitCount + 31) / 32 * 4;
    return rowBytes > 0 && height > available / rowBytes;
}

// Bytes of one value of a TIFF field type; unknown types count as bytes.
std::uint64_t tiffTypeBytes(std::uint32_t type)
{
    switch (type) {
    case 3: // short
    case 8: // signed short
        return 2;
    case 4: // long
    case 9: // signed long
    case 11: // float
    case 13: // directory offset
        return 4;
    case 5: // rational
    case 10: // signed rational
    case 12: // double
        return 8;
    default:
        return 1;
    }
}

// The first image's directory, the values it points to and the strips or tiles it points to must
// lie within the file.
bool tiffEndsEarly(Bytes file)
{
    if (file.size() < 8)
        return true;
    const bool little = file.substr(0, 2) == "II";
    const auto read16 = [&](std::uint64_t at) {
        return little ? littleEndian16(file, at) : bigEndian16(file, at);
    };
    const auto read32 = [&](std::uint64_t at) {
        return little ? littleEndian32(file, at) : bigEndian32(file, at);
    };
    if (read16(2) != 42)
        return false; // BigTIFF and others: the reader decides
    const std::uint64_t directory = read32(4);
    if (directory + 2 > file.size())
        return true;
    const std::uint64_t entries = read16(directory);
    if (directory + 2 + entries * 12 + 4 > file.size()) // the entries and the next's offset
        return true;

    struct Array {
        std::uint64_t count = 0;
        std::uint64_t at = 0; // where the values are
        std::uint32_t width = 0; // bytes per value: 2 or 4
    };
    Array offsets;
    Array counts;
    for (std::uint64_t i = 0; i < entries; ++i) {
        const std::uint64_t entry = directory + 2 + i * 12;
        const std::uint32_t tag = read16(entry);
        const std::uint32_t type = read16(entry + 2);
        const std::uint64_t count = read32(entry + 4);
        // Values longer than four bytes lie elsewhere in the file.
        const std::uint64_t valueBytes = count * tiffTypeBytes(type);
        if (valueBytes > 4 && read32(entry + 8) + valueBytes > file.size())
            return true;
        Array array {count, 0, type == 3 ? 2u : type == 4 ? 4u : 0u};
        if (array.width == 0)
            continue;
        array.at = array.count * array.width <= 4 ? entry + 8 : read32(entry + 8);
        if (tag == 273 || tag == 324) // strip or tile offsets
            offsets = array;
        else if (tag == 279 || tag == 325) // strip or tile byte counts
            counts = array;
    }
    if (offsets.count == 0 || offsets.count != counts.count)
        return false;
    if (offsets.at + offsets.count * offsets.width > file.size()
        || counts.at + counts.count * counts.width > file.size())
        return true;
    const auto value = [&](const Array& array, std::uint64_t i) -> std::uint64_t {
        return array.width == 2 ? read16(array.at + 2 * i) : read32(array.at + 4 * i);
    };
    for (std::uint64_t i = 0; i < offsets.count; ++i) {
        if (value(offsets, i) + value(counts, i) > file.size())
            return true;
    }
    return false;
}

// Runs of sub-blocks (a length byte and that many bytes) end with a zero length; returns the
// offset after the terminator, or past the end when the file stops first.
std::uint64_t skipSubBlocks(Bytes file, std::uint64_t offset)
{
    while (offset < file.size()) {
        const std::uint32_t length = byteAt(file, offset);
        offset += 1 + length;
        if (length == 0)
            return offset;
    }
    return file.size() + 1;
}

// The logical screen (with its colour table), then extensions and images, each a run of
// sub-blocks, up to the trailer byte 0x3B.
bool gifEndsEarly(Bytes file)
{
    if (file.size() < 13)
        return true;
    std::uint64_t offset = 13;
    const std::uint32_t screenFlags = byteAt(file, 10);
    if (screenFlags & 0x80)
        offset += 3ULL << ((screenFlags & 7) + 1);
    while (offset < file.size()) {
        const std::uint32_t block = byteAt(file, offset);
        if (block == 0x3B)
            return false;
        if (block == 0x21) { // extension: a label, then sub-blocks
            offset = skipSubBlocks(file, offset + 2);
        } else if (block == 0x2C) { // image: descriptor, local colour table, code size, data
            if (offset + 10 > file.size())
                return true;
            const std::uint32_t imageFlags = byteAt(file, offset + 9);
            offset += 10;
            if (imageFlags & 0x80)
                offset += 3ULL << ((imageFlags & 7) + 1);
            offset = skipSubBlocks(file, offset + 1);
        } else {
            return false; // damaged rather than cut short: the reader reports it
        }
    }
    return true;
}

} // namespace

bool pictureEndsEarly(std::string_view file)
{
    if (file.substr(0, 8) == "\x89PNG\r\n\x1a\n")
        return pngEndsEarly(file);
    if (file.substr(0, 3) == "\xFF\xD8\xFF")
        return jpegEndsEarly(file);
    if (file.substr(0, 2) == "BM")
        return bmpEndsEarly(file);
    if (file.substr(0, 6) == "GIF87a" || file.substr(0, 6) == "GIF89a")
        return gifEndsEarly(file);
    const std::string_view tiffSignatures[] = {{"II*\0", 4}, {"MM\0*", 4}};
    if (file.substr(0, 4) == tiffSignatures[0] || file.substr(0, 4) == tiffSignatures[1])
        return tiffEndsEarly(file);
    return false;
}
