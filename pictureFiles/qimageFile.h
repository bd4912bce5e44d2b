#pragma once

// Picture files through Qt's image reader and writer, for every part that reads or writes a
// whole picture: the batch tool, the host stand-in, the point-spread-function import.
//
// Reading takes the file whole, refuses one that ends before its own structure says it should
// (some readers would fill the missing rows from stale memory), and refuses a picture whose
// pixels would not fit the memory available before any of them is decoded. Writing encodes in
// memory first, so a writer that hides its errors cannot leave a broken file behind.

#include <QImage>
#include <string>

enum class [[nodiscard]] PictureReadStatus {
    Read,
    Unreadable, // missing, not allowed, a folder, not a regular file
    NotAPicture, // no reader knows the format
    Truncated, // "the file is truncated"
    TooLarge, // more pixels than the memory available can hold
    Damaged, // the reader failed on the file's data
    OutOfMemory,
};

// The whole file at `path`. The reason says why it cannot be had.
[[nodiscard]] PictureReadStatus readPictureBytes(
    const std::string& path, std::string* bytes, std::string* reason);

// Decodes the picture in `bytes` (a file's contents) into `image`, turned upright by the file's
// orientation when `autoTransform` is set. On failure `image` is null and `reason` says why.
[[nodiscard]] PictureReadStatus decodePictureBytes(
    const std::string& bytes, QImage* image, std::string* reason, bool autoTransform);

// Both of the above. `bytes`, when given, keeps the file's contents for a look at its header.
[[nodiscard]] PictureReadStatus readPictureFile(const std::string& path, QImage* image,
    std::string* reason, bool autoTransform, std::string* bytes = nullptr);

// The most bytes of decoded pixels a picture may take: a third of the memory available (the
// pixels are held a few times over while a job runs), at least 256 MiB.
long long pictureMemoryBudget();

// Encodes `image` in `format` ("png", "tiff", "jpeg"; `quality` for JPEG, -1 for the default).
// Returns true with a reason when it cannot.
[[nodiscard]] bool encodePicture(
    const QImage& image, const char* format, int quality, QByteArray* bytes, std::string* reason);

// Encodes `image` (RGBA8888 or RGBA64 whose red, green and blue are equal) as gray with alpha,
// "png" or "tiff", which Qt's writers hold only as colour with alpha; `quality` as above.
[[nodiscard]] bool encodeGrayAlphaPicture(
    const QImage& image, const char* format, int quality, QByteArray* bytes, std::string* reason);
