#pragma once

// Moving the whole image between the host and the Start's images, each direction in one
// advanceState request covering every pixel and every plane, interleaved.
//
// Host samples are 8-bit or 16-bit in the host's range 0..32768, colour planes in the order
// red, green, blue, optionally followed by a transparency plane; the mask image holds the
// transparency plane of a 2- or 4-plane host image. The transparency plane is never written
// back. Both functions return their result code; the selector stores it.

#include "image/ownedImage.h"
#include "module/hostInterface.h"
#include "module/pluginCall.h"

// The host image while Start runs.
struct StartImages {
    OwnedImage source; // 1 or 3 channels (blue, green, red), depth 8 or 16 (full range)
    OwnedImage mask; // the host's transparency plane when there is one, else empty
};

// Fills the images. On a host error, when memory runs out, when the document's
// size cannot be known (see documentSize), or when the host delivers planes, a depth or rows the
// module does not handle, nothing is kept: both records are empty and the error (memFullErr,
// filterBadMode) is returned.
[[nodiscard]] OSErr readSourceImage(PluginCall& call, StartImages* images);

// Sends `source` to the host. Asks the host for nothing when it is empty; writes nothing when
// the host refuses the request (its error is returned) or when `source` does not
// match the host image's size, planes and depth; memFullErr when the depth conversion runs out
// of memory.
[[nodiscard]] OSErr writeResultImage(PluginCall& call, ImageBuffer* source);
