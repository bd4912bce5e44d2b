#pragma once

// A photograph as the host's document and back: the colour (gray, or red, green, blue) and the
// alpha plane interleaved pixel by pixel as the filter module reads them, 8-bit samples as they
// are and 16-bit ones in the host's 0..32768 range.

#include "hostSide/hostImage.h"
#include "pictureFiles/photoFile.h"

// Returns true without memory.
[[nodiscard]] bool documentOfPhoto(const Photo& photo, HostImage* document);

// The document's colour back into the photo's pixels. The alpha plane and the colour profile are
// the photo's own and stay as they were read: the filter sharpens colour only.
void takeDocumentColour(const HostImage& document, Photo* photo);
