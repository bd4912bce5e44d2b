#include "tests/window/windowFixture.h"

#include "locale/localisedStrings.h"
#include "panel/psfImport.h"
#include "tests/support/testImages.h"

#include <QApplication>
#include <QFileDialog>
#include <QImage>
#include <QTimer>

namespace {

using PsfImport = WindowFixture;

// Answers the open-file dialog once it is up: chooses `path`, or cancels when it is empty.
void answerFileDialog(const QString& path, QString* title, QString* filter)
{
    QTimer::singleShot(0, [=] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        *title = dialog->windowTitle();
        *filter = dialog->nameFilters().join(QStringLiteral("|"));
        if (path.isEmpty()) {
            dialog->reject();
        } else {
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept(); // QFileDialog hides it
        }
    });
}

TEST_F(PsfImport, TheDialogChoosesAPictureAndCancelLeavesTheTargetAlone)
{
    OwnedImage target(3, 3, 1, 8);
    fillImage(target.get(), 7);
    QString title;
    QString filter;
    answerFileDialog(QString(), &title, &filter);
    EXPECT_TRUE(importPsfImage(target.get(), nullptr));
    EXPECT_EQ(title, QString::fromStdU16String(localisedString(49)));
    EXPECT_EQ(
        filter, QStringLiteral("*.bmp;*.jpg;*.gif;*.tif;*.png (*.bmp *.jpg *.gif *.tif *.png)"));
    EXPECT_EQ(target->width, 3);
    EXPECT_EQ(sampleAt(target.get(), 1, 1, 0), 7);

    QImage spot(5, 4, QImage::Format_Grayscale8);
    spot.fill(40);
    const QString path = QString::fromStdString(folder.file("spot.png"));
    ASSERT_TRUE(spot.save(path));
    answerFileDialog(path, &title, &filter);
    EXPECT_FALSE(importPsfImage(target.get(), nullptr));
    EXPECT_EQ(target->width, 5);
    EXPECT_EQ(target->channels, 1);
    EXPECT_EQ(sampleAt(target.get(), 4, 3, 0), 40);
    EXPECT_TRUE(boxLog.boxes.empty());
}

TEST_F(PsfImport, ARefusedFormatIsReportedAndAnUnreadableFileIsNot)
{
    OwnedImage target(2, 2, 1, 8);
    fillImage(target.get(), 9);
    QImage mono(8, 8, QImage::Format_Mono); // 1 bit per pixel: refused
    mono.fill(1);
    const QString monoPath = QString::fromStdString(folder.file("mono.bmp"));
    ASSERT_TRUE(mono.save(monoPath));
    EXPECT_TRUE(importPsfFile(target.get(), monoPath, nullptr));
    ASSERT_EQ(boxLog.boxes.size(), 1u);
    EXPECT_EQ(boxLog.boxes[0].text, QString::fromStdU16String(localisedString(41)));
    EXPECT_TRUE(boxLog.boxes[0].caption.isEmpty());

    writeFileBytes(folder.file("junk.png"), "not a picture");
    EXPECT_TRUE(
        importPsfFile(target.get(), QString::fromStdString(folder.file("junk.png")), nullptr));
    EXPECT_EQ(boxLog.boxes.size(), 1u);
    EXPECT_EQ(target->width, 2);
    EXPECT_EQ(sampleAt(target.get(), 1, 1, 0), 9);
}

} // namespace
