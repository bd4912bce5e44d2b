#pragma once

// The filter module's main window once it is on the screen, for tests that work it from the
// host's side (the module is loaded, so its classes are out of reach: it is found by name).

#include <QApplication>
#include <QWidget>

inline QWidget* shownFilterWindow()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->objectName() == QStringLiteral("Morvanclarity"))
            return window;
    return nullptr;
}
