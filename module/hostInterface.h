#pragma once

// The host image editor's filter plug-in interface, as this module and the host stand-in use it:
// the records, callbacks, suites, constants and result codes, under the names of the host's
// plug-in kit. Only what the module reads or writes is declared; the host keeps everything else
// to itself. Both sides are compiled from this header, so the layout is the one of this build.
//
// Rectangles are (top, left, bottom, right) with bottom and right exclusive; 4-character codes
// are 32-bit values with the first character in the highest byte ('8BIM' is 0x3842494D).

#include <cstdint>

using int16 = std::int16_t;
using int32 = std::int32_t;
using uint32 = std::uint32_t;
using Boolean = std::uint8_t;
using OSErr = std::int16_t;
using SPErr = std::int32_t;
using Fixed = std::int32_t; // 16.16 fixed point
using Ptr = char*;
using Handle = char**; // points at the master pointer of a host memory block
using FourCharCode = std::uint32_t;

constexpr FourCharCode fourCharCode(const char (&code)[5])
{
    return (FourCharCode(std::uint8_t(code[0])) << 24) | (FourCharCode(std::uint8_t(code[1])) << 16)
        | (FourCharCode(std::uint8_t(code[2])) << 8) | FourCharCode(std::uint8_t(code[3]));
}

// Selectors of PluginMain.
constexpr int16 filterSelectorAbout = 0;
constexpr int16 filterSelectorParameters = 1;
constexpr int16 filterSelectorPrepare = 2;
constexpr int16 filterSelectorStart = 3;
constexpr int16 filterSelectorContinue = 4;
constexpr int16 filterSelectorFinish = 5;

// Result codes.
constexpr OSErr noErr = 0;
constexpr OSErr userCanceledErr = -128;
constexpr OSErr memFullErr = -108;
constexpr OSErr filterBadParameters = -30100; // a handle the module needs is missing
constexpr OSErr filterBadMode = -30101; // the image's planes or depth are not handled
constexpr OSErr errPlugInHostInsufficient = -30900; // the host lacks a suite the module needs
constexpr SPErr kSPNoError = 0;
// The suites' own "no such suite" answer shares the host-insufficient code, so that a module
// passing it on as its result says the same thing.
constexpr SPErr kSPSuiteNotFoundError = errPlugInHostInsufficient;

struct Point {
    int16 v;
    int16 h;
};

struct Rect {
    int16 top;
    int16 left;
    int16 bottom;
    int16 right;
};

struct VPoint {
    int32 v;
    int32 h;
};

struct VRect {
    int32 top;
    int32 left;
    int32 bottom;
    int32 right;
};

using FilterColor = std::uint8_t[4];

// Host memory blocks. A handle must be locked before its contents are touched; lockProc returns
// the contents' address (null on failure) and stays valid until the matching unlockProc.
using NewPIHandleProc = Handle (*)(int32 size);
using DisposePIHandleProc = void (*)(Handle handle);
using LockPIHandleProc = Ptr (*)(Handle handle, Boolean moveHigh);
using UnlockPIHandleProc = void (*)(Handle handle);

struct HandleProcs {
    NewPIHandleProc newProc;
    DisposePIHandleProc disposeProc;
    LockPIHandleProc lockProc;
    UnlockPIHandleProc unlockProc;
};

// Colour conversion by the host.
constexpr int16 plugIncolorServicesConvertColor = 1;
constexpr int16 plugIncolorServicesChosenSpace = -1;
constexpr int16 plugIncolorServicesRGBSpace = 0;
constexpr int16 plugIncolorServicesHSBSpace = 1;
constexpr int16 plugIncolorServicesCMYKSpace = 2;
constexpr int16 plugIncolorServicesLabSpace = 3;
constexpr int16 plugIncolorServicesGraySpace = 4;
constexpr int16 plugIncolorServicesHSLSpace = 5;

struct ColorServicesInfo {
    int32 infoSize; // sizeof(ColorServicesInfo): 36 in a 32-bit build
    int16 selector;
    int16 sourceSpace;
    int16 resultSpace;
    Boolean resultGamutInfoValid;
    Boolean resultInGamut;
    void* reservedSourceSpaceInfo;
    void* reservedResultSpaceInfo;
    int16 colorComponents[4];
    void* reserved;
    union {
        void* pickerPrompt;
        Point* globalSamplePoint;
        int32 specialColorID;
    } selectorParameter;
};

using ColorServicesProc = OSErr (*)(ColorServicesInfo* info);
using AdvanceStateProc = OSErr (*)();

// Image modes of FilterRecord::imageMode.
constexpr int16 plugInModeGrayScale = 1;
constexpr int16 plugInModeRGBColor = 3;
constexpr int16 plugInModeGray16 = 10;
constexpr int16 plugInModeRGB48 = 11;

// Scripting: descriptors, the keys and types inside them, and the host's procedures to read and
// write them during a filter run.
using DescriptorKeyID = uint32;
using DescriptorTypeID = uint32;
using DescriptorUnitID = uint32;
using DescriptorEnumTypeID = uint32;
using DescriptorEnumID = uint32;
using DescriptorKeyIDArray = DescriptorKeyID*; // ends with NULLID
using PIDescriptorHandle = Handle;
using PIReadDescriptor = void*;
using PIWriteDescriptor = void*;

constexpr DescriptorKeyID NULLID = 0;
constexpr DescriptorTypeID typeUnitFloat = fourCharCode("UntF");
constexpr DescriptorTypeID typeEnumerated = fourCharCode("enum");
constexpr DescriptorTypeID typeBoolean = fourCharCode("bool");
constexpr DescriptorUnitID unitPercent = fourCharCode("#Prc");

// PIDescriptorParameters::playInfo and ::recordInfo.
constexpr int16 plugInDialogDontDisplay = 0;
constexpr int16 plugInDialogDisplay = 1;
constexpr int16 plugInDialogSilent = 2;
constexpr int16 plugInDialogOptional = 0;

struct ReadDescriptorProcs {
    PIReadDescriptor (*openReadDescriptorProc)(PIDescriptorHandle, DescriptorKeyIDArray);
    OSErr (*closeReadDescriptorProc)(PIReadDescriptor);
    // True while a key is left: stores its id, its type and its flags.
    Boolean (*getKeyProc)(PIReadDescriptor, DescriptorKeyID*, DescriptorTypeID*, int32*);
    OSErr (*getUnitFloatProc)(PIReadDescriptor, DescriptorUnitID*, double*);
    OSErr (*getEnumeratedProc)(PIReadDescriptor, DescriptorEnumID*);
    OSErr (*getBooleanProc)(PIReadDescriptor, Boolean*);
};

struct WriteDescriptorProcs {
    PIWriteDescriptor (*openWriteDescriptorProc)();
    OSErr (*closeWriteDescriptorProc)(PIWriteDescriptor, PIDescriptorHandle*);
    OSErr (*putUnitFloatProc)(PIWriteDescriptor, DescriptorKeyID, DescriptorUnitID, double*);
    OSErr (*putEnumeratedProc)(
        PIWriteDescriptor, DescriptorKeyID, DescriptorTypeID, DescriptorEnumID);
    OSErr (*putBooleanProc)(PIWriteDescriptor, DescriptorKeyID, Boolean);
};

struct PIDescriptorParameters {
    int16 descriptorParametersVersion;
    int16 playInfo;
    int16 recordInfo;
    PIDescriptorHandle descriptor; // null when the run is not scripted
    WriteDescriptorProcs* writeDescriptorProcs;
    ReadDescriptorProcs* readDescriptorProcs;
};

// The host's suite directory.
struct SPBasicSuite {
    SPErr (*AcquireSuite)(const char* name, int32 version, const void** suite);
    SPErr (*ReleaseSuite)(const char* name, int32 version);
};

// Action descriptors held by the host, addressed through the action descriptor suite.
using PIActionDescriptor = struct ActionDescriptorTag*;

constexpr const char* kPSDescriptorRegistrySuite = "61e608b0-40fd-11d1-8da3-00c04fd5f7ee";
constexpr int32 kPSDescriptorRegistrySuiteVersion = 1;
constexpr const char* kPSActionDescriptorSuite = "df135115-c769-11d0-8079-00c04fd7ec47";
constexpr int32 kPSActionDescriptorSuiteVersion = 3;
constexpr const char* kPSGetFileListSuite = "Photoshop GetFileList Suite for Plug-ins";
constexpr int32 kPSGetFileListSuiteVersion4 = 4;

struct PSDescriptorRegistryProcs {
    SPErr (*Register)(const char* key, PIActionDescriptor descriptor, Boolean isPersistent);
    // Stores null in `descriptor` when nothing is registered under `key`.
    SPErr (*Get)(const char* key, PIActionDescriptor* descriptor);
};

struct PSActionDescriptorProcs {
    SPErr (*Make)(PIActionDescriptor* descriptor);
    SPErr (*Free)(PIActionDescriptor descriptor);
    SPErr (*PutUnitFloat)(PIActionDescriptor, DescriptorKeyID, DescriptorUnitID, double);
    SPErr (*PutEnumerated)(
        PIActionDescriptor, DescriptorKeyID, DescriptorEnumTypeID, DescriptorEnumID);
    SPErr (*PutBoolean)(PIActionDescriptor, DescriptorKeyID, Boolean);
    SPErr (*GetUnitFloat)(PIActionDescriptor, DescriptorKeyID, DescriptorUnitID*, double*);
    SPErr (*GetEnumerated)(
        PIActionDescriptor, DescriptorKeyID, DescriptorEnumTypeID*, DescriptorEnumID*);
    SPErr (*GetBoolean)(PIActionDescriptor, DescriptorKeyID, Boolean*);
};

struct PSGetFileListSuite4 {
    SPErr (*BrowseUrl)(const char* url);
};

// The host's windowing data: `hwnd` is the host's main window (a QWidget* on this platform), or
// null when the host shows no window.
struct PlatformData {
    void* hwnd;
};

// The document's size and rectangles in 32 bits, for documents beyond the 16-bit fields. The
// module sets PluginUsing32BitCoordinates to say that it reads and writes these instead.
struct BigDocumentStruct {
    int32 PluginUsing32BitCoordinates;
    VPoint imageSize32;
    VRect filterRect32;
    VRect inRect32;
    VRect outRect32;
    VRect maskRect32;
};

// The parameter block of every selector but About. Image data are the requested planes
// interleaved, rows `inRowBytes` / `outRowBytes` apart; 16-bit samples run from 0 to 32768.
// The 16-bit sizes and rectangles cannot describe a document of 32768 pixels or more: the host
// clamps them to 32767 and gives the true values in bigDocumentData, when it offers it.
struct FilterRecord {
    Handle parameters; // the plug-in's stored parameters, kept by the host between runs
    Point imageSize;
    int16 planes;
    Rect filterRect;
    FilterColor backColor;
    int32 maxSpace; // bytes the host may use for buffers; the plug-in may lower it
    int32 bufferSpace;
    Rect inRect;
    int16 inLoPlane;
    int16 inHiPlane;
    Rect outRect;
    int16 outLoPlane;
    int16 outHiPlane;
    void* inData;
    int32 inRowBytes;
    void* outData;
    int32 outRowBytes;
    void* maskData; // non-null when the image has a selection mask
    Rect maskRect;
    int16 imageMode;
    Fixed inputRate;
    Fixed maskRate;
    AdvanceStateProc advanceState; // delivers inData / takes outData for the rectangles set
    HandleProcs* handleProcs;
    ColorServicesProc colorServices;
    PlatformData* platformData;
    int16 depth; // 8 or 16
    SPBasicSuite* sSPBasic;
    PIDescriptorParameters* descriptorParameters;
    BigDocumentStruct* bigDocumentData; // null when the host offers no 32-bit rectangles
};

// The parameter block of the About selector.
struct AboutRecord {
    PlatformData* platformData;
    SPBasicSuite* sSPBasic;
};
