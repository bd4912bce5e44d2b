#include "edit/editorDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <cstdio>

namespace {

constexpr const char* PhotoFilter = "Photos (*.png *.jpg *.jpeg *.tif *.tiff *.bmp *.gif)";

// The Save dialog lists the files of the proposed name's format, so the sharpened copy keeps the
// original's format unless the person types another extension.
QString formatFilter(const QString& suffix)
{
    const QString lower = suffix.toLower();
    if (lower == "jpg" || lower == "jpeg")
        return QStringLiteral("JPEG (*.jpg *.jpeg)");
    if (lower == "tif" || lower == "tiff")
        return QStringLiteral("TIFF (*.tif *.tiff)");
    return QStringLiteral("%1 (*.%2)").arg(lower.toUpper(), lower);
}

} // namespace

QString askForPhoto(QWidget* parent, const QString& folder)
{
    QFileDialog dialog(parent, QStringLiteral("Open a Photo"), folder);
    dialog.setObjectName(QStringLiteral("openDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QString::fromLatin1(PhotoFilter), QStringLiteral("All files (*)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString askWhereToSave(QWidget* parent, const QString& proposed)
{
    // Made once and kept for the program's life: when it comes back (a name refused, a write
    // failed, a second photo) it shows the view the person left, and its folder model and the
    // watch on the folder are set up once rather than for every showing.
    static QPointer<QFileDialog> dialog;
    if (!dialog) {
        dialog = new QFileDialog(parent, QStringLiteral("Save the Sharpened Photo"));
        dialog->setObjectName(QStringLiteral("saveDialog"));
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
    }
    const QFileInfo file(proposed);
    dialog->setDirectory(file.absolutePath());
    dialog->setNameFilters({formatFilter(file.suffix()), QStringLiteral("All files (*)")});
    dialog->setDefaultSuffix(file.suffix());
    dialog->selectFile(file.fileName());
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    return dialog->selectedFiles().constFirst();
}

bool askToReplace(QWidget* parent, const QString& path, bool isOriginal)
{
    const QString name = QFileInfo(path).fileName();
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Replace"),
        isOriginal ? QStringLiteral("%1 is the photo you opened. Replace the original with the "
                                    "sharpened photo?")
                         .arg(name)
                   : QStringLiteral("%1 already exists. Replace it?").arg(name),
        QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("replaceQuestion"));
    QPushButton* replace = box.addButton(QStringLiteral("Replace"), QMessageBox::AcceptRole);
    QPushButton* keep
        = box.addButton(QStringLiteral("Choose Another Name"), QMessageBox::RejectRole);
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    box.exec();
    return box.clickedButton() == replace;
}

bool askToDiscard(QWidget* parent)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Not Saved"),
        QStringLiteral("The sharpened photo has not been saved."), QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("discardQuestion"));
    QPushButton* save = box.addButton(QStringLiteral("Save..."), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QStringLiteral("Discard"), QMessageBox::DestructiveRole);
    box.setDefaultButton(save);
    box.setEscapeButton(save);
    box.exec();
    return box.clickedButton() == discard;
}

void tellProblem(QWidget* parent, const QString& text)
{
    // Said on the terminal too, for people who started the program from one.
    std::fprintf(stderr, "morvanclarity-edit: %s\n", text.toLocal8Bit().constData());
    QMessageBox box(
        QMessageBox::Warning, QStringLiteral("Morvanclarity"), text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("problemBox"));
    box.exec();
}
