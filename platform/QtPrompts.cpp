#include "platform/QtPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace {

QString titleOrApplication(const QString &title)
{
    return title.isEmpty() ? QCoreApplication::applicationName() : title;
}

QWidget *parentWindow() { return QApplication::activeWindow(); }

QMessageBox::StandardButton standardButton(Prompt::Answer a)
{
    switch (a) {
    case Prompt::Answer::Ok: return QMessageBox::Ok;
    case Prompt::Answer::Cancel: return QMessageBox::Cancel;
    case Prompt::Answer::Yes: return QMessageBox::Yes;
    case Prompt::Answer::No: return QMessageBox::No;
    case Prompt::Answer::Retry: return QMessageBox::Retry;
    }
    return QMessageBox::Ok;
}

QList<Prompt::Answer> answersOf(Prompt::Buttons b)
{
    using A = Prompt::Answer;
    switch (b) {
    case Prompt::Buttons::Ok: return {A::Ok};
    case Prompt::Buttons::OkCancel: return {A::Ok, A::Cancel};
    case Prompt::Buttons::YesNo: return {A::Yes, A::No};
    case Prompt::Buttons::RetryCancel: return {A::Retry, A::Cancel};
    }
    return {A::Ok};
}

QMessageBox::Icon messageIcon(Prompt::Icon i)
{
    switch (i) {
    case Prompt::Icon::None: return QMessageBox::NoIcon;
    case Prompt::Icon::Critical: return QMessageBox::Critical;
    case Prompt::Icon::Question: return QMessageBox::Question;
    case Prompt::Icon::Exclamation: return QMessageBox::Warning;
    case Prompt::Icon::Information: return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

// A Yes/No question must be answered: Esc and the close button do nothing,
// since a guessed "No" could throw away edits or end a run, and Esc is also
// the run's stop key, easily pressed just as the box comes up. (Left to
// itself, Qt would take the No button for the escape button.)
class PromptBox : public QMessageBox
{
public:
    PromptBox(bool answerRequired, Icon icon, const QString &title, const QString &text, QWidget *parent)
        : QMessageBox(icon, title, text, NoButton, parent), m_answerRequired(answerRequired)
    {
        if (answerRequired)
            setWindowFlag(Qt::WindowCloseButtonHint, false);
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (m_answerRequired && event->matches(QKeySequence::Cancel))
            return;
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent *event) override
    {
        if (m_answerRequired)
            event->ignore();
        else
            QMessageBox::closeEvent(event);
    }

private:
    bool m_answerRequired;
};

} // namespace

Prompt::Answer QtPrompts::message(const MessageRequest &request)
{
    const bool answerRequired = request.buttons == Prompt::Buttons::YesNo;
    PromptBox box(answerRequired, messageIcon(request.icon), titleOrApplication(request.title), request.text,
                  parentWindow());
    const QList<Prompt::Answer> answers = answersOf(request.buttons);
    for (Prompt::Answer a : answers)
        box.addButton(standardButton(a));
    box.setDefaultButton(standardButton(request.defaultButton.value_or(answers.first())));
    // Otherwise Esc and the close button answer Cancel, or OK when it is the
    // only button.
    if (!answerRequired)
        box.setEscapeButton(box.button(standardButton(answers.last())));
    const int clicked = box.exec();
    for (Prompt::Answer a : answers)
        if (clicked == standardButton(a))
            return a;
    return answers.last();
}

QString QtPrompts::input(const InputRequest &request)
{
    bool ok = false;
    const QString title = request.title.value_or(QCoreApplication::applicationName());
    const QString text = QInputDialog::getText(parentWindow(), title, request.prompt,
                                               QLineEdit::Normal, request.defaultText, &ok);
    return ok ? text : QString();
}

QStringList QtPrompts::qtNameFilters(const QString &filter)
{
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (patterns == QLatin1String("*.*"))
            patterns = QStringLiteral("*"); // Qt would want a point in the name
        // The dialog takes its patterns from the last parentheses and, with
        // its filter details hidden, shows what comes before them.
        const QString caption = description.contains(QLatin1Char('('))
                                    ? description
                                    : description + QLatin1String(" (") + parts[i + 1].trimmed() + QLatin1Char(')');
        result << caption + QLatin1String(" (") + patterns + QLatin1Char(')');
    }
    return result;
}

QString QtPrompts::fileName(const FileRequest &request)
{
    QFileDialog dialog(parentWindow());
    const bool save = request.kind == FileRequest::Kind::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(qtNameFilters(request.filter));
    QString suffix = request.defaultExt;
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    if (!request.initDir.isEmpty())
        dialog.setDirectory(request.initDir);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

bool QtPrompts::printerSetup(QPrinter &printer)
{
    QPrintDialog dialog(&printer, parentWindow());
    return dialog.exec() == QDialog::Accepted;
}

std::optional<QFont> QtPrompts::font(const QFont &initial)
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, parentWindow());
    if (!ok)
        return std::nullopt;
    return chosen;
}

void QtPrompts::exec(QDialog &dialog) { dialog.exec(); }

void QtPrompts::beep() { QApplication::beep(); }
