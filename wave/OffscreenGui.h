#pragma once

#include <QGuiApplication>
#include <QTemporaryDir>

#include <memory>

// A GUI application on the offscreen platform, whatever the environment
// names: text on a QImage or an SVG needs fonts, and fonts need a GUI
// application, but nothing here needs a display. Run from a shell without a
// desktop session, it gives Qt a private runtime folder of its own rather
// than let it warn on standard error about the missing XDG_RUNTIME_DIR.
class OffscreenGui
{
public:
    explicit OffscreenGui(char *program);

private:
    // QGuiApplication keeps references to its arguments for its lifetime.
    int m_argc = 3;
    char m_option[10] = "-platform";
    char m_platform[10] = "offscreen";
    char *m_argv[4];
    std::unique_ptr<QTemporaryDir> m_runtimeFolder; // only when the session has none
    std::unique_ptr<QGuiApplication> m_application;
};
