#include "skin/applySkin.h"

#include "skin/skinColors.h"
#include "skin/skinStyle.h"

#include <QChildEvent>
#include <QMenu>
#include <QPalette>
#include <QPointer>
#include <QStyle>
#include <QVariant>
#include <QWidget>
#include <vector>

namespace {

constexpr char HookProperty[] = "WindowProc";

// Slots of the colour table.
constexpr int MenuSlot = 4;
constexpr int WindowSlot = 5;
constexpr int WindowText = 8;
constexpr int HighlightSlot = 13;
constexpr int HighlightText = 14;
constexpr int ButtonFace = 15;
constexpr int ButtonShadow = 16;
constexpr int GreyText = 17;
constexpr int ButtonText = 18;
constexpr int ButtonHighlight = 20;
constexpr int DarkShadow = 21;
constexpr int LightEdge = 22;
constexpr int HotTrack = 26;

// What a widget had before it was hooked, so that unhooking gives it back.
struct Hooked {
    QPointer<QWidget> widget;
    bool ownStyle; // it had a style of its own, not the application's
    QPointer<QStyle> style;
    bool ownPalette;
    QPalette palette;
};

// Hooks the children a hooked widget gets later, once they are polished: by then they are
// whole objects of their class.
class ChildHook : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

SkinStyle* sharedStyle = nullptr;
ChildHook* childHook = nullptr;
std::vector<Hooked> hookedWidgets;

QPalette skinPalette(const QWidget* widget)
{
    QPalette palette;
    auto set
        = [&](QPalette::ColorRole role, int slot) { palette.setColor(role, skinQColor(slot)); };
    set(QPalette::Window, ButtonFace);
    set(QPalette::WindowText, ButtonText);
    set(QPalette::Button, ButtonFace);
    set(QPalette::ButtonText, ButtonText);
    set(QPalette::Base, WindowSlot);
    set(QPalette::AlternateBase, MenuSlot);
    set(QPalette::Text, WindowText);
    set(QPalette::BrightText, ButtonText);
    set(QPalette::PlaceholderText, GreyText);
    set(QPalette::ToolTipBase, WindowSlot);
    set(QPalette::ToolTipText, WindowText);
    set(QPalette::Light, ButtonHighlight);
    set(QPalette::Midlight, ButtonHighlight);
    set(QPalette::Mid, ButtonShadow);
    set(QPalette::Dark, DarkShadow);
    set(QPalette::Shadow, LightEdge);
    set(QPalette::Highlight, HighlightSlot);
    set(QPalette::HighlightedText, HighlightText);
    set(QPalette::Link, HotTrack);
    set(QPalette::LinkVisited, HotTrack);
    for (const QPalette::ColorRole role :
        {QPalette::WindowText, QPalette::ButtonText, QPalette::Text, QPalette::HighlightedText})
        palette.setColor(QPalette::Disabled, role, skinQColor(GreyText));
    palette.setColor(QPalette::Disabled, QPalette::Base, skinQColor(ButtonFace));
    if (qobject_cast<const QMenu*>(widget)) {
        set(QPalette::Window, MenuSlot);
        set(QPalette::Base, MenuSlot);
        set(QPalette::Button, MenuSlot);
    }
    return palette;
}

void hookWidget(QWidget* widget)
{
    if (!sharedStyle) {
        sharedStyle = new SkinStyle;
        childHook = new ChildHook;
    }
    std::erase_if(hookedWidgets, [](const Hooked& entry) { return entry.widget.isNull(); });
    Hooked entry {widget, widget->testAttribute(Qt::WA_SetStyle), nullptr,
        widget->testAttribute(Qt::WA_SetPalette), widget->palette()};
    if (entry.ownStyle)
        entry.style = widget->style();
    widget->setProperty(HookProperty, QVariant::fromValue(static_cast<QObject*>(widget->style())));
    hookedWidgets.push_back(entry);

    widget->setStyle(sharedStyle);
    // Colours the widget set for itself stay; the skin gives every other role.
    const QPalette skin = skinPalette(widget);
    widget->setPalette(entry.ownPalette ? entry.palette.resolve(skin) : skin);
    widget->installEventFilter(childHook);
}

void hookTree(QWidget* widget)
{
    if (widget->windowType() == Qt::Desktop)
        return;
    if (!widget->property(HookProperty).isValid())
        hookWidget(widget);
    const QObjectList children = widget->children();
    for (QObject* child : children) {
        if (child->isWidgetType())
            hookTree(static_cast<QWidget*>(child));
    }
}

bool ChildHook::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::ChildPolished) {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (child && child->isWidgetType())
            hookTree(static_cast<QWidget*>(child));
    }
    return false;
}

} // namespace

void applySkin(QWidget* window)
{
    if (window)
        hookTree(window);
}

void unhookSkinnedWidgets()
{
    // Children first, so that a parent's restored palette reaches children already restored.
    for (auto entry = hookedWidgets.rbegin(); entry != hookedWidgets.rend(); ++entry) {
        QWidget* widget = entry->widget;
        if (!widget)
            continue;
        widget->removeEventFilter(childHook);
        widget->setStyle(entry->ownStyle ? entry->style.data() : nullptr);
        widget->setPalette(entry->ownPalette ? entry->palette : QPalette());
        widget->setProperty(HookProperty, QVariant());
    }
    hookedWidgets.clear();
    delete childHook;
    childHook = nullptr;
    delete sharedStyle;
    sharedStyle = nullptr;
}
