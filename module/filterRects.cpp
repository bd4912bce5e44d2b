#include "module/filterRects.h"

#include "module/pluginCall.h"

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

bool usesBigDocument(PluginCall& call)
{
    const BigDocumentStruct* big = call.filterRecord->bigDocumentData;
    return big && big->PluginUsing32BitCoordinates;
}

bool documentSize(PluginCall& call, HostSize* size)
{
    const FilterRecord* record = call.filterRecord;
    if (usesBigDocument(call)) {
        const VPoint& big = record->bigDocumentData->imageSize32;
        *size = {big.h, big.v};
        return big.h < 0 || big.v < 0;
    }
    constexpr int Saturated = 32767;
    *size = {record->imageSize.h, record->imageSize.v};
    return size->width < 0 || size->height < 0 || size->width >= Saturated
        || size->height >= Saturated;
}

HostRect filterRectangle(PluginCall& call)
{
    const FilterRecord* record = call.filterRecord;
    if (usesBigDocument(call)) {
        const VRect& rect = record->bigDocumentData->filterRect32;
        return {rect.top, rect.left, rect.bottom, rect.right};
    }
    const Rect& rect = record->filterRect;
    return {rect.top, rect.left, rect.bottom, rect.right};
}

void setInRect(PluginCall& call, HostRect rect)
{
    if (usesBigDocument(call))
        call.filterRecord->bigDocumentData->inRect32 = wide(rect);
    else
        call.filterRecord->inRect = narrow(rect);
}

void setOutRect(PluginCall& call, HostRect rect)
{
    if (usesBigDocument(call))
        call.filterRecord->bigDocumentData->outRect32 = wide(rect);
    else
        call.filterRecord->outRect = narrow(rect);
}

void setMaskRect(PluginCall& call, HostRect rect)
{
    if (usesBigDocument(call))
        call.filterRecord->bigDocumentData->maskRect32 = wide(rect);
    else
        call.filterRecord->maskRect = narrow(rect);
}
