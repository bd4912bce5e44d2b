// morvanclarity-edit's work on a photo, with its dialogs answered by a script: the filter's real
// window gives a result that is saved as the Save dialog proposes, the proposal keeps the format,
// files are replaced only when the person says so, and nothing is written without a result.

#include "edit/photoEditor.h"
#include "edit/photoDocument.h"
#include "tests/support/scopedEnvironment.h"
#include "tests/support/shownFilterWindow.h"
#include "tests/support/temporaryFolder.h"

#include <QApplication>
#include <QColorSpace>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Answers the program's modal dialogs in order: each step names the dialog it expects and what
// to do with it. A dialog the script does not expect is recorded and closed, so a wrong turn
// fails the test instead of hanging it.
class DialogScript {
public:
    struct Step {
        QString dialog;
        std::function<void(QWidget*)> answer;
    };

    explicit DialogScript(std::vector<Step> steps)
        : steps(std::move(steps))
    {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [this] { look(); });
        timer.start();
    }

    QStringList seen; // the dialogs met, in order
    QStringList texts; // what the message boxes among them said

private:
    void look()
    {
        // A dialog that has gone may come back (the Save dialog is kept): it is answered again
        // once it has been hidden in between.
        if (lastAnswered && !lastAnswered->isVisible())
            lastAnswered = nullptr;
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog || !dialog->isVisible() || dialog == lastAnswered)
            return;
        lastAnswered = dialog;
        seen.append(dialog->objectName());
        if (auto* box = qobject_cast<QMessageBox*>(dialog))
            texts.append(box->text());
        if (next < steps.size() && steps[next].dialog == dialog->objectName())
            steps[next++].answer(dialog);
        else
            QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
    }

    std::vector<Step> steps;
    std::size_t next = 0;
    QPointer<QWidget> lastAnswered;
    QTimer timer;
};

// Types the name as a person would: selectFile leaves alone a name field that has the focus.
void saveAs(QWidget* dialog, const QString& path)
{
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
    QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
}

void acceptProposal(QWidget* dialog)
{
    QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
}

void cancel(QWidget* dialog)
{
    QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
}

std::function<void(QWidget*)> press(const QString& text)
{
    return [text](QWidget* dialog) {
        for (QPushButton* button : dialog->findChildren<QPushButton*>())
            if (button->text() == text)
                QMetaObject::invokeMethod(button, "click", Qt::QueuedConnection);
    };
}

// Works the filter's window as a person would: open the out-of-focus panel, press OK, and once
// the job has put its result in the window, close it. Without `withResult` it only closes the
// window once it is shown.
class WindowScript {
public:
    // What the person does in the window before closing it: nothing, a correction with OK, or
    // a correction's preview only (the window then closes with the panel open).
    enum class Visit { Close, Deblur, PreviewOnly };

    explicit WindowScript(bool withResult)
        : WindowScript(withResult ? Visit::Deblur : Visit::Close)
    {
    }
    explicit WindowScript(Visit visit)
        : visit(visit)
    {
        timer.setInterval(30);
        QObject::connect(&timer, &QTimer::timeout, [this] { step(); });
        timer.start();
    }
    int stepsDone = 0;

private:
    void step()
    {
        QWidget* window = shownFilterWindow();
        QWidget* zoomBox = window ? window->findChild<QWidget*>("zoomBox32810") : nullptr;
        QWidget* panel = window ? window->findChild<QWidget*>("deblurPanel") : nullptr;
        if (!zoomBox || !zoomBox->isEnabled())
            return; // not shown yet, or the job still runs
        const bool correcting = visit != Visit::Close;
        if (correcting && stepsDone == 0) {
            window->findChild<QToolButton*>("button32805")->click();
        } else if (correcting && stepsDone == 1 && panel) {
            panel->findChild<QAbstractButton*>(visit == Visit::Deblur ? "control1" : "control1088")
                ->click();
        } else if (visit == Visit::PreviewOnly && stepsDone > 1 && stepsDone < 40) {
            // the preview computes and is shown meanwhile
        } else if (!panel || visit == Visit::PreviewOnly) {
            window->close();
            timer.stop();
        } else {
            return;
        }
        ++stepsDone;
    }

    Visit visit;
    QTimer timer;
};

// The program's application, which the module takes for its window: made once the tests start
// (not when they are only listed) and deleted at their end, with what it holds.
class ApplicationEnvironment : public testing::Environment {
public:
    void SetUp() override { application = new QApplication(argumentCount, arguments); }
    void TearDown() override
    {
        delete application;
        application = nullptr;
    }

private:
    int argumentCount = 1;
    char name[10] = "editTests";
    char* arguments[2] = {name, nullptr};
    QApplication* application = nullptr;
};

[[maybe_unused]] testing::Environment* const application
    = testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

class PhotoEditor : public testing::Test {
protected:
    PhotoEditor()
        : configHome("XDG_CONFIG_HOME", settings.path().c_str())
    {
    }

    QString file(const char* name) const { return QString::fromStdString(folder.file(name)); }

    // A gray-blue gradient with a band of text-like edges, so the filter has something to do.
    QImage scene(QImage::Format format) const
    {
        QImage image(160, 120, format);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const int edge = (x / 6 + y / 9) % 2 ? 200 : 60;
                image.setPixelColor(x, y, QColor(edge, x, 120, 255 - y));
            }
        return image;
    }

    static ModuleRunStatus module(HostImage* document, std::string* message)
    {
        return runModuleWindow(MODULE_PATH, document, false, message);
    }

    // Stands in for the filter's window: the colour inverted, as a result the tests can recognise.
    static ModuleRunStatus invert(HostImage* document, std::string*)
    {
        const int white = document->depth == 16 ? HostWhite16 : 255;
        const int colours = document->planes == 2 || document->planes == 4 ? document->planes - 1
                                                                           : document->planes;
        for (int y = 0; y < document->height; ++y)
            for (int x = 0; x < document->width; ++x)
                for (int plane = 0; plane < colours; ++plane)
                    setHostSample(
                        document, x, y, plane, white - hostSample(*document, x, y, plane));
        return ModuleRunStatus::Done;
    }

    std::vector<std::string> filesInFolder() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
            if (entry.is_regular_file())
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TemporaryFolder folder; // the photos
    TemporaryFolder settings; // the module's and the dialogs' own
    ScopedEnvironment configHome;
};

// The filter's own window deblurs a 16-bit photo with transparency and a colour profile; the
// Save dialog proposes NAME-sharp.png beside it, and the file written keeps depth, alpha and
// profile.
TEST_F(PhotoEditor, SavesTheWindowsResultAsProposedKeepingDepthAlphaAndProfile)
{
    QImage photo = scene(QImage::Format_RGBA64);
    photo.setColorSpace(QColorSpace::DisplayP3);
    ASSERT_TRUE(photo.save(file("photo.png")));
    const std::string original = readFileBytes(folder.file("photo.png"));

    QString proposed;
    DialogScript dialogs({{"saveDialog", [&proposed](QWidget* dialog) {
                               proposed
                                   = qobject_cast<QFileDialog*>(dialog)->selectedFiles().value(0);
                               acceptProposal(dialog);
                           }}});
    WindowScript window(true);
    QString saved;
    EXPECT_EQ(editPhoto(file("photo.png"), module, &saved), EditOutcome::Saved);
    EXPECT_EQ(window.stepsDone, 3);
    EXPECT_EQ(dialogs.seen, QStringList {"saveDialog"});
    EXPECT_EQ(proposed, file("photo-sharp.png"));
    EXPECT_EQ(saved, file("photo-sharp.png"));

    EXPECT_EQ(readFileBytes(folder.file("photo.png")), original);
    const QImage sharp(saved);
    EXPECT_EQ(sharp.format(), QImage::Format_RGBA64);
    EXPECT_EQ(sharp.colorSpace(), QColorSpace(QColorSpace::DisplayP3));
    const QImage before(file("photo.png"));
    bool colourChanged = false;
    for (int y = 0; y < sharp.height(); ++y)
        for (int x = 0; x < sharp.width(); ++x) {
            ASSERT_EQ(sharp.pixelColor(x, y).alpha(), before.pixelColor(x, y).alpha());
            colourChanged |= sharp.pixelColor(x, y).rgb() != before.pixelColor(x, y).rgb();
        }
    EXPECT_TRUE(colourChanged);
}

// The original is replaced only when the person confirms; a format that cannot be written is said
// in words and the Save dialog comes back; cancelling asks before the result is let go; an
// existing copy is replaced once confirmed, in the original's format.
TEST_F(PhotoEditor, ReplacesNothingWithoutAskingAndLetsNoResultGoUnasked)
{
    ASSERT_TRUE(scene(QImage::Format_RGB888).save(file("holiday.jpg"), "jpeg", 95));
    const std::string original = readFileBytes(folder.file("holiday.jpg"));
    {
        DialogScript dialogs({
            {"saveDialog", [this](QWidget* d) { saveAs(d, file("holiday.jpg")); }},
            {"replaceQuestion", press("Choose Another Name")},
            {"saveDialog", [this](QWidget* d) { saveAs(d, file("holiday.gif")); }},
            {"problemBox", press("OK")},
            {"saveDialog", cancel},
            {"discardQuestion", press("Discard")},
        });
        EXPECT_EQ(editPhoto(file("holiday.jpg"), invert), EditOutcome::Discarded);
        EXPECT_EQ(dialogs.seen,
            (QStringList {"saveDialog", "replaceQuestion", "saveDialog", "problemBox", "saveDialog",
                "discardQuestion"}));
        ASSERT_EQ(dialogs.texts.size(), 3);
        EXPECT_TRUE(dialogs.texts[0].contains("the photo you opened"))
            << dialogs.texts[0].toStdString();
        EXPECT_TRUE(dialogs.texts[1].contains("holiday.gif could not be saved"))
            << dialogs.texts[1].toStdString();
        EXPECT_EQ(readFileBytes(folder.file("holiday.jpg")), original);
        EXPECT_EQ(filesInFolder(), std::vector<std::string> {"holiday.jpg"});
    }
    writeFileBytes(folder.file("holiday-sharp.jpg"), "an older copy");
    DialogScript dialogs({
        {"saveDialog", acceptProposal},
        {"replaceQuestion", press("Replace")},
    });
    QString saved;
    EXPECT_EQ(editPhoto(file("holiday.jpg"), invert, &saved), EditOutcome::Saved);
    EXPECT_EQ(saved, file("holiday-sharp.jpg"));
    ASSERT_EQ(dialogs.texts.size(), 1);
    EXPECT_TRUE(dialogs.texts[0].contains("already exists")) << dialogs.texts[0].toStdString();
    const QImage sharp(saved, "jpeg");
    ASSERT_FALSE(sharp.isNull());
    EXPECT_GT(qRed(sharp.pixel(3, 3)), 30); // the inverted dark edge
    EXPECT_EQ(readFileBytes(folder.file("holiday.jpg")), original);
}

// The window closed without a result asks nothing and writes nothing; a file that is no picture
// is refused in words before any window opens.
TEST_F(PhotoEditor, WritesNothingWithoutAResult)
{
    ASSERT_TRUE(scene(QImage::Format_Grayscale16).save(file("gray.tif")));
    {
        DialogScript dialogs({});
        WindowScript window(false);
        EXPECT_EQ(editPhoto(file("gray.tif"), module), EditOutcome::NoResult);
        EXPECT_EQ(window.stepsDone, 1);
        EXPECT_TRUE(dialogs.seen.isEmpty()) << dialogs.seen.join(' ').toStdString();
    }
    // A preview is never a result: closing with only the preview shown asks nothing.
    {
        DialogScript dialogs({});
        WindowScript window(WindowScript::Visit::PreviewOnly);
        EXPECT_EQ(editPhoto(file("gray.tif"), module), EditOutcome::NoResult);
        EXPECT_GE(window.stepsDone, 40);
        EXPECT_TRUE(dialogs.seen.isEmpty()) << dialogs.seen.join(' ').toStdString();
    }
    writeFileBytes(folder.file("notes.png"), "not a picture");
    DialogScript dialogs({{"problemBox", press("OK")}});
    EXPECT_EQ(editPhoto(file("notes.png"), module), EditOutcome::Unreadable);
    EXPECT_EQ(dialogs.seen, QStringList {"problemBox"});
    EXPECT_EQ(filesInFolder(), (std::vector<std::string> {"gray.tif", "notes.png"}));
}

// The Save dialog's proposal: beside the original, NAME-sharp with the original's extension, PNG
// for formats that are only read.
TEST(ProposedSavePath, KeepsTheFolderAndTheFormat)
{
    const struct {
        const char* photo;
        const char* proposed;
    } cases[] = {
        {"/photos/IMG_0042.JPG", "/photos/IMG_0042-sharp.JPG"},
        {"/photos/scan.v2.tiff", "/photos/scan.v2-sharp.tiff"},
        {"/photos/old.bmp", "/photos/old-sharp.bmp"},
        {"/photos/anim.gif", "/photos/anim-sharp.png"},
        {"/photos/raw", "/photos/raw-sharp.png"},
        {"/photos/Été à Nîmes.png", "/photos/Été à Nîmes-sharp.png"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(proposedSavePath(QString::fromUtf8(c.photo)), QString::fromUtf8(c.proposed))
            << c.photo;
}

// The document the module reads holds the photo's colour in red, green, blue order (16 bits in
// the host's range) with alpha last, and only the colour comes back.
TEST(PhotoDocument, HoldsColourInTheHostsOrderAndGivesBackOnlyColour)
{
    for (const int bits : {8, 16}) {
        for (const int channels : {1, 3}) {
            Photo photo;
            ASSERT_EQ(allocateImage(photo.pixels.get(), 2, 1, channels, bits), 0);
            ASSERT_EQ(allocateImage(photo.alpha.get(), 2, 1, 1, bits), 0);
            const int top = bits == 16 ? 65535 : 255;
            auto set = [bits](ImageBuffer* image, int index, int value) {
                if (bits == 16)
                    reinterpret_cast<std::uint16_t*>(image->data)[index] = std::uint16_t(value);
                else
                    image->data[index] = std::uint8_t(value);
            };
            auto get = [bits](const ImageBuffer& image, int index) {
                return bits == 16 ? reinterpret_cast<const std::uint16_t*>(image.data)[index]
                                  : image.data[index];
            };
            for (int c = 0; c < channels; ++c)
                set(photo.pixels.get(), c, top * (c + 1) / 4); // pixel 0: blue, green, red rising
            set(photo.alpha.get(), 0, top);
            set(photo.alpha.get(), 1, top / 2);
            HostImage document;
            ASSERT_FALSE(documentOfPhoto(photo, &document));
            ASSERT_EQ(document.planes, channels + 1);
            const int hostTop = bits == 16 ? HostWhite16 : 255;
            EXPECT_NEAR(hostSample(document, 0, 0, 0), hostTop * channels / 4, 1)
                << bits << " bits, " << channels << " channels: red (or gray) first";
            EXPECT_EQ(hostSample(document, 0, 0, channels), hostTop) << "alpha last";

            setHostSample(&document, 1, 0, 0, hostTop); // pixel 1: red (or gray) full
            setHostSample(&document, 1, 0, channels, 0); // and transparent, which is not taken
            takeDocumentColour(document, &photo);
            EXPECT_EQ(get(photo.pixels.image, channels + channels - 1), top);
            EXPECT_EQ(get(photo.alpha.image, 1), top / 2) << "the photo's alpha stays its own";
            EXPECT_NEAR(get(photo.pixels.image, 0), top / 4, 1) << "a round trip keeps values";
        }
    }
}

} // namespace
