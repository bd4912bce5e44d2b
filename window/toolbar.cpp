#include "window/toolbar.h"

#include "locale/localisedStrings.h"
#include "panel/interfaceText.h"
#include "window/commands.h"
#include "window/toolbarPictures.h"
#include "window/zoomControl.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyleOptionComboBox>
#include <QWheelEvent>
#include <algorithm>

namespace {

constexpr int ZoomFontPixels = 16;

struct ButtonPlan {
    const char* picture; // null: no picture
    int command; // the button's id, kept in its object name
    QAction* ToolbarActions::*action;
};

constexpr ButtonPlan plan[Toolbar::ButtonCount] = {
    {"DEBLUR_FOCUS", FocusCorrectionCommand, &ToolbarActions::focusCorrection},
    {"DEBLUR_MOTION", MotionCorrectionCommand, &ToolbarActions::motionCorrection},
    {nullptr, GapCommand, nullptr},
    {nullptr, SpacerCommand, nullptr},
    {"IDP_ZOOMIN", ZoomInCommand, &ToolbarActions::zoomIn},
    {"IDP_ZOOMOUT", ZoomOutCommand, &ToolbarActions::zoomOut},
    {"IDP_ZOOM100", Zoom100Command, &ToolbarActions::zoom100},
    {"IDP_ZOOMFIT", ZoomFitCommand, &ToolbarActions::zoomFit},
    {nullptr, ZoomBoxCommand, nullptr},
    {"IDP_PICKER", MenuCommand, &ToolbarActions::menu},
};

} // namespace

// The zoom box; the wheel over it goes to the image view so that it zooms the image instead of
// scrolling the list.
class ZoomBox : public QComboBox {
public:
    ZoomBox(QWidget* parent, QWidget* wheelTarget)
        : QComboBox(parent)
        , window(wheelTarget)
    {
        setEditable(true);
        setInsertPolicy(QComboBox::NoInsert);
        setFocusPolicy(Qt::ClickFocus);
    }

    // Enter confirms a typed zoom and Esc leaves the box, even where the window gives these keys
    // to the panel's OK and Cancel.
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::ShortcutOverride) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
                event->accept();
                return true;
            }
        }
        if (event->type() == QEvent::KeyPress
            && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            window->setFocus();
            return true;
        }
        return QComboBox::event(event);
    }

    // The list closed with or without a choice hands the keys back to the image view, where the
    // arrows pan and + and - zoom.
    void hidePopup() override
    {
        QComboBox::hidePopup();
        window->setFocus();
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

Toolbar::Toolbar(QWidget* parent, const ToolbarActions& actions, QWidget* wheelTarget)
    : QWidget(parent)
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
        QAction* action = actions.*item.action;
        action->setIcon(icon);
        button->setDefaultAction(action);
        button->setIconSize(pictureSize);
        // The picture button's name for screen readers: its tooltip without the shortcut.
        button->setAccessibleName(action->iconText());
        items[std::size_t(position)] = button;
    }
    auto* menu = static_cast<QToolButton*>(items[9]);
    menu->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    box = new ZoomBox(this, wheelTarget);
    box->setObjectName(QStringLiteral("zoomBox32810"));
    box->setToolTip(plainToolTip(interfaceText(StringTipSetZoom)));
    box->setAccessibleName(interfaceText(StringTipSetZoom));
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(ZoomFontPixels);
    font.setWeight(QFont::DemiBold);
    font.setStyleHint(QFont::SansSerif);
    box->setFont(font);
    for (int i = 0; i < ZoomListCount; ++i)
        box->addItem(QString::fromStdString(zoomText(zoomOfListPosition(i))));
    box->setCurrentIndex(3);
    connect(box, &QComboBox::activated, this, &Toolbar::zoomChosen);
    connect(box->lineEdit(), &QLineEdit::returnPressed, this,
        [this] { emit zoomTyped(box->currentText()); });
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

QMenu* buildApplicationMenu(QWidget* parent, const MenuActions& actions)
{
    auto* menu = new QMenu(parent);
    QMenu* file = menu->addMenu(interfaceText(StringMenuFile));
    file->addAction(actions.options);
    file->addAction(actions.exit);
    QMenu* deblur = menu->addMenu(interfaceText(StringMenuDeblur));
    deblur->addAction(actions.focusCorrection);
    deblur->addAction(actions.motionCorrection);
    QMenu* help = menu->addMenu(interfaceText(StringMenuHelp));
    help->addAction(actions.about);
    return menu;
}
