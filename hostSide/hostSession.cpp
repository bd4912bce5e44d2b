#include "hostSide/hostSession.h"

#include "hostSide/hostMemory.h"

#include <algorithm>
#include <cstring>

namespace {

HostSession* activeSession = nullptr;

constexpr int MaxContinueCalls = 1000; // a module that never empties its rectangles is stopped
constexpr int32 HostMaxSpace = 1 << 30;

int16 imageModeOf(const HostImage& image)
{
    const bool gray = image.planes <= 2;
    if (image.depth == 16)
        return gray ? plugInModeGray16 : plugInModeRGB48;
    return gray ? plugInModeGrayScale : plugInModeRGBColor;
}

bool isEmpty(const VRect& rect)
{
    return rect.top >= rect.bottom || rect.left >= rect.right;
}

// The rectangles as the module set them: 32-bit ones when it said it uses them.
bool moduleUses32Bit(const HostSession& session)
{
    return session.record.bigDocumentData && session.bigDocument.PluginUsing32BitCoordinates;
}

VRect requested(const HostSession& session, const VRect& wide, const Rect& narrow)
{
    if (moduleUses32Bit(session))
        return wide;
    return {narrow.top, narrow.left, narrow.bottom, narrow.right};
}

// The rectangle clipped to the image, and the plane range clipped to the planes.
bool clipRequest(const HostImage& image, VRect* rect, int* lo, int* hi)
{
    rect->top = std::max(rect->top, 0);
    rect->left = std::max(rect->left, 0);
    rect->bottom = std::min(rect->bottom, image.height);
    rect->right = std::min(rect->right, image.width);
    *lo = std::max(*lo, 0);
    *hi = std::min(*hi, image.planes - 1);
    return !isEmpty(*rect) && *lo <= *hi;
}

int sampleBytes(const HostImage& image)
{
    return image.depth == 16 ? 2 : 1;
}

// Copies planes lo..hi of `rect` between the image and a packed buffer.
void copyRegion(HostImage* image, std::vector<std::uint8_t>* buffer, const VRect& rect, int lo,
    int hi, bool toImage)
{
    const int bytes = sampleBytes(*image);
    const int planes = hi - lo + 1;
    const int rowBytes = (rect.right - rect.left) * planes * bytes;
    if (!toImage)
        buffer->assign(std::size_t(rowBytes) * std::size_t(rect.bottom - rect.top), 0);
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            std::uint8_t* pixel = image->pixels.data() + std::size_t(y) * image->rowBytes
                + std::size_t(x * image->planes + lo) * bytes;
            std::uint8_t* packed = buffer->data() + std::size_t(y - rect.top) * rowBytes
                + std::size_t((x - rect.left) * planes) * bytes;
            if (toImage)
                std::memcpy(pixel, packed, std::size_t(planes * bytes));
            else
                std::memcpy(packed, pixel, std::size_t(planes * bytes));
        }
    }
}

// The module's pixels from the last request go into the document.
void commitOutput(HostSession* session)
{
    if (!isEmpty(session->outRect))
        copyRegion(session->image, &session->outBuffer, session->outRect, session->outLoPlane,
            session->outHiPlane, true);
    session->outRect = {};
}

void discardOutput(HostSession* session)
{
    session->outRect = {};
}

void setRequestBuffers(HostSession* session)
{
    FilterRecord& record = session->record;
    HostImage* image = session->image;
    VRect in = requested(*session, session->bigDocument.inRect32, record.inRect);
    int inLo = record.inLoPlane;
    int inHi = record.inHiPlane;
    record.inData = nullptr;
    if (clipRequest(*image, &in, &inLo, &inHi)) {
        copyRegion(image, &session->inBuffer, in, inLo, inHi, false);
        record.inData = session->inBuffer.data();
        record.inRowBytes = (in.right - in.left) * (inHi - inLo + 1) * sampleBytes(*image);
    }
    // The output buffer starts with the document's pixels, so samples the module does not
    // write keep their values.
    VRect out = requested(*session, session->bigDocument.outRect32, record.outRect);
    int outLo = record.outLoPlane;
    int outHi = record.outHiPlane;
    record.outData = nullptr;
    if (clipRequest(*image, &out, &outLo, &outHi)) {
        copyRegion(image, &session->outBuffer, out, outLo, outHi, false);
        record.outData = session->outBuffer.data();
        record.outRowBytes = (out.right - out.left) * (outHi - outLo + 1) * sampleBytes(*image);
        session->outRect = out;
        session->outLoPlane = outLo;
        session->outHiPlane = outHi;
    }
}

OSErr advanceState()
{
    HostSession* session = activeSession;
    if (!session)
        return errPlugInHostInsufficient;
    ++session->advanceCalls;
    commitOutput(session);
    setRequestBuffers(session);
    return noErr;
}

// RGB to the document's colour space: gray is the weighted sum of the three components.
OSErr colorServices(ColorServicesInfo* info)
{
    if (!info || info->infoSize < int32(sizeof(ColorServicesInfo))
        || info->selector != plugIncolorServicesConvertColor
        || info->sourceSpace != plugIncolorServicesRGBSpace)
        return errPlugInHostInsufficient;
    if (info->resultSpace == plugIncolorServicesRGBSpace)
        return noErr;
    if (info->resultSpace != plugIncolorServicesGraySpace)
        return errPlugInHostInsufficient;
    const int16* c = info->colorComponents;
    const int16 gray = int16((c[0] * 30 + c[1] * 59 + c[2] * 11) / 100);
    info->colorComponents[0] = gray;
    info->colorComponents[1] = gray;
    info->colorComponents[2] = gray;
    info->colorComponents[3] = 0;
    return noErr;
}

bool rectanglesEmpty(const HostSession& session)
{
    const FilterRecord& record = session.record;
    return isEmpty(requested(session, session.bigDocument.inRect32, record.inRect))
        && isEmpty(requested(session, session.bigDocument.outRect32, record.outRect))
        && isEmpty(requested(session, session.bigDocument.maskRect32, record.maskRect));
}

// A size for the 16-bit fields: a document too large for them is described as the largest they
// can hold, never as a wrapped value, and its true size goes in bigDocumentData.
int16 clamped16(int value)
{
    return int16(std::clamp(value, 0, 32767));
}

void prepareRecord(HostSession* session)
{
    FilterRecord& record = session->record;
    const HostImage& image = *session->image;
    const int16 height = clamped16(image.height);
    const int16 width = clamped16(image.width);
    record.imageSize = {height, width};
    record.planes = int16(image.planes);
    record.depth = int16(image.depth);
    record.imageMode = imageModeOf(image);
    record.filterRect = {0, 0, height, width};
    record.backColor[0] = 255;
    record.backColor[1] = 255;
    record.backColor[2] = 255;
    record.backColor[3] = 0;
    record.maxSpace = HostMaxSpace;
    // The module only asks whether there is a mask (it counts it in its memory estimate); the
    // stand-in has no mask pixels to give, so any non-null address says "there is a selection".
    static std::uint8_t selectionMarker = 0;
    record.maskData = session->selectionMask ? static_cast<void*>(&selectionMarker) : nullptr;
    record.advanceState = advanceState;
    record.handleProcs = &hostHandleProcs;
    record.colorServices = colorServices;
    record.platformData = &session->platform;
    record.sSPBasic = &hostBasicSuite;
    record.descriptorParameters = &session->descriptorParameters;
    session->bigDocument.imageSize32 = {image.height, image.width};
    session->bigDocument.filterRect32 = {0, 0, image.height, image.width};
    record.bigDocumentData = session->offerBigDocument ? &session->bigDocument : nullptr;
    session->descriptorParameters.readDescriptorProcs = &hostReadDescriptorProcs;
    session->descriptorParameters.writeDescriptorProcs = &hostWriteDescriptorProcs;
    session->aboutRecord = {&session->platform, &hostBasicSuite};
}

void disposeHandle(Handle* handle)
{
    if (*handle)
        hostHandleProcs.disposeProc(*handle);
    *handle = nullptr;
}

void giveScriptDescriptor(HostSession* session, const RunOptions& options)
{
    PIDescriptorParameters& parameters = session->descriptorParameters;
    disposeHandle(&parameters.descriptor);
    parameters.playInfo = plugInDialogDisplay;
    if (!options.scripted)
        return;
    HostDescriptor descriptor;
    putItem(
        &descriptor, {fourCharCode("Amnt"), typeUnitFloat, unitPercent, 0, options.percent, false});
    const DescriptorEnumID moods[]
        = {fourCharCode("moD0"), fourCharCode("moD1"), fourCharCode("moD2"), fourCharCode("moD3")};
    const int mood = options.disposition >= 0 && options.disposition <= 3 ? options.disposition : 1;
    putItem(&descriptor,
        {fourCharCode("disP"), typeEnumerated, fourCharCode("mooD"), moods[mood], 0.0, false});
    putItem(&descriptor, {fourCharCode("ignS"), typeBoolean, 0, 0, 0.0, options.ignoreSelection});
    parameters.descriptor = flattenDescriptor(descriptor);
    parameters.playInfo = options.playInfo;
}

} // namespace

void openSession(HostSession* session, PluginEntryProc entry, HostImage* image)
{
    session->entry = entry;
    session->image = image;
    loadDescriptorRegistry();
}

void closeSession(HostSession* session)
{
    disposeHandle(&session->record.parameters);
    Handle data = reinterpret_cast<Handle>(session->dataSlot);
    disposeHandle(&data);
    session->dataSlot = 0;
    disposeHandle(&session->descriptorParameters.descriptor);
}

int16 callSelector(HostSession* session, int16 selector)
{
    prepareRecord(session);
    HostSession* previous = activeSession;
    activeSession = session;
    int16 result = noErr;
    void* record = selector == filterSelectorAbout ? static_cast<void*>(&session->aboutRecord)
                                                   : static_cast<void*>(&session->record);
    session->entry(selector, record, &session->dataSlot, &result);
    activeSession = previous;
    return result;
}

int16 runFilter(HostSession* session, const RunOptions& options)
{
    // A host shows the About box and goes on whatever it answers.
    if (options.about)
        (void)callSelector(session, filterSelectorAbout);
    giveScriptDescriptor(session, options);
    session->outRect = {};
    session->advanceCalls = 0;
    if (!session->ranBefore || options.withOptions) {
        if (const int16 result = callSelector(session, filterSelectorParameters))
            return result;
    }
    if (const int16 result = callSelector(session, filterSelectorPrepare))
        return result;
    // The document as it was, for a run that fails after pixels were committed.
    const std::vector<std::uint8_t> original = session->image->pixels;
    int16 result = callSelector(session, filterSelectorStart);
    for (int calls = 0; result == noErr && !rectanglesEmpty(*session); ++calls) {
        if (calls == MaxContinueCalls) {
            result = errPlugInHostInsufficient;
            break;
        }
        activeSession = session; // the host fetches the next rectangles itself
        advanceState();
        activeSession = nullptr;
        result = callSelector(session, filterSelectorContinue);
    }
    if (result != noErr) {
        discardOutput(session);
        session->image->pixels = original;
        return result;
    }
    commitOutput(session);
    result = callSelector(session, filterSelectorFinish);
    session->recorded = unflattenDescriptor(session->descriptorParameters.descriptor);
    session->ranBefore = true;
    return result;
}
