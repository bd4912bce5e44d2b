#include "module/aboutBox.h"

#include "platform/version.h"
#include "window/windowApplication.h"

#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <string>

namespace {

// The two link items; their addresses are "http://" followed by the text.
constexpr const char* productLink = "www.morvanclarity.example";
constexpr const char* makerLink = "www.tarnwick.example";

// The host's BrowseUrl, acquired from the basic suite when a link is first clicked.
struct FileListSuite {
    const SPBasicSuite* basic;
    const PSGetFileListSuite4* suite;
};

void browse(FileListSuite* fileList, const QString& text)
{
    if (!fileList->suite) {
        const SPBasicSuite* basic = fileList->basic;
        const void* suite = nullptr;
        if (!basic || !basic->AcquireSuite
            || basic->AcquireSuite(kPSGetFileListSuite, kPSGetFileListSuiteVersion4, &suite)
                != kSPNoError
            || !suite)
            return;
        fileList->suite = static_cast<const PSGetFileListSuite4*>(suite);
    }
    const QByteArray url = QStringLiteral("http://%1").arg(text).toUtf8();
    if (fileList->suite->BrowseUrl)
        fileList->suite->BrowseUrl(url.constData());
}

// A label that reports a left click instead of passing it to the box.
class LinkItem : public QLabel {
public:
    LinkItem(const char* text, FileListSuite* fileList, QWidget* parent)
        : QLabel(QString::fromUtf8(text), parent)
        , fileList(fileList)
    {
        setCursor(Qt::PointingHandCursor);
        setStyleSheet(QStringLiteral("color: palette(link); text-decoration: underline;"));
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            browse(fileList, text());
    }

private:
    FileListSuite* fileList;
};

class AboutBox : public QDialog {
public:
    explicit AboutBox(QWidget* parent)
        : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    {
        setWindowTitle(QStringLiteral("Morvanclarity"));
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            accept();
        else
            QDialog::keyPressEvent(event); // Esc rejects
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            accept();
    }
};

// Centred over the parent (or the screen), moved left by two thirds of a caption button (the box
// has no system menu), one third of the free height from the top, kept on the screen.
void placeBox(QDialog* box, QWidget* parent)
{
    box->adjustSize();
    QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect screenArea = screen ? screen->availableGeometry() : QRect();
    const QRect area = parent ? parent->geometry() : screenArea;
    const int button = box->style()->pixelMetric(QStyle::PM_TitleBarButtonSize);
    int x = area.x() + (area.width() - box->width()) / 2 - button * 2 / 3;
    int y = area.y() + (area.height() - box->height()) / 3;
    if (screenArea.isValid()) {
        x = std::max(screenArea.left(), std::min(x, screenArea.right() + 1 - box->width()));
        y = std::max(screenArea.top(), std::min(y, screenArea.bottom() + 1 - box->height()));
    }
    box->move(x, y);
}

} // namespace

const char* aboutText()
{
    static const std::string text = std::string("Morvanclarity\n\nVersion ") + MorvanclarityVersion;
    return text.c_str();
}

void showAboutBox(const AboutRecord* record)
{
    if (!windowApplication())
        return;
    QWidget* parent = record && record->platformData
        ? static_cast<QWidget*>(record->platformData->hwnd)
        : nullptr;
    FileListSuite fileList {record ? record->sSPBasic : nullptr, nullptr};
    {
        AboutBox box(parent);
        auto* layout = new QVBoxLayout(&box);
        layout->setContentsMargins(24, 20, 24, 20);
        auto* text = new QLabel(QString::fromUtf8(aboutText()), &box);
        text->setTextFormat(Qt::PlainText);
        text->setObjectName(QStringLiteral("item3"));
        text->setAlignment(Qt::AlignCenter);
        auto* product = new LinkItem(productLink, &fileList, &box);
        product->setObjectName(QStringLiteral("item4"));
        auto* maker = new LinkItem(makerLink, &fileList, &box);
        maker->setObjectName(QStringLiteral("item5"));
        layout->addWidget(text);
        layout->addWidget(product, 0, Qt::AlignHCenter);
        layout->addWidget(maker, 0, Qt::AlignHCenter);
        placeBox(&box, parent);
        box.exec();
    }
    if (fileList.suite)
        fileList.basic->ReleaseSuite(kPSGetFileListSuite, kPSGetFileListSuiteVersion4);
}
