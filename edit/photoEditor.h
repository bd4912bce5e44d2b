#pragma once

// morvanclarity-edit's work on one photo: read it as the batch tool reads it, hand it to the
// filter's window, and save the result where the person says, in the original's format and
// depth with its alpha and colour profile, through the batch tool's all-or-nothing writer.
// Nothing is written unless the person saves, and no file is replaced without asking.

#include "hostSide/moduleWindowRun.h"

#include <QString>
#include <functional>

// Runs the filter over a document: the module's window in the program, a script in tests.
using DocumentFilter = std::function<ModuleRunStatus(HostImage* document, std::string* message)>;

enum class EditOutcome {
    Saved, // the sharpened photo is on the disk
    NoResult, // the filter's window closed without a result: nothing was written
    Discarded, // the person chose not to save the result
    Unreadable, // the photo could not be read (the person was told why)
    Failed, // the filter could not run (the person was told why)
};

[[nodiscard]] EditOutcome editPhoto(
    const QString& photoPath, const DocumentFilter& filter, QString* savedPath = nullptr);

// Where the Save dialog proposes the sharpened copy: NAME-sharp.EXT beside the original (PNG for
// formats that are read but not written).
QString proposedSavePath(const QString& photoPath);
