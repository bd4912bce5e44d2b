#pragma once

// An image record that owns its block: released when the owner goes out of scope, so a function
// that allocates work images frees them on every path, early returns included. Moving hands the
// block over; copying is not allowed.

#include "image/imageBuffer.h"

struct OwnedImage {
    ImageBuffer image {};

    OwnedImage() = default;
    // Allocates; on failure `image.data` is null, as after allocateImage.
    OwnedImage(int width, int height, int channels, int bitsPerChannel)
    {
        (void)allocateImage(&image, width, height, channels, bitsPerChannel);
    }
    OwnedImage(OwnedImage&& other) noexcept
        : image(other.image)
    {
        resetImage(&other.image);
    }
    OwnedImage& operator=(OwnedImage&& other) noexcept
    {
        if (this != &other) {
            releaseImage(&image);
            image = other.image;
            resetImage(&other.image);
        }
        return *this;
    }
    OwnedImage(const OwnedImage&) = delete;
    OwnedImage& operator=(const OwnedImage&) = delete;
    ~OwnedImage() { releaseImage(&image); }

    ImageBuffer* get() { return &image; }
    const ImageBuffer* get() const { return &image; }
    ImageBuffer* operator->() { return &image; }
    const ImageBuffer* operator->() const { return &image; }
};
