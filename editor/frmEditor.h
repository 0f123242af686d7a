#pragma once

#include "editor/EditorText.h"
#include "platform/ChildMenus.h"
#include "platform/CommonDialog.h"

#include <QWidget>

#include <optional>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTextEdit;

// The text editor: a child window of the main window's MDI area that edits
// model files, shows reports and any other text file. While it is the active
// child, its menus stand in the main window's menu bar (ChildMenus).
//
// Closing it (its close box, "Выход", or the main window closing it) asks
// about unsaved changes and stores its place under the prefix "Edit". The
// text box keeps the objectName RichTextBox1.
class frmEditor : public QWidget, public ChildMenus
{
    Q_OBJECT

public:
    // The one editor of the area: the existing one, or a new one loaded into
    // a new sub-window with its stored place, not shown yet.
    static frmEditor &Instance(QMdiArea &area);

    explicit frmEditor(QWidget *parent = nullptr);

    // Shows the editor's sub-window (not modal) and makes it the active child.
    void ShowEditor();

    // Loads the file (full name, with extension) as Windows text. True when
    // it was read; otherwise "Ошибка ввода" was shown and the editor keeps
    // its text and file name.
    bool OpenFile(const QString &nameFile);
    // Shows a report file: code page 866 in a fixed-pitch font with the
    // diagram glyphs; saving it writes code page 866 back, byte for byte.
    bool OpenReport(const QString &nameFile);

    // When the text has unsaved changes, asks whether to save them and saves
    // on Yes. False only when the user chose to save and the save failed:
    // the text is then still unsaved and must not be replaced.
    bool CheckSave();

    // Whether the text has changed since it was loaded or saved.
    bool isModified() const;
    // The text as it is written to a file, lines ended by "\n".
    QString plainText() const;

    QList<QMenu *> menus() const override;

    QString nmF; // the full name of the file being edited; empty until one is opened
    CommonDialog fileDialog;
    QTextEdit *textBox; // RichTextBox1

public slots:
    // The commands of the editor's menus.
    void OpenDosText();
    void OpenWindowsText();
    // False when the text could not be written.
    bool Save();
    void SaveAs();
    void Exit();
    void Cut();
    void Copy();
    void Paste();
    void ChooseFont();
    // The whole text from code page 866 to Windows-1251.
    void ConvertFrom866();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void CascadeWindows();
    void TileWindows();
    void ShowHelp();

private:
    enum class Reading { Windows, Dos, Report };

    QMdiSubWindow *subWindow() const;
    QWidget &placeWindow();
    void RestorePlace();
    bool Unload();
    void buildMenus();
    template<typename Handler>
    QAction *addCommand(QMenu *menu, const QString &caption, const QKeySequence &shortcut, Handler handler);
    QMenu *addDirectCommand(const QString &caption, void (frmEditor::*handler)());
    void listChildWindows();
    // The open commands: the save question, the open dialog, then the file.
    void openChosenFile(Reading reading);
    bool load(const QString &nameFile, Reading reading);
    bool saveTo(const QString &nameFile);
    // The code page the text goes to the file in; none when the user chose
    // not to save it.
    std::optional<EditorText::CodePage> codePageToWrite(const QString &nameFile) const;
    static void putOnClipboard(const QString &text);

    EditorText::CodePage m_codePage = EditorText::CodePage::Windows1251;
    QList<QMenu *> m_menus;
    QMenu *mnuWindow = nullptr;
    QList<QAction *> m_windowList;
};
