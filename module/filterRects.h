#pragma once

// The document's size and the filter's rectangles in the host's records. When the host offers
// bigDocumentData and the module has announced that it uses it, every size and rectangle is read
// from and written to its 32-bit fields; otherwise the 16-bit fields of FilterRecord are used
// (written values are truncated to 16 bits, which documentSize keeps from happening). All
// functions work on the call's filterRecord.

#include "module/pluginCall.h"

// (top, left, bottom, right) in the host's order, widened to 32 bits.
struct HostRect {
    int top;
    int left;
    int bottom;
    int right;
};

struct HostSize {
    int width;
    int height;
};

bool usesBigDocument(PluginCall& call);

// Reads the document's size. Returns true when it cannot be known: a negative size, or, in the
// 16-bit fields, a width or height of 32767. A host clamps a size the 16-bit fields cannot hold to
// that value (one that wraps gives a negative one), so without bigDocumentData 32767 may stand for
// any larger size. Refusing it costs only documents of exactly 32767 pixels from hosts that offer
// no bigDocumentData, and such hosts keep documents well below that.
[[nodiscard]] bool documentSize(PluginCall& call, HostSize* size);
HostRect filterRectangle(PluginCall& call);
void setInRect(PluginCall& call, HostRect rect);
void setOutRect(PluginCall& call, HostRect rect);
void setMaskRect(PluginCall& call, HostRect rect);
