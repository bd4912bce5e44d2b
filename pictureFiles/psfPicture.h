#pragma once

// Picture files decoded into rows of one of the decoder pixel formats that the point-spread-
// function import distinguishes (see "image/pictureFormats.h"), through Qt's image reader. Where
// the reader hides a distinction the import needs (1- and 4-bit pictures, 48-bit colour), the
// file's own header decides.

#include "image/pictureFormats.h"

#include <cstdint>
#include <string>
#include <vector>

struct DecodedPicture {
    std::uint32_t format = PixelFormatUndefined;
    int width = 0;
    int height = 0;
    int pitch = 0;
    std::vector<std::uint8_t> pixels; // empty for a refused format
    std::vector<std::uint32_t> palette; // ARGB entries of an 8-bit indexed picture

    PixelRows rows() const;
};

// Decodes `path`. Returns true with a reason in plain words when the file cannot be read or
// decoded. A refused format decodes successfully into its code without pixels.
[[nodiscard]] bool decodePicture(
    const std::string& path, DecodedPicture* picture, std::string* reason);

// The same for a file's contents already in memory.
[[nodiscard]] bool decodePictureData(
    const std::string& bytes, DecodedPicture* picture, std::string* reason);

enum class [[nodiscard]] PsfPictureStatus {
    Loaded,
    NotSupported, // a refused pixel format: the "not supported" message
    Unreadable, // the file cannot be decoded, or its pixel layout is not one the import takes
};

// Reads a picture for use as a point-spread function into `target`: 8- or 16-bit samples of 1
// or 3 channels. On any failure `target` keeps its contents and `reason` says why.
PsfPictureStatus readPsfPicture(const std::string& path, ImageBuffer* target, std::string* reason);
