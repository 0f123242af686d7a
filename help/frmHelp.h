#pragma once

#include <QUrl>
#include <QWidget>

class QPushButton;
class QTextBrowser;

// The help viewer "Помощь": a separate top-level window with a row of four
// buttons above a browser showing doc/help.htm from the data folder.
// There is one viewer; every request navigates it and brings it forward.
// It stores its place under the prefix "Help". By objectName the buttons are
// cmdBack, cmdForward, cmdHome and cmdExit, the browser WB.
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

    QPushButton *backButton;    // cmdBack
    QPushButton *forwardButton; // cmdForward
    QPushButton *homeButton;    // cmdHome
    QPushButton *exitButton;    // cmdExit
    QTextBrowser *browser;      // WB

    // Shows the document at the address in the browser; false when it is missing.
    bool Navigate(const QUrl &address);


protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void GoBack();
    void GoForward();
    void GoHome();

private:
    frmHelp();
    void LoadWindow();
    void LayOutBrowser();
    void UnloadWindow();
};
