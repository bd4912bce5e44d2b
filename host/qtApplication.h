#pragma once

// A QApplication for the module's windows while one is needed. A host that is itself a Qt
// Widgets program already has one and it is used as it is; otherwise one is made for the scope
// and deleted at its end, so nothing of Qt outlives the host's call.

class QApplication;

class ModuleApplication {
public:
    ModuleApplication();
    ~ModuleApplication();
    ModuleApplication(const ModuleApplication&) = delete;
    ModuleApplication& operator=(const ModuleApplication&) = delete;

    // False when no window can be shown: the host runs a Qt application without widgets, or
    // there is no display to connect to (Qt would end the process trying).
    bool available() const { return application != nullptr; }

private:
    QApplication* application = nullptr;
    bool owned = false;
};
