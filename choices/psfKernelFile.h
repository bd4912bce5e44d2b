#pragma once

// A point-spread function read from a picture file named on a command line or in a procedure's
// arguments, ready to go into DeblurChoices::psf.

#include "image/ownedImage.h"

#include <memory>
#include <string>

enum class PsfFileStatus {
    Read,
    NotSupported, // a refused pixel format
    Unreadable, // missing, truncated, damaged or of a layout the import does not take
    AllBlack, // no lit pixel: nothing to deconvolve with
};

// Reads `path` into `kernel` (one channel of floats summing to 1). On failure `reason` says why
// in plain words, naming the file.
PsfFileStatus readPsfKernelFile(
    const std::string& path, std::shared_ptr<const OwnedImage>* kernel, std::string* reason);
