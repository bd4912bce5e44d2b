#pragma once

// The host's side of a filter run: the records handed to the module, advanceState over a
// HostImage, colour services, handles, descriptors, and the order of the selectors. A session
// lasts as long as the host would keep the module's handles (one run of the program, or several
// runs of the filter in a test). One session is active at a time: advanceState reaches it
// through a process-wide pointer.

#include "hostSide/hostDescriptors.h"
#include "hostSide/hostImage.h"
#include "module/pluginMain.h"

struct HostSession {
    PluginEntryProc entry = nullptr;
    HostImage* image = nullptr; // the document the filter works on
    bool offerBigDocument = true; // whether bigDocumentData is given to the module
    bool selectionMask = false; // whether the document has a selection (maskData set)

    // What the host keeps between calls.
    std::intptr_t dataSlot = 0;
    FilterRecord record {};
    AboutRecord aboutRecord {};
    BigDocumentStruct bigDocument {};
    PlatformData platform {};
    PIDescriptorParameters descriptorParameters {};
    HostDescriptor recorded; // what the module recorded at its last Finish

    // advanceState's buffers and what it was asked for.
    std::vector<std::uint8_t> inBuffer;
    std::vector<std::uint8_t> outBuffer;
    VRect outRect {}; // the rectangle outBuffer covers; empty when nothing is pending
    int outLoPlane = 0;
    int outHiPlane = -1;
    int advanceCalls = 0;
    bool ranBefore = false; // the filter ran in this session, so Parameters is not needed
};

// How one filter run is asked for.
struct RunOptions {
    bool about = false; // show the About box first
    bool withOptions = false; // the user asked for the dialog: call Parameters
    bool scripted = false; // play a descriptor: `playInfo` and the three values below
    int16 playInfo = plugInDialogDisplay;
    double percent = 0.0;
    int16 disposition = 0;
    bool ignoreSelection = false;
};

// Starts a session on `image` (which must outlive it) and reads the descriptor registry.
void openSession(HostSession* session, PluginEntryProc entry, HostImage* image);

// Disposes of the handles the module left with the host.
void closeSession(HostSession* session);

// Calls one selector with the session's records; returns its result code.
[[nodiscard]] int16 callSelector(HostSession* session, int16 selector);

// Plays one filter run: About on request; Parameters the first time or with options; Prepare;
// Start; Continue while the rectangles are not empty; Finish after a successful Start. Pixels the
// module writes reach the image only when the run succeeds. Returns the first error, else noErr.
[[nodiscard]] int16 runFilter(HostSession* session, const RunOptions& options);
