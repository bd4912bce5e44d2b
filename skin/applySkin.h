#pragma once

// The dark skin on Qt widgets. applySkin hooks a window tree: every widget in it gets the skin's
// style and a palette from the colour table, and widgets added to the tree later are hooked as
// they are polished (combo-box lists, menus, panels). A hooked widget carries the dynamic
// property "WindowProc" and is never hooked twice. The style is set per widget, never on the
// application, so a host's own widgets keep their look.
//
// releaseSkin (skinColors.h) gives every hooked widget still alive its previous style and
// palette back and deletes the shared style: hooking the first widget sets its release hook.

class QWidget;

// Skins `window` and its descendants in the selected scheme's colours.
void applySkin(QWidget* window);
