#include "locale/localisedStrings.h"

#include "platform/profileFile.h"

#include <array>

namespace {

struct EnglishText {
    int key;
    std::u16string_view text;
};

// Only these keys are read from the language file.
constexpr EnglishText EnglishTexts[] = {
    {1, u"Press Ctrl+O to open an image"},
    {2,
        u"The application crashed last time. It's probably caused by low memory. Please try to "
        u"crop the image a deblur the image again."},
    {3, u"Warning"},
    {4, u"File"},
    {5, u"Deblur"},
    {6, u"Help"},
    {7, u"Open..."},
    {8, u"Save As..."},
    {9, u"Close"},
    {10, u"Options..."},
    {11, u"Exit"},
    {12, u"Out of Focus Correction..."},
    {13, u"Fast Out of Focus Correction..."},
    {14, u"Motion Correction..."},
    {15, u"Fast Motion Correction..."},
    {16, u"Help Contents"},
    {20, u"About..."},
    {21, u"Opened image was signed but not saved, do you want to continue without saving?"},
    {22,
        u"Click and drag to move image, Double click to zoom to best fit, Use mouse wheel to "
        u"zoom"},
    {23, u"Open Image (Ctrl+O)"},
    {24, u"Save Image As (Ctrl+S)"},
    {25, u"Zoom In (+)"},
    {26, u"Zoom Out (-)"},
    {27, u"Zoom Image to Fit the Window"},
    {28, u"Set Zoom 100%"},
    {29, u"Set Zoom"},
    {30, u"Out of Focus Correction"},
    {31, u"Fast Out of Focus Correction"},
    {32, u"Motion Correction"},
    {33, u"Fast Motion Correction"},
    {38, u"Report"},
    {41, u"Image format not supported!"},
    {42, u"About"},
    {43, u"Select Language:"},
    {44, u"Options"},
    {45, u"OK"},
    {46, u"Cancel"},
    {47, u"You have to restart application to affect the language change"},
    {48, u"Jpeg Quality:"},
    {49, u"Open"},
    {53, u"Enhance Detail Level:"},
    {54, u"Low"},
    {55, u"Medium"},
    {56, u"High"},
    {57, u"Noise Level:"},
    {58, u"Insert points to mark one movement line with Ctrl key and mouse left button"},
    {59, u"Motion correction"},
    {60, u"Duplicate"},
    {61, u"Delete"},
    {62, u"Motion Correction"},
    {63, u"Out of Focus Correction"},
    {64, u"Set the number of iterations"},
    {65, u"More iterations causes more sharp image"},
    {66, u"<< Back"},
    {67, u"Deblur >>"},
    {68, u"Abort"},
    {69, u"Set energy level:"},
    {70, u"Cannot generate deconvolution kernel!"},
    {71, u"Set deblurring power:"},
    {73, u"Preview"},
    {75, u"Set level of details:"},
    {76, u"Clear"},
    {77, u"Noisy"},
    {78, u"Basic"},
    {79, u"Progressive"},
    {80, u"Smoothing"},
    {81, u"Global"},
    {82, u"Cannot use this kind of deconvolution on such a large image! Try 64 bits application."},
    {83, u"Cannot use this kind of deconvolution on such a large image! Try to crop the image."},
    {84, u"Deblurring method:"},
    {85, u"Deblurring power:"},
    {86, u"Noise Level:"},
    {87, u"Import my own PSF"},
    {88, u"Auto"},
    {89, u"Estimate the level of details from the photo"},
    {90, u"Estimate the camera-shake line from the photo"},
    {91, u"Estimated level of details: %1 (confidence %2%)"},
    {92, u"Estimated camera shake: %1 pixels at %2\u00b0 (confidence %3%)"},
    {93, u"The blur could not be estimated with confidence; the default is used."},
    {94, u"The image must be at least 50 x 50 pixels to be deblurred."},
    {95, u"The PSF is too large for this image: use a smaller PSF or a shorter motion line."},
};

using StringTable = std::array<std::u16string, LastStringKey + 1>;

StringTable& stringTable()
{
    static StringTable table = [] {
        StringTable english;
        for (const EnglishText& entry : EnglishTexts)
            english[std::size_t(entry.key)] = entry.text;
        return english;
    }();
    return table;
}

std::u16string keyName(int key)
{
    const std::string name = "string" + std::to_string(key);
    return std::u16string(name.begin(), name.end());
}

std::u16string languageSection(int language)
{
    const std::string name = std::to_string(language);
    return std::u16string(name.begin(), name.end());
}

void readString(const ProfileFile& profile, std::u16string_view section, int key)
{
    stringTable()[std::size_t(key)]
        = profileString(profile, section, keyName(key), englishString(key), MaxTextLength);
}

} // namespace

void loadStrings(int language, const LocalePaths& paths)
{
    const ProfileFile profile = readProfileFile(paths.languageFile);
    const std::u16string section = languageSection(language);
    for (const EnglishText& entry : EnglishTexts)
        readString(profile, section, entry.key);
}

void reloadStrings(std::initializer_list<int> keys, int language, const LocalePaths& paths)
{
    const ProfileFile profile = readProfileFile(paths.languageFile);
    const std::u16string section = languageSection(language);
    for (int key : keys) {
        if (!englishString(key).empty())
            readString(profile, section, key);
    }
}

const std::u16string& localisedString(int key)
{
    static const std::u16string none;
    if (key < FirstStringKey || key > LastStringKey)
        return none;
    return stringTable()[std::size_t(key)];
}

std::u16string_view englishString(int key)
{
    for (const EnglishText& entry : EnglishTexts) {
        if (entry.key == key)
            return entry.text;
    }
    return {};
}
