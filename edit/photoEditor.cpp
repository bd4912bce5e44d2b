#include "edit/photoEditor.h"

#include "edit/editorDialogs.h"
#include "edit/photoDocument.h"
#include "pictureFiles/photoFile.h"

#include <QFile>
#include <QFileInfo>

namespace {

std::string fileName(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString nameOf(const QString& path)
{
    return QFileInfo(path).fileName();
}

bool isSameFile(const QString& one, const QString& other)
{
    const QString canonical = QFileInfo(one).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(other).canonicalFilePath();
}

// Asks where to save until the photo is written or the person lets it go.
EditOutcome saveResult(const Photo& photo, const QString& original, QString* savedPath)
{
    QString proposed = proposedSavePath(original);
    for (;;) {
        const QString chosen = askWhereToSave(nullptr, proposed);
        if (chosen.isEmpty()) {
            if (askToDiscard(nullptr))
                return EditOutcome::Discarded;
            continue;
        }
        proposed = chosen;
        if (QFileInfo::exists(chosen)
            && !askToReplace(nullptr, chosen, isSameFile(chosen, original)))
            continue;
        std::string reason;
        if (writePhoto(
                fileName(chosen), photo.pixels.image, photo.alpha.image, photo.iccProfile, &reason)
            == PhotoWriteStatus::Written) {
            if (savedPath)
                *savedPath = chosen;
            return EditOutcome::Saved;
        }
        tellProblem(nullptr,
            QStringLiteral("%1 could not be saved: %2.")
                .arg(nameOf(chosen), QString::fromStdString(reason)));
    }
}

} // namespace

QString proposedSavePath(const QString& photoPath)
{
    const QFileInfo file(photoPath);
    return QFile::decodeName(
        outputPhotoPath(fileName(file.absoluteFilePath()), fileName(file.absolutePath()), "-sharp")
            .c_str());
}

EditOutcome editPhoto(const QString& photoPath, const DocumentFilter& filter, QString* savedPath)
{
    Photo photo;
    std::string reason;
    if (readPhoto(fileName(photoPath), &photo, &reason) != PhotoReadStatus::Read) {
        tellProblem(nullptr,
            QStringLiteral("%1 cannot be opened: %2.")
                .arg(nameOf(photoPath), QString::fromStdString(reason)));
        return EditOutcome::Unreadable;
    }
    HostImage document;
    if (documentOfPhoto(photo, &document)) {
        tellProblem(nullptr,
            QStringLiteral("%1 cannot be opened: not enough memory for the picture.")
                .arg(nameOf(photoPath)));
        return EditOutcome::Failed;
    }
    std::string message;
    switch (filter(&document, &message)) {
    case ModuleRunStatus::Unchanged:
    case ModuleRunStatus::Cancelled:
        return EditOutcome::NoResult;
    case ModuleRunStatus::Failed:
        tellProblem(nullptr,
            QStringLiteral("The filter could not run: %1.").arg(QString::fromStdString(message)));
        return EditOutcome::Failed;
    case ModuleRunStatus::Done:
        break;
    }
    takeDocumentColour(document, &photo);
    std::vector<std::uint8_t>().swap(document.pixels); // not needed while the dialogs are open
    return saveResult(photo, photoPath, savedPath);
}
