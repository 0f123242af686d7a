#pragma once

class CommonDialog;
class QMdiArea;
class QMdiSubWindow;
class QPrinter;
class QString;
class QWidget;

// What the windows of a run borrow from the window that hosts them: the
// document area they open in, the one shared file dialog, the printer the
// printer dialog set up, and the lock that keeps a second run from starting.
// The main window implements it; the run windows never see more of it.
class RunWindowHost
{
public:
    // The owner of the run's dialogs.
    virtual QWidget &hostWindow() = 0;
    // Names the current model in the host's caption.
    virtual void showModelName(const QString &name) = 0;

    virtual QMdiArea &childArea() const = 0;
    // Puts content into the document area and records it as loaded.
    virtual QMdiSubWindow *addChildWindow(QWidget *content) = 0;

    virtual CommonDialog &fileDialog() = 0;
    virtual QPrinter &printer() = 0;

    // While locked, the commands that would start another run are disabled.
    virtual void setRunLocked(bool locked) = 0;

protected:
    ~RunWindowHost() = default;
};
