#include "skin/skinStyle.h"
#include "skin/applySkin.h"
#include "skin/skinColors.h"
#include "tests/support/grabPixels.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStyleFactory>
#include <QStyleOption>
#include <gtest/gtest.h>
#include <memory>

namespace {

int argumentCount = 1;
char programName[] = "skinTests";
char* arguments[] = {programName, nullptr};

class EndApplication : public testing::Environment {
public:
    void TearDown() override { delete QCoreApplication::instance(); }
};

testing::Environment* const endApplication = testing::AddGlobalTestEnvironment(new EndApplication);

QRgb slotRgb(int slot)
{
    return skinQColor(slot).rgb();
}

// A panel-like tree: the kinds of controls the deblur panel has, placed by hand.
struct Panel {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    QPushButton* button;
    QCheckBox* checked;
    QCheckBox* unchecked;
    QCheckBox* disabled;
    QGroupBox* group;
    QSlider* slider;
    QSlider* ticked;
    QComboBox* combo;
    QProgressBar* progress;

    Panel()
    {
        window->resize(300, 330);
        button = new QPushButton(QStringLiteral("Preview"), window.get());
        button->setGeometry(10, 10, 100, 26);
        group = new QGroupBox(QStringLiteral("Options"), window.get());
        group->setGeometry(10, 44, 280, 92);
        checked = new QCheckBox(QStringLiteral("Live preview"), group);
        checked->setGeometry(10, 20, 200, 20);
        checked->setChecked(true);
        unchecked = new QCheckBox(QStringLiteral("Show outline"), group);
        unchecked->setGeometry(10, 42, 200, 20);
        disabled = new QCheckBox(QStringLiteral("Whole image"), group);
        disabled->setGeometry(10, 64, 200, 20);
        disabled->setChecked(true);
        disabled->setEnabled(false);
        slider = new QSlider(Qt::Horizontal, window.get());
        slider->setGeometry(10, 144, 280, 26);
        slider->setRange(0, 100);
        slider->setValue(40);
        ticked = new QSlider(Qt::Horizontal, window.get());
        ticked->setGeometry(10, 176, 280, 30);
        ticked->setRange(0, 10);
        ticked->setValue(5);
        ticked->setTickPosition(QSlider::TicksBelow);
        combo = new QComboBox(window.get());
        combo->setGeometry(10, 214, 180, 24);
        combo->addItems({QStringLiteral("Progressive"), QStringLiteral("Smoothing")});
        progress = new QProgressBar(window.get());
        progress->setGeometry(10, 250, 280, 20);
        progress->setRange(0, 100);
        progress->setValue(50);
        progress->setTextVisible(false);
        slider->setAccessibleName(QStringLiteral("Power"));
        ticked->setAccessibleName(QStringLiteral("Noise"));
        combo->setAccessibleName(QStringLiteral("Method"));
        progress->setAccessibleName(QStringLiteral("Progress"));
    }
};

class Skin : public testing::Test {
protected:
    Skin()
    {
        if (!QCoreApplication::instance())
            new QApplication(argumentCount, arguments);
        selectSkinScheme(DarkScheme);
    }
    ~Skin() override
    {
        releaseSkin();
        selectSkinScheme(0);
    }
};

TEST_F(Skin, PanelControlsAreDrawnInTheSchemeColours)
{
    Panel panel;
    applySkin(panel.window.get());
    panel.window->show();
    const QImage grab = grabOf(panel.window.get(), "panel");

    const QPoint button = panel.button->pos();
    EXPECT_EQ(pixelOf(grab, button + QPoint(5, 4)), slotRgb(15)) << "button face";
    EXPECT_EQ(pixelOf(grab, button), slotRgb(22)) << "raised edge, outer top-left";
    EXPECT_EQ(pixelOf(grab, button + QPoint(1, 1)), slotRgb(20)) << "raised edge, inner top-left";
    EXPECT_EQ(pixelOf(grab, button + QPoint(99, 25)), slotRgb(21))
        << "raised edge, outer bottom-right";
    EXPECT_EQ(brightest(grab, QRect(button, panel.button->size())), slotRgb(18));
    EXPECT_EQ(pixelOf(grab, QPoint(200, 20)), slotRgb(15)) << "the window's background";

    // The group box's etched frame starts half a text height down; its caption is grey text.
    const QPoint group = panel.group->pos();
    const int frameTop = panel.group->fontMetrics().height() / 2;
    EXPECT_EQ(pixelOf(grab, group + QPoint(0, 60)), slotRgb(16));
    EXPECT_EQ(pixelOf(grab, group + QPoint(1, 60)), slotRgb(20));
    EXPECT_EQ(pixelOf(grab, group + QPoint(200, frameTop)), slotRgb(16));
    EXPECT_EQ(pixelOf(grab, group + QPoint(200, frameTop + 1)), slotRgb(20));
    EXPECT_EQ(brightest(grab, QRect(group + QPoint(5, 0), QSize(60, frameTop * 2))), slotRgb(17));

    // Slider: a raised thumb on a sunken channel.
    QStyleOptionSlider option;
    option.initFrom(panel.slider);
    option.rect = panel.slider->rect();
    option.minimum = 0;
    option.maximum = 100;
    option.sliderPosition = 40;
    option.orientation = Qt::Horizontal;
    const QRect thumb
        = panel.slider->style()
              ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, panel.slider)
              .translated(panel.slider->pos());
    EXPECT_EQ(pixelOf(grab, thumb.center()), slotRgb(15));
    EXPECT_EQ(pixelOf(grab, thumb.topLeft()), slotRgb(22));
    EXPECT_EQ(pixelOf(grab, thumb.bottomRight()), slotRgb(21));
    const QPoint channel(panel.slider->x() + 30, thumb.center().y());
    EXPECT_EQ(pixelOf(grab, channel + QPoint(0, -2)), slotRgb(16)) << "sunken channel, top";
    // A slider with ticks below ends its thumb in a point, lit on the left, shaded on the right.
    option.rect = panel.ticked->rect();
    option.maximum = 10;
    option.sliderPosition = 5;
    option.tickPosition = QSlider::TicksBelow;
    const QRect pointed
        = panel.ticked->style()
              ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, panel.ticked)
              .translated(panel.ticked->pos());
    const int half = pointed.width() / 2;
    EXPECT_EQ(pixelOf(grab, pointed.bottomLeft()), slotRgb(15)) << "cut off by the point";
    EXPECT_EQ(pixelOf(grab, pointed.bottomLeft() + QPoint(0, -half)), slotRgb(22));
    EXPECT_EQ(pixelOf(grab, pointed.bottomLeft() + QPoint(2, -half + 1)), slotRgb(20));
    EXPECT_EQ(pixelOf(grab, pointed.bottomRight() + QPoint(-1, -half + 1)), slotRgb(21));
    EXPECT_EQ(pixelOf(grab, pointed.bottomRight() + QPoint(-2, -half + 1)), slotRgb(16));
    EXPECT_EQ(pixelOf(grab, pointed.bottomLeft() + QPoint(half, 0)), slotRgb(21)) << "the tip";
    const QRect tipped = panel.ticked->geometry();
    EXPECT_EQ(
        brightest(grab, QRect(tipped.left(), tipped.bottom() - 3, tipped.width(), 3)), slotRgb(18))
        << "tick marks";

    // Combo box: the field in the window colour, the arrow button in the face colour.
    const QRect combo = panel.combo->geometry();
    EXPECT_EQ(pixelOf(grab, combo.topLeft() + QPoint(4, 4)), slotRgb(5));
    EXPECT_EQ(pixelOf(grab, combo.topRight() + QPoint(-5, 4)), slotRgb(15));
    EXPECT_EQ(brightest(grab, combo.adjusted(2, 2, -20, -2)), slotRgb(8));

    // Progress bar: the window colour behind, the highlight for the part done.
    const QRect progress = panel.progress->geometry();
    EXPECT_EQ(pixelOf(grab, progress.topRight() + QPoint(-10, 8)), slotRgb(5));
    EXPECT_EQ(pixelOf(grab, progress.topLeft() + QPoint(10, 8)), slotRgb(13));

    EXPECT_EQ(lightPixels(grab), 0);
}

TEST_F(Skin, CheckBoxesShowTheSchemesPicturesAndGreyTextWhenDisabled)
{
    Panel panel;
    applySkin(panel.window.get());
    panel.window->show();
    QImage grab = grabOf(panel.window.get(), "checkBoxes");
    const QPoint offset = panel.group->pos();
    EXPECT_TRUE(showsPicture(grab, indicatorOf(panel.checked).translated(offset), "CHECKD_SELON"));
    EXPECT_TRUE(
        showsPicture(grab, indicatorOf(panel.unchecked).translated(offset), "CHECKD_DESON"));
    EXPECT_TRUE(
        showsPicture(grab, indicatorOf(panel.disabled).translated(offset), "CHECKD_SELOFF"));
    const QRect enabledText = panel.checked->geometry().translated(offset).adjusted(20, 0, 0, 0);
    const QRect disabledText = panel.disabled->geometry().translated(offset).adjusted(20, 0, 0, 0);
    EXPECT_EQ(brightest(grab, enabledText), slotRgb(18));
    EXPECT_EQ(brightest(grab, disabledText), slotRgb(17));

    panel.checked->setCheckState(Qt::PartiallyChecked);
    panel.unchecked->setEnabled(false);
    grab = grabOf(panel.window.get(), "checkBoxesChanged");
    EXPECT_TRUE(showsPicture(grab, indicatorOf(panel.checked).translated(offset), "CHECKD_SEMION"));
    EXPECT_TRUE(
        showsPicture(grab, indicatorOf(panel.unchecked).translated(offset), "CHECKD_DESOFF"));

    // Outside the dark schemes the light pictures.
    selectSkinScheme(0);
    panel.window->update();
    grab = grabOf(panel.window.get(), "checkBoxesLight");
    EXPECT_TRUE(showsPicture(grab, indicatorOf(panel.disabled).translated(offset), "CHECK_SELOFF"));
}

// Counts the style changes a widget goes through.
class StyleChanges : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == QEvent::StyleChange;
        return false;
    }
};

TEST_F(Skin, ATreeIsHookedOnceAndWidgetsAddedLaterAreHookedToo)
{
    Panel panel;
    applySkin(panel.window.get());
    QStyle* skin = panel.window->style();
    EXPECT_NE(skin, QApplication::style());
    const QVariant mark = panel.checked->property("WindowProc");
    ASSERT_TRUE(mark.isValid());
    for (QWidget* widget : panel.window->findChildren<QWidget*>()) {
        EXPECT_EQ(widget->style(), skin) << widget->metaObject()->className();
        EXPECT_TRUE(widget->property("WindowProc").isValid());
    }

    StyleChanges changes;
    panel.checked->installEventFilter(&changes);
    const QColor face = panel.checked->palette().color(QPalette::Button);
    applySkin(panel.window.get());
    applySkin(panel.group);
    EXPECT_EQ(changes.count, 0);
    EXPECT_EQ(panel.checked->style(), skin);
    EXPECT_EQ(panel.checked->property("WindowProc"), mark);
    EXPECT_EQ(panel.checked->palette().color(QPalette::Button), face);
    EXPECT_EQ(panel.combo->accessibleName(), QStringLiteral("Method"));

    // A control created after the skin, and the combo box's list, get it when polished.
    auto* later = new QPushButton(QStringLiteral("Later"), panel.group);
    panel.window->show();
    later->show();
    EXPECT_EQ(later->style(), skin);
    EXPECT_TRUE(later->property("WindowProc").isValid());
    panel.combo->showPopup();
    EXPECT_EQ(panel.combo->view()->style(), skin);
    EXPECT_EQ(panel.combo->view()->window()->style(), skin);
    panel.combo->hidePopup();

    // A hooked widget deleted before the release is simply gone from the registry.
    delete panel.unchecked;
    releaseSkin();
    EXPECT_EQ(later->style(), QApplication::style());
}

TEST_F(Skin, ReleaseGivesHostWidgetsTheirStyleAndPaletteBack)
{
    std::unique_ptr<QStyle> hostStyle(QStyleFactory::create(QStringLiteral("Windows")));
    ASSERT_TRUE(hostStyle);
    QWidget host; // the host's own window, lent to the skin
    host.setStyle(hostStyle.get());
    QPalette hostPalette = host.palette();
    hostPalette.setColor(QPalette::Window, QColor(250, 240, 200));
    host.setPalette(hostPalette);
    auto* hostChild = new QPushButton(QStringLiteral("Host"), &host);
    QWidget untouched; // never given to the skin
    QStyle* untouchedStyle = untouched.style();
    Panel panel;

    applySkin(&host);
    applySkin(panel.window.get());
    QPointer<QStyle> skin = host.style();
    EXPECT_NE(skin.data(), hostStyle.get());
    EXPECT_EQ(host.palette().color(QPalette::Window), QColor(250, 240, 200))
        << "a colour the widget set itself stays";
    EXPECT_EQ(hostChild->palette().color(QPalette::Button).rgb(), slotRgb(15));
    EXPECT_EQ(untouched.style(), untouchedStyle);

    releaseSkin();
    EXPECT_TRUE(skin.isNull()) << "the shared style is deleted";
    EXPECT_EQ(host.style(), hostStyle.get());
    EXPECT_EQ(host.palette(), hostPalette);
    EXPECT_TRUE(host.testAttribute(Qt::WA_SetPalette));
    EXPECT_FALSE(host.property("WindowProc").isValid());
    EXPECT_EQ(hostChild->style(), QApplication::style());
    EXPECT_FALSE(hostChild->testAttribute(Qt::WA_SetStyle));
    EXPECT_FALSE(hostChild->testAttribute(Qt::WA_SetPalette));
    EXPECT_EQ(hostChild->palette().color(QPalette::Window), QColor(250, 240, 200));
    EXPECT_EQ(panel.slider->style(), QApplication::style());
    EXPECT_FALSE(panel.slider->property("WindowProc").isValid());
    EXPECT_EQ(untouched.style(), untouchedStyle);
}

} // namespace
