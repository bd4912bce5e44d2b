#pragma once

// Importing a point-spread function from a picture file the user chooses.

#include "image/imageBuffer.h"

#include <QString>

class QWidget;

// The open-file dialog's one filter: description and pattern alike.
constexpr const char* PsfFileFilter = "*.bmp;*.jpg;*.gif;*.tif;*.png";

// Asks for a picture file (title string49) and reads it into `target` as 8- or 16-bit samples of
// 1 or 3 channels. Returns true (failed) when the user cancels, when the picture's format is
// refused (after the "not supported" message, string41) or when it cannot be read; `target`
// then keeps what it held.
[[nodiscard]] bool importPsfImage(ImageBuffer* target, QWidget* owner);

// The same for a file already chosen; the cancelled case aside, as above.
[[nodiscard]] bool importPsfFile(ImageBuffer* target, const QString& path, QWidget* owner);
