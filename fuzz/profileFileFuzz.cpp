// Any bytes as a profile (INI) file: decoding, looking keys up and setting one.

#include "platform/profileFile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ProfileFile profile
        = parseProfileFile(std::string_view(reinterpret_cast<const char*>(data), size));
    (void)profileString(profile, u"General", u"Languages No", u"1", 1023);
    (void)profileString(profile, u"0", u"string41", u"", 4);
    setProfileString(&profile, u"Settings", u"Crashed Last Time", u"0");
    setProfileString(&profile, u"New Section", u"key", u"value");
    (void)profileString(profile, u"settings", u"crashed last time", u"", 1023);
    return 0;
}
