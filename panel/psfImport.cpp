#include "panel/psfImport.h"

#include "locale/localisedStrings.h"
#include "locale/stringKeys.h"
#include "panel/messageBox.h"
#include "pictureFiles/psfPicture.h"

#include <QFile>
#include <QFileDialog>

bool importPsfImage(ImageBuffer* target, QWidget* owner)
{
    QFileDialog dialog(owner, QString::fromStdU16String(localisedString(StringOpen)));
    dialog.setObjectName(QStringLiteral("psfOpenDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QString filter = QString::fromLatin1(PsfFileFilter);
    QString patterns = filter;
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    dialog.setNameFilter(filter + QStringLiteral(" (") + patterns + QStringLiteral(")"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return true;
    return importPsfFile(target, dialog.selectedFiles().constFirst(), owner);
}

bool importPsfFile(ImageBuffer* target, const QString& path, QWidget* owner)
{
    std::string reason;
    const PsfPictureStatus status
        = readPsfPicture(QFile::encodeName(path).toStdString(), target, &reason);
    if (status == PsfPictureStatus::NotSupported) {
        showMessageBox({owner, QString::fromStdU16String(localisedString(StringFormatNotSupported)),
            QString(), BoxButtons::Ok, false});
    }
    return status != PsfPictureStatus::Loaded;
}
