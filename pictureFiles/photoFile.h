#pragma once

// Photographs in and out of files: the pixels as an image record (8 or 16 bits, 1 or 3 channels,
// blue, green, red), the alpha plane kept aside untouched, and the colour profile.

#include "image/ownedImage.h"

#include <string>

struct Photo {
    OwnedImage pixels;
    OwnedImage alpha; // one channel of the pixels' depth; no data when the picture has none
    std::string iccProfile; // empty when the file names none
};

// Silences the picture libraries' own remarks (the PNG library's about colour profiles are
// common and harmless in camera files), which would interleave with the tool's output.
void quietPictureLibraries();

enum class [[nodiscard]] PhotoReadStatus {
    Read,
    BadFile, // missing, unreadable, not a picture, truncated, damaged or too large
    OutOfMemory,
};

// Reads a PNG, TIFF, JPEG or BMP file (or any other picture Qt reads). On failure the photo is
// empty and `reason` says why.
[[nodiscard]] PhotoReadStatus readPhoto(const std::string& path, Photo* photo, std::string* reason);

// Is `path`'s extension one the tool writes (.png, .tif, .tiff, .jpg, .jpeg, .bmp)?
bool isWritablePhotoPath(const std::string& path);
inline constexpr const char* UnwritablePathReason
    = "the output must end in .png, .tif, .tiff, .jpg, .jpeg or .bmp";

// Where the sharpened copy of `input` goes in `folder`: NAME + suffix + the input's extension,
// or .png when the input's format is read but not written (GIF).
std::string outputPhotoPath(
    const std::string& input, const std::string& folder, const std::string& suffix);

enum class [[nodiscard]] PhotoWriteStatus {Written, Failed, Cancelled};

// Writes pixels (and an alpha plane of their size and depth, when it has data) with a colour
// profile in the format of the path's extension, through a temporary file beside it that
// replaces `path` only once every byte is on the disk. `cancelled`, when given, is asked just
// before that replacement. On failure or cancellation `path` is untouched; a failure's reason
// says what happened ("the disk is full", ...).
[[nodiscard]] PhotoWriteStatus writePhoto(const std::string& path, const ImageBuffer& pixels,
    const ImageBuffer& alpha, const std::string& iccProfile, std::string* reason,
    bool (*cancelled)() = nullptr);
