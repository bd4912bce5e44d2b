#include "window/toolbar.h"

#include "locale/localisedStrings.h"
#include "panel/interfaceText.h"
#include "platform/windowMessage.h"
#include "window/commands.h"
#include "window/toolbarPictures.h"
#include "window/zoomControl.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QLineEdit>
#include <QStyleOptionComboBox>
#include <QWheelEvent>
#include <algorithm>

namespace {

constexpr int ZoomFontPixels = 16;

struct ButtonPlan {
    const char* picture; // null: no picture
    int command;
    int tipKey; // 0: no tooltip
};

constexpr ButtonPlan plan[Toolbar::ButtonCount] = {
    {"DEBLUR_FOCUS", FocusCorrectionCommand, StringTipOutOfFocus},
    {"DEBLUR_MOTION", MotionCorrectionCommand, StringTipMotion},
    {nullptr, GapCommand, 0},
    {nullptr, SpacerCommand, 0},
    {"IDP_ZOOMIN", ZoomInCommand, StringTipZoomIn},
    {"IDP_ZOOMOUT", ZoomOutCommand, StringTipZoomOut},
    {"IDP_ZOOM100", Zoom100Command, StringTipZoom100},
    {"IDP_ZOOMFIT", ZoomFitCommand, StringTipFit},
    {nullptr, ZoomBoxCommand, StringTipSetZoom},
    {"IDP_PICKER", MenuCommand, 0},
};

} // namespace

// The zoom box: Enter sends the typed zoom to the main window; the wheel goes to the main window
// so that it zooms the image instead of scrolling the list.
class ZoomBox : public QComboBox {
public:
    ZoomBox(QWidget* parent, QWidget* window)
        : QComboBox(parent)
        , window(window)
    {
        setEditable(true);
        setInsertPolicy(QComboBox::NoInsert);
        setFocusPolicy(Qt::ClickFocus);
        connect(lineEdit(), &QLineEdit::returnPressed, this,
            [this] { sendWindowMessage(this->window, TypedZoomMessage); });
    }

protected:
    void wheelEvent(QWheelEvent* event) override
    {
        window->setFocus();
        QWheelEvent moved(window->mapFromGlobal(event->globalPosition()), event->globalPosition(),
            event->pixelDelta(), event->angleDelta(), event->buttons(), event->modifiers(),
            event->phase(), event->inverted());
        QCoreApplication::sendEvent(window, &moved);
        event->accept();
    }

private:
    QWidget* window;
};

Toolbar::Toolbar(QWidget* window, void (*onCommand)(QWidget*, int))
    : QWidget(window)
    , window(window)
    , onCommand(onCommand)
{
    setObjectName(QStringLiteral("toolbar109"));
    setAutoFillBackground(true);
    // The folder picture only measures the buttons: w x h pictures in (w + 9) x (h + 9) buttons.
    bool alphaRemoved = false;
    const QImage measure = bitmapFromPngResource(QStringLiteral("IDP_FOLDER"), &alphaRemoved);
    const QSize pictureSize = measure.isNull() ? QSize(32, 32) : measure.size();
    buttonWidth = pictureSize.width() + 9;
    buttonHeight = pictureSize.height() + 9;
    setFixedHeight(buttonHeight + 6);

    for (int position = 0; position < ButtonCount; ++position) {
        const ButtonPlan& item = plan[position];
        if (!item.picture) {
            auto* blank = new QWidget(this); // gap, spacer and the zoom box's slot
            blank->setEnabled(false);
            blank->setObjectName(QStringLiteral("item%1").arg(item.command));
            items[std::size_t(position)] = blank;
            continue;
        }
        auto* button = new QToolButton(this);
        button->setObjectName(QStringLiteral("button%1").arg(item.command));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        const QImage picture
            = bitmapFromPngResource(QString::fromLatin1(item.picture), &alphaRemoved);
        QIcon icon;
        icon.addPixmap(QPixmap::fromImage(picture), QIcon::Normal);
        icon.addPixmap(QPixmap::fromImage(greyCopy(picture)), QIcon::Disabled);
        button->setIcon(icon);
        button->setIconSize(pictureSize);
        if (item.tipKey) {
            button->setToolTip(interfaceText(item.tipKey));
            button->setAccessibleName(interfaceText(item.tipKey));
        }
        const int command = item.command;
        connect(button, &QToolButton::clicked, this,
            [this, command] { this->onCommand(this->window, command); });
        items[std::size_t(position)] = button;
    }
    auto* menu = static_cast<QToolButton*>(items[9]);
    menu->setText(QStringLiteral("Menu"));
    menu->setAccessibleName(QStringLiteral("Menu"));
    menu->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    box = new ZoomBox(this, window);
    box->setObjectName(QStringLiteral("zoomBox32810"));
    box->setToolTip(interfaceText(StringTipSetZoom));
    box->setAccessibleName(interfaceText(StringTipSetZoom));
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(ZoomFontPixels);
    font.setWeight(QFont::DemiBold);
    font.setStyleHint(QFont::SansSerif);
    box->setFont(font);
    for (int i = 0; i < ZoomListCount; ++i)
        box->addItem(QString::fromStdString(zoomText(zoomOfListPosition(i))));
    box->setCurrentIndex(3);
    connect(box, QOverload<int>::of(&QComboBox::activated), this,
        [this] { this->onCommand(this->window, ZoomBoxCommand); });
    layOutItems();
}

QToolButton* Toolbar::button(int command) const
{
    for (int position = 0; position < ButtonCount; ++position) {
        if (plan[position].command == command)
            return qobject_cast<QToolButton*>(items[std::size_t(position)]);
    }
    return nullptr;
}

QComboBox* Toolbar::zoomBox() const
{
    return box;
}

QRect Toolbar::itemRect(int position) const
{
    return items[std::size_t(std::clamp(position, 0, ButtonCount - 1))]->geometry();
}

void Toolbar::layOutItems()
{
    const int top = 3;
    QToolButton* menu = static_cast<QToolButton*>(items[9]);
    const int menuWidth = std::max(buttonWidth, menu->sizeHint().width());
    auto widthOf = [&](int position) {
        switch (plan[position].command) {
        case GapCommand:
            return GapWidth;
        case SpacerCommand:
            return 0;
        case ZoomBoxCommand:
            return SlotWidth;
        case MenuCommand:
            return menuWidth;
        default:
            return buttonWidth;
        }
    };
    int others = Indent;
    for (int position = 0; position < ButtonCount; ++position)
        others += widthOf(position);
    const int spacer = std::max(1, width() - others);
    int x = Indent;
    for (int position = 0; position < ButtonCount; ++position) {
        const int w = plan[position].command == SpacerCommand ? spacer : widthOf(position);
        items[std::size_t(position)]->setGeometry(x, top, w, buttonHeight);
        x += w;
    }
    const QRect slot = itemRect(8);
    box->setGeometry(slot.left() + 5, slot.top() + 8, slot.width() - 10,
        std::min(box->sizeHint().height(), slot.height() - 8));
    fitZoomFont();
}

// The box's font is drawn for Tahoma; where another face stands in (DejaVu Sans is a sixth
// wider), its size comes down until a three-digit zoom fits the text field.
void Toolbar::fitZoomFont()
{
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = true;
    const int field
        = box->style()
              ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box)
              .width();
    QFont font = box->font();
    font.setPixelSize(ZoomFontPixels);
    const QString widest = QStringLiteral("100.0 %");
    while (font.pixelSize() > 9 && QFontMetrics(font).horizontalAdvance(widest) + 4 > field)
        font.setPixelSize(font.pixelSize() - 1);
    if (font != box->font())
        box->setFont(font);
}

void Toolbar::showZoomText(const QString& zoomText)
{
    box->setEditText(zoomText);
    // A text wider than the box shows its start (the digits), not its end.
    box->lineEdit()->setCursorPosition(0);
}

void Toolbar::resizeEvent(QResizeEvent*)
{
    layOutItems();
}

QMenu* buildApplicationMenu(QWidget* parent)
{
    auto* menu = new QMenu(parent);
    struct Entry {
        int labelKey;
        int items[2][2]; // command, label key; command 0 ends
    };
    const Entry entries[] = {
        {StringMenuFile, {{OptionsCommand, StringMenuOptions}, {ExitCommand, StringMenuExit}}},
        {StringMenuDeblur,
            {{FocusCorrectionCommand, StringMenuOutOfFocus},
                {MotionCorrectionCommand, StringMenuMotion}}},
        {StringMenuHelp, {{AboutCommand, StringMenuAbout}, {0, 0}}},
    };
    for (const Entry& entry : entries) {
        QMenu* submenu = menu->addMenu(interfaceText(entry.labelKey));
        for (const auto& item : entry.items) {
            if (item[0] == 0)
                continue;
            QAction* action = submenu->addAction(interfaceText(item[1]));
            action->setData(item[0]);
        }
    }
    return menu;
}
