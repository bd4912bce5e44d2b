#pragma once

// The pixels of the region the plug-in works on, as GIMP hands them over: the drawable's own
// components (Y', Y'A, R'G'B' or R'G'B'A) interleaved, 8 or 16 bits each, alpha last. The
// record is an ImageBuffer with `channels` = components; these functions give its colour to the
// engine or to the filter module and take the result back, never touching the alpha samples.

#include "hostSide/hostImage.h"
#include "image/ownedImage.h"

// The colour samples of the region as the engine takes them: 1 or 3 channels, blue, green, red,
// the region's depth and full range. Returns true without memory.
[[nodiscard]] bool engineColourOf(const ImageBuffer& region, bool alpha, OwnedImage* colour);

// The engine's colour back into the region's colour samples.
void putEngineColour(ImageBuffer* region, bool alpha, const ImageBuffer& colour);

// The region as the host's document: the same planes, 8-bit samples as they are, 16-bit ones in
// the host's 0..32768 range. Returns true without memory.
[[nodiscard]] bool hostImageOf(const ImageBuffer& region, HostImage* image);

// The document's colour planes back into the region's colour samples (16 bits from the host
// range, so a host level comes back as the value it was read from).
void putHostColour(ImageBuffer* region, bool alpha, const HostImage& image);
