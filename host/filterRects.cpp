#include "host/filterRects.h"

#include "host/pluginCall.h"

namespace {

Rect narrow(HostRect rect)
{
    return {int16(rect.top), int16(rect.left), int16(rect.bottom), int16(rect.right)};
}

VRect wide(HostRect rect)
{
    return {rect.top, rect.left, rect.bottom, rect.right};
}

} // namespace

bool usesBigDocument()
{
    const BigDocumentStruct* big = pluginCall.filterRecord->bigDocumentData;
    return big && big->PluginUsing32BitCoordinates;
}

bool documentSize(HostSize* size)
{
    const FilterRecord* record = pluginCall.filterRecord;
    if (usesBigDocument()) {
        const VPoint& big = record->bigDocumentData->imageSize32;
        *size = {big.h, big.v};
        return big.h < 0 || big.v < 0;
    }
    constexpr int Saturated = 32767;
    *size = {record->imageSize.h, record->imageSize.v};
    return size->width < 0 || size->height < 0 || size->width >= Saturated
        || size->height >= Saturated;
}

HostRect filterRectangle()
{
    const FilterRecord* record = pluginCall.filterRecord;
    if (usesBigDocument()) {
        const VRect& rect = record->bigDocumentData->filterRect32;
        return {rect.top, rect.left, rect.bottom, rect.right};
    }
    const Rect& rect = record->filterRect;
    return {rect.top, rect.left, rect.bottom, rect.right};
}

void setInRect(HostRect rect)
{
    if (usesBigDocument())
        pluginCall.filterRecord->bigDocumentData->inRect32 = wide(rect);
    else
        pluginCall.filterRecord->inRect = narrow(rect);
}

void setOutRect(HostRect rect)
{
    if (usesBigDocument())
        pluginCall.filterRecord->bigDocumentData->outRect32 = wide(rect);
    else
        pluginCall.filterRecord->outRect = narrow(rect);
}

void setMaskRect(HostRect rect)
{
    if (usesBigDocument())
        pluginCall.filterRecord->bigDocumentData->maskRect32 = wide(rect);
    else
        pluginCall.filterRecord->maskRect = narrow(rect);
}
