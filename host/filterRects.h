#pragma once

// The filter's rectangles in the host's records. When the host offers bigDocumentData and the
// module has announced that it uses it, every rectangle is read from and written to its 32-bit
// fields; otherwise the 16-bit fields of FilterRecord are used (written values are truncated to
// 16 bits). All functions work on pluginCall.filterRecord.

// (top, left, bottom, right) in the host's order, widened to 32 bits.
struct HostRect {
    int top;
    int left;
    int bottom;
    int right;
};

bool usesBigDocument();
HostRect filterRectangle();
void setInRect(HostRect rect);
void setOutRect(HostRect rect);
void setMaskRect(HostRect rect);
