#pragma once

#include "platform/Prompts.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <variant>

// A Prompts that plays a script: every question must be the next one the
// test expects, with exactly the expected text, title, buttons, icon and
// default; it then gets the scripted answer. An unexpected question, a
// question asked differently, or a scripted one never asked fails the test.
// Installs itself for its lifetime.
class ScriptedPrompts : public Prompts
{
public:
    using DialogAction = std::function<void(QDialog &)>;

    ScriptedPrompts();
    ~ScriptedPrompts() override;

    ScriptedPrompts &expectMessage(const MessageRequest &expected, Prompt::Answer answer);
    ScriptedPrompts &expectInput(const InputRequest &expected, const QString &answer);
    ScriptedPrompts &expectFile(const FileRequest &expected, const QString &answer);
    // A printer dialog, accepted or cancelled.
    ScriptedPrompts &expectPrinter(bool accept);
    // A font dialog, answered with a font or cancelled (nullopt).
    ScriptedPrompts &expectFont(std::optional<QFont> answer);
    // One of the program's own modal windows, found by its objectName. The
    // action plays the user: it fills fields, clicks buttons, or closes the
    // window. A window still visible after the action is hidden, as the
    // close box would.
    ScriptedPrompts &expectDialog(const QString &objectName, DialogAction action);

    int beeps() const { return m_beeps; }
    // Everything asked so far, one line per question, for order checks.
    const QStringList &transcript() const { return m_transcript; }
    bool finished() const { return m_script.empty(); }

    Prompt::Answer message(const MessageRequest &request) override;
    QString input(const InputRequest &request) override;
    QString fileName(const FileRequest &request) override;
    bool printerSetup(QPrinter &printer) override;
    std::optional<QFont> font(const QFont &initial) override;
    void exec(QDialog &dialog) override;
    void beep() override { ++m_beeps; }

private:
    struct Message { MessageRequest expected; Prompt::Answer answer; };
    struct Input { InputRequest expected; QString answer; };
    struct File { FileRequest expected; QString answer; };
    struct Printer { bool accept; };
    struct Font { std::optional<QFont> answer; };
    struct Dialog { QString objectName; DialogAction action; };
    using Step = std::variant<Message, Input, File, Printer, Font, Dialog>;

    template<typename T>
    std::optional<T> next(const QString &asked);

    std::deque<Step> m_script;
    QStringList m_transcript;
    int m_beeps = 0;
};

// Readable failure output for the request types.
void PrintTo(const MessageRequest &r, std::ostream *os);
void PrintTo(const InputRequest &r, std::ostream *os);
void PrintTo(const FileRequest &r, std::ostream *os);
