// The property list by which the host finds, names, files and enables the filter, built at
// compile time in the host's Windows resource layout: a 16-bit 1, a 32-bit 0, the property
// count, then each property as vendor, key, id 0, padded length and data padded with zeros to a
// multiple of 4. Codes are stored as little-endian 32-bit values ("8BIM" as "MIB8").

#include "module/pluginMain.h"

#include <string_view>

namespace {

constexpr std::string_view enableExpression
    = "in (PSHOP_ImageMode, RGBMode, GrayScaleMode, Gray16Mode, RGB48Mode) "
      "&&(PSHOP_ImageDepth == 8 || PSHOP_ImageDepth == 16) "
      "&&(PSHOP_NumTrueChannels == 3 || PSHOP_NumTrueChannels == 1)";

struct Writer {
    PluginPropertyList list {};
    std::size_t size = 0;

    constexpr void byte(std::uint32_t value) { list.bytes[size++] = std::uint8_t(value); }
    constexpr void int16(std::uint32_t value)
    {
        byte(value);
        byte(value >> 8);
    }
    constexpr void int32(std::uint32_t value)
    {
        int16(value);
        int16(value >> 16);
    }
    constexpr void code(const char (&text)[5]) { int32(fourCharCode(text)); }
    constexpr void text(std::string_view value)
    {
        for (char c : value)
            byte(std::uint8_t(c));
    }
    constexpr void pascalString(std::string_view value)
    {
        byte(std::uint32_t(value.size()));
        text(value);
    }
    // Starts a property whose data, padded, take `length` bytes; returns where the data end.
    constexpr std::size_t property(const char (&key)[5], std::uint32_t length)
    {
        code("8BIM");
        code(key);
        int32(0);
        int32(length);
        return size + length;
    }
    constexpr void padTo(std::size_t end)
    {
        while (size < end)
            byte(0);
    }
};

constexpr std::uint32_t paddedLength(std::size_t length)
{
    return std::uint32_t((length + 3) / 4 * 4);
}

constexpr Writer buildPropertyList()
{
    Writer w;
    w.int16(1);
    w.int32(0);
    w.int32(11);

    std::size_t end = w.property("kind", 4);
    w.code("8BFM");
    end = w.property("name", 20);
    w.pascalString("Morvanclarity...");
    w.padTo(end);
    end = w.property("catg", 12);
    w.pascalString("Tarnwick");
    w.padTo(end);
    w.property("vers", 4);
    w.int32(0x00040000);
    end = w.property("wx86", 12);
    w.text("PluginMain");
    w.padTo(end);
    w.property("mode", 4);
    w.int32(0x10); // RGB only among the supported-mode flags
    end = w.property("hstm", 56);
    w.int32(0);
    w.code("MRVC");
    w.code("MRVC");
    w.int16(16000);
    w.text("4f1c2a90-6b3e-11e0-8d15-0800200c7e21");
    w.padTo(end);
    end = w.property("enbl", paddedLength(enableExpression.size() + 1));
    w.text(enableExpression);
    w.padTo(end);
    w.property("ms32", 8);
    w.int32(10000);
    w.int32(10000);
    w.property("mn32", 8);
    w.int32(256);
    w.int32(256);
    w.property("fici", 28);
    // Seven filter cases: straight data in and out, writes outside the selection.
    for (int filterCase = 0; filterCase < 7; ++filterCase) {
        w.byte(1);
        w.byte(1);
        w.byte(0x08);
        w.byte(0);
    }
    return w;
}

constexpr Writer built = buildPropertyList();
static_assert(built.size == PluginPropertyListSize, "the host expects exactly this size");

} // namespace

extern "C" {
const std::int32_t pluginInterfaceVersion = PluginInterfaceVersion;
constinit const PluginPropertyList pluginPropertyList = built.list;
}
