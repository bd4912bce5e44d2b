#include "skin/applySkin.h"

#include "skin/skinColors.h"
#include "skin/skinSlots.h"
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
    set(QPalette::Window, ButtonFaceSlot);
    set(QPalette::WindowText, ButtonTextSlot);
    set(QPalette::Button, ButtonFaceSlot);
    set(QPalette::ButtonText, ButtonTextSlot);
    set(QPalette::Base, WindowSlot);
    set(QPalette::AlternateBase, MenuSlot);
    set(QPalette::Text, WindowTextSlot);
    set(QPalette::BrightText, ButtonTextSlot);
    set(QPalette::PlaceholderText, GreyTextSlot);
    set(QPalette::ToolTipBase, WindowSlot);
    set(QPalette::ToolTipText, WindowTextSlot);
    set(QPalette::Light, ButtonHighlightSlot);
    set(QPalette::Midlight, ButtonHighlightSlot);
    set(QPalette::Mid, ButtonShadowSlot);
    set(QPalette::Dark, DarkShadowSlot);
    set(QPalette::Shadow, LightEdgeSlot);
    set(QPalette::Highlight, HighlightSlot);
    set(QPalette::HighlightedText, HighlightTextSlot);
    set(QPalette::Link, HotTrackSlot);
    set(QPalette::LinkVisited, HotTrackSlot);
    for (const QPalette::ColorRole role :
        {QPalette::WindowText, QPalette::ButtonText, QPalette::Text, QPalette::HighlightedText})
        palette.setColor(QPalette::Disabled, role, skinQColor(GreyTextSlot));
    palette.setColor(QPalette::Disabled, QPalette::Base, skinQColor(ButtonFaceSlot));
    if (qobject_cast<const QMenu*>(widget)) {
        set(QPalette::Window, MenuSlot);
        set(QPalette::Base, MenuSlot);
        set(QPalette::Button, MenuSlot);
    }
    return palette;
}

// Unhooks every hooked widget still alive and deletes the shared style: the release hook.
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

void hookWidget(QWidget* widget)
{
    if (!sharedStyle) {
        sharedStyle = new SkinStyle;
        childHook = new ChildHook;
        setSkinReleaseHook(unhookSkinnedWidgets);
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
