#include "editor/frmEditor.h"

#include "editor/MdiArrange.h"
#include "editor/ModelCheckPanel.h"
#include "help/frmHelp.h"
#include "platform/CodePage.h"
#include "platform/Prompts.h"
#include "platform/Settings.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include <functional>

namespace {

const QString kPlacePrefix = QStringLiteral("Edit");
const QString kInitialCaption = QStringLiteral("Текстовый редактор");
const QString kOpenFilter = QStringLiteral("Все (*.*)|*.*|Модель (*.mod)|*.mod|RTF (*.rtf)|*.rtf");
// Overwrite prompt, no read-only box, help button, existing paths, long names.
constexpr int32_t kFileDialogFlags = 0x200816;

QFont initialFont()
{
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    return font;
}

// Reports are rows of box-drawing cells that only line up in a fixed-pitch font.
QFont reportFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFamilies({QStringLiteral("DejaVu Sans Mono"), font.family()});
    font.setPointSize(10);
    return font;
}

// The text edit ends paragraphs with U+2029 and lines broken inside a
// paragraph (Shift+Enter) with U+2028; in a file both are a line end.
QString paragraphsAsLineFeeds(QString text)
{
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

void showMessage(const QString &text, Prompt::Icon icon)
{
    prompts().message({text, QString(), Prompt::Buttons::Ok, icon, std::nullopt});
}

} // namespace

frmEditor &frmEditor::Instance(QMdiArea &area)
{
    for (QMdiSubWindow *sub : area.subWindowList())
        if (auto *editor = qobject_cast<frmEditor *>(sub->widget()))
            return *editor;
    auto *editor = new frmEditor;
    area.addSubWindow(editor);
    editor->RestorePlace();
    return *editor;
}

frmEditor::frmEditor(QWidget *parent)
    : QWidget(parent)
    , textBox(new QTextEdit(this))
{
    setObjectName(QStringLiteral("frmEditor"));
    setWindowTitle(kInitialCaption);
    textBox->setObjectName(QStringLiteral("RichTextBox1"));
    textBox->setAcceptRichText(false);
    textBox->setLineWrapMode(QTextEdit::NoWrap);
    textBox->setFont(initialFont());
    // The layout keeps the text field filling the window on every resize.
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(textBox);
    setFocusProxy(textBox);
    textBox->installEventFilter(this);
    buildMenus();
}

bool frmEditor::eventFilter(QObject *watched, QEvent *event)
{
    // The text field would take the clipboard keys for itself, and its own
    // cut ignores an empty selection; the keys go to the menu commands instead.
    if (watched == textBox && event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Cut) || key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Paste))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmEditor::buildMenus()
{
    auto *mnuFile = new QMenu(QStringLiteral("&Файл"), this);
    addCommand(mnuFile, QStringLiteral("Открыть &Dos текст"), {}, &frmEditor::OpenDosText);
    addCommand(mnuFile, QStringLiteral("Открыть &Windows текст"), {}, &frmEditor::OpenWindowsText);
    addCommand(mnuFile, QStringLiteral("Сохранить"), QKeySequence(Qt::CTRL | Qt::Key_S),
               [](frmEditor *e) { e->Save(); });
    addCommand(mnuFile, QStringLiteral("Сохранить как"), QKeySequence(Qt::Key_F12), &frmEditor::SaveAs);
    addCommand(mnuFile, QStringLiteral("Проверить модель"), QKeySequence(Qt::Key_F7),
               [](frmEditor *e) { ShowModelCheck(*e, *e->textBox, e->nmF); });
    mnuFile->addSeparator();
    addCommand(mnuFile, QStringLiteral("Выход"), QKeySequence(Qt::CTRL | Qt::Key_Q), &frmEditor::Exit);

    auto *mnuEdit = new QMenu(QStringLiteral("&Редактирование"), this);
    addCommand(mnuEdit, QStringLiteral("Вырезать"), QKeySequence(Qt::CTRL | Qt::Key_X), &frmEditor::Cut);
    addCommand(mnuEdit, QStringLiteral("Копировать"), QKeySequence(Qt::CTRL | Qt::Key_C), &frmEditor::Copy);
    addCommand(mnuEdit, QStringLiteral("Вставить"), QKeySequence(Qt::CTRL | Qt::Key_V), &frmEditor::Paste);

    QMenu *mnuFont = addDirectCommand(QStringLiteral("&Шрифт"), &frmEditor::ChooseFont);

    mnuWindow = new QMenu(QStringLiteral("&Окно"), this);
    addCommand(mnuWindow, QStringLiteral("&Каскад"), {}, &frmEditor::CascadeWindows);
    addCommand(mnuWindow, QStringLiteral("&Мозайка"), {}, &frmEditor::TileWindows);
    connect(mnuWindow, &QMenu::aboutToShow, this, &frmEditor::listChildWindows);

    QMenu *mnuConverter = addDirectCommand(QStringLiteral("866-2151"), &frmEditor::ConvertFrom866);
    QMenu *mnuHelp = addDirectCommand(QStringLiteral("&?"), &frmEditor::ShowHelp);

    m_menus = {mnuFile, mnuEdit, mnuFont, mnuWindow, mnuConverter, mnuHelp};
}

template<typename Handler>
QAction *frmEditor::addCommand(QMenu *menu, const QString &caption, const QKeySequence &shortcut, Handler handler)
{
    QAction *action = menu->addAction(caption);
    action->setShortcut(shortcut);
    // The shortcuts work while the focus is in the editor, so they never
    // compete with the main window's own (Ctrl+Q there closes the program).
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(action);
    connect(action, &QAction::triggered, this, [this, handler] { std::invoke(handler, this); });
    return action;
}

QMenu *frmEditor::addDirectCommand(const QString &caption, void (frmEditor::*handler)())
{
    // A menu bar entry without a drop-down runs its command when clicked: the
    // menu's own action loses its drop-down and triggers the command instead.
    auto *menu = new QMenu(caption, this);
    QAction *action = menu->menuAction();
    action->setMenu(static_cast<QMenu *>(nullptr));
    connect(action, &QAction::triggered, this, handler);
    return menu;
}

QList<QMenu *> frmEditor::menus() const { return m_menus; }

void frmEditor::listChildWindows()
{
    qDeleteAll(m_windowList);
    m_windowList.clear();
    QMdiSubWindow *own = subWindow();
    QMdiArea *area = own ? own->mdiArea() : nullptr;
    if (!area)
        return;
    m_windowList << mnuWindow->addSeparator();
    const QList<QMdiSubWindow *> children = area->subWindowList();
    for (QMdiSubWindow *child : children) {
        QAction *entry = mnuWindow->addAction(child->windowTitle());
        entry->setCheckable(true);
        entry->setChecked(child == area->activeSubWindow());
        connect(entry, &QAction::triggered, area, [area, child] { area->setActiveSubWindow(child); });
        m_windowList << entry;
    }
}

QMdiSubWindow *frmEditor::subWindow() const { return qobject_cast<QMdiSubWindow *>(parentWidget()); }

QWidget &frmEditor::placeWindow()
{
    QMdiSubWindow *sub = subWindow();
    return sub ? static_cast<QWidget &>(*sub) : *this;
}

void frmEditor::RestorePlace() { Settings::RestoreWindowPlace(placeWindow(), kPlacePrefix); }

void frmEditor::ShowEditor()
{
    QWidget &window = placeWindow();
    window.show();
    if (QMdiSubWindow *sub = subWindow(); sub && sub->mdiArea())
        sub->mdiArea()->setActiveSubWindow(sub);
    textBox->setFocus();
}

bool frmEditor::isModified() const { return textBox->document()->isModified(); }

QString frmEditor::plainText() const { return paragraphsAsLineFeeds(textBox->document()->toRawText()); }

bool frmEditor::OpenFile(const QString &nameFile) { return load(nameFile, Reading::Windows); }

bool frmEditor::OpenReport(const QString &nameFile)
{
    textBox->setFont(reportFont());
    return load(nameFile, Reading::Report);
}

bool frmEditor::load(const QString &nameFile, Reading reading)
{
    const FileResult<QByteArray> bytes = EditorText::readFile(nameFile);
    if (!bytes) {
        showMessage(bytes.error(), Prompt::Icon::Exclamation);
        return false;
    }
    switch (reading) {
    case Reading::Windows:
        textBox->setPlainText(EditorText::decodeWindowsText(*bytes));
        m_codePage = EditorText::windowsTextCodePage(*bytes);
        break;
    case Reading::Dos:
        textBox->setPlainText(EditorText::decodeDosText(*bytes));
        m_codePage = EditorText::CodePage::Windows1251;
        break;
    case Reading::Report:
        textBox->setPlainText(EditorText::decodeReport(*bytes));
        m_codePage = EditorText::CodePage::Dos866;
        break;
    }
    textBox->document()->setModified(false);
    nmF = nameFile;
    setWindowTitle(nmF);
    return true;
}

void frmEditor::openChosenFile(Reading reading)
{
    if (!CheckSave())
        return;
    fileDialog.Filter = kOpenFilter;
    fileDialog.Flags = kFileDialogFlags;
    if (fileDialog.ShowOpen())
        load(fileDialog.FileName, reading);
}

void frmEditor::OpenWindowsText() { openChosenFile(Reading::Windows); }

void frmEditor::OpenDosText() { openChosenFile(Reading::Dos); }

bool frmEditor::Save() { return saveTo(nmF); }

void frmEditor::SaveAs()
{
    fileDialog.Flags = kFileDialogFlags;
    if (!fileDialog.ShowSave())
        return;
    if (saveTo(fileDialog.FileName))
        nmF = fileDialog.FileName;
}

bool frmEditor::saveTo(const QString &nameFile)
{
    if (nameFile.isEmpty()) {
        showMessage(QStringLiteral("Текст не сохранен: файл не выбран. Выберите его командой «Сохранить как»."),
                    Prompt::Icon::Exclamation);
        return false;
    }
    const std::optional<EditorText::CodePage> codePage = codePageToWrite(nameFile);
    if (!codePage)
        return false;
    QString reason;
    if (!EditorText::writeFile(nameFile, EditorText::encode(plainText(), *codePage), &reason)) {
        showMessage(QStringLiteral("Файл %1 не сохранен: %2. Текст остался в редакторе.").arg(nameFile, reason),
                    Prompt::Icon::Exclamation);
        return false;
    }
    m_codePage = *codePage;
    textBox->document()->setModified(false);
    return true;
}

std::optional<EditorText::CodePage> frmEditor::codePageToWrite(const QString &nameFile) const
{
    if (m_codePage != EditorText::CodePage::Windows1251)
        return m_codePage;
    const QString text = plainText();
    const std::optional<::CodePage::MissingCharacter> missing = ::CodePage::firstOutsideWindows1251(text);
    if (!missing)
        return m_codePage;
    const qsizetype line = text.left(missing->position).count(QLatin1Char('\n')) + 1;
    // Written as Windows-1251 the character would silently become "?".
    const Prompt::Answer answer = prompts().message(
        {QStringLiteral("Файл %1: в строке %2 есть символ «%3», которого нет в кодировке Windows-1251. "
                        "Сохранить файл в кодировке UTF-8?")
             .arg(nameFile, QString::number(line), missing->character),
         QString(), Prompt::Buttons::OkCancel, Prompt::Icon::Exclamation, std::nullopt});
    if (answer != Prompt::Answer::Ok)
        return std::nullopt;
    return EditorText::CodePage::Utf8;
}

bool frmEditor::CheckSave()
{
    if (!isModified())
        return true;
    const Prompt::Answer answer = prompts().message({QStringLiteral("Вы не сохранили свои изменения! Хотите сохранить?"),
                                                     QStringLiteral("Привет!"), Prompt::Buttons::YesNo,
                                                     Prompt::Icon::Exclamation, std::nullopt});
    return answer != Prompt::Answer::Yes || Save();
}

void frmEditor::Exit() { placeWindow().close(); }

void frmEditor::putOnClipboard(const QString &text) { QApplication::clipboard()->setText(text); }

void frmEditor::Copy()
{
    putOnClipboard(paragraphsAsLineFeeds(textBox->textCursor().selectedText()));
}

void frmEditor::Cut()
{
    QTextCursor cursor = textBox->textCursor();
    putOnClipboard(paragraphsAsLineFeeds(cursor.selectedText()));
    if (cursor.hasSelection()) {
        cursor.removeSelectedText();
        textBox->setTextCursor(cursor);
    }
}

void frmEditor::Paste() { textBox->insertPlainText(QApplication::clipboard()->text()); }

void frmEditor::ChooseFont()
{
    const std::optional<QFont> chosen = prompts().font(textBox->font());
    if (!chosen)
        return;
    // The text is plain, so its characters carry no font of their own: the
    // field's font is the font of the whole text.
    textBox->setFont(*chosen);
    QTextCursor cursor = textBox->textCursor();
    cursor.movePosition(QTextCursor::Start);
    textBox->setTextCursor(cursor);
}

void frmEditor::CascadeWindows()
{
    if (QMdiSubWindow *sub = subWindow(); sub && sub->mdiArea())
        sub->mdiArea()->cascadeSubWindows();
}

void frmEditor::TileWindows()
{
    if (QMdiSubWindow *sub = subWindow(); sub && sub->mdiArea())
        MdiArrange::tileVertically(*sub->mdiArea());
}

void frmEditor::ConvertFrom866()
{
    QTextCursor cursor(textBox->document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(EditorText::convertFrom866(plainText()));
}

void frmEditor::ShowHelp()
{
    if (!frmHelp::ShowHelp(frmHelp::HelpAddress(QStringLiteral("edit"))))
        showMessage(QStringLiteral("Для работы справки установите Internet Explorer 4.0 или выше"),
                    Prompt::Icon::Information);
}

bool frmEditor::Unload()
{
    if (!CheckSave())
        return false;
    Settings::SaveWindowPlace(placeWindow(), kPlacePrefix);
    return true;
}

void frmEditor::closeEvent(QCloseEvent *event)
{
    if (Unload())
        event->accept();
    else
        event->ignore();
}
