#include "choices/psfKernelFile.h"

#include "engine/pointSpread.h"
#include "image/imageFormat.h"
#include "locale/localisedStrings.h"
#include "locale/stringKeys.h"
#include "pictureFiles/psfPicture.h"
#include "platform/libraryNoise.h"
#include "platform/textEncoding.h"

PsfFileStatus readPsfKernelFile(
    const std::string& path, std::shared_ptr<const OwnedImage>* kernel, std::string* reason)
{
    OwnedImage picture;
    std::string why;
    PsfPictureStatus status = PsfPictureStatus::Unreadable;
    {
        const LibraryNoiseMute quiet;
        status = readPsfPicture(path, picture.get(), &why);
    }
    if (status == PsfPictureStatus::NotSupported) {
        *reason = path + ": " + utf16ToUtf8(localisedString(StringFormatNotSupported)) + " (" + why
            + ")";
        return PsfFileStatus::NotSupported;
    }
    if (status != PsfPictureStatus::Loaded) {
        *reason = path + ": " + why;
        return PsfFileStatus::Unreadable;
    }
    auto built = std::make_shared<OwnedImage>();
    if (changeImageFormat(picture.get(), picture->bitsPerChannel > 8 ? 16 : 8, 1)
        || kernelFromImage(built->get(), picture.get())) {
        *reason = path
            + ": the picture is all black; a point-spread function needs at least one lit pixel";
        return PsfFileStatus::AllBlack;
    }
    *kernel = std::move(built);
    return PsfFileStatus::Read;
}
