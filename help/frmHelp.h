#pragma once

#include <QUrl>
#include <QWidget>

class QPushButton;
class QTextBrowser;

// The help viewer "Помощь": a separate top-level window with a row of four
// buttons above a browser showing doc/help.htm from the data folder.
// There is one viewer; every request navigates it and brings it forward.
// It stores its place under the prefix "Help".
class frmHelp : public QWidget
{
    Q_OBJECT

public:
    // "file:///" + data folder + "/doc/help.htm", with "#anchor" when an
    // anchor is given ("home", "edit", "keys").
    static QUrl HelpAddress(const QString &anchor = QString());

    // Navigates the one viewer to the address and shows it (not modal),
    // loading the viewer on first use. False, with nothing shown, when the
    // document is missing; the caller then shows its own message.
    static bool ShowHelp(const QUrl &address);

    // The open viewer, or nullptr when none is open.
    static frmHelp *Instance();

    QPushButton *cmdBack;
    QPushButton *cmdForward;
    QPushButton *cmdHome;
    QPushButton *cmdExit;
    QTextBrowser *WB;

    // Shows the document at the address in WB; false when it is missing.
    bool Navigate(const QUrl &address);

    void cmdBack_Click();
    void cmdForward_Click();
    void cmdHome_Click();
    void cmdExit_Click();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    frmHelp();
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
};
