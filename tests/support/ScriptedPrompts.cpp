#include "tests/support/ScriptedPrompts.h"

#include <QDialog>

#include <gtest/gtest.h>

#include <ostream>

namespace {

std::string text(const QString &s) { return s.toStdString(); }

const char *kindName(std::size_t index)
{
    static const char *names[] = {"message", "input box", "file dialog", "printer dialog", "font dialog",
                                  "window"};
    return names[index];
}

} // namespace

void PrintTo(const MessageRequest &r, std::ostream *os)
{
    *os << "message{\"" << text(r.text) << "\", title \"" << text(r.title) << "\", buttons "
        << int(r.buttons) << ", icon " << int(r.icon) << ", default "
        << (r.defaultButton ? int(*r.defaultButton) : -1) << "}";
}

void PrintTo(const InputRequest &r, std::ostream *os)
{
    *os << "input{\"" << text(r.prompt) << "\", title "
        << (r.title ? "\"" + text(*r.title) + "\"" : std::string("(the program's)")) << ", default \""
        << text(r.defaultText) << "\"}";
}

void PrintTo(const FileRequest &r, std::ostream *os)
{
    *os << "file{" << (r.kind == FileRequest::Kind::Save ? "save" : "open") << ", filter \"" << text(r.filter)
        << "\", name \"" << text(r.fileName) << "\", ext \"" << text(r.defaultExt) << "\", dir \""
        << text(r.initDir) << "\", overwrite " << r.overwritePrompt << "}";
}

ScriptedPrompts::ScriptedPrompts() { setPrompts(this); }

ScriptedPrompts::~ScriptedPrompts()
{
    setPrompts(nullptr);
    for (const Step &s : m_script)
        ADD_FAILURE() << "scripted " << kindName(s.index()) << " was never asked";
}

ScriptedPrompts &ScriptedPrompts::expectMessage(const MessageRequest &expected, Prompt::Answer answer)
{
    m_script.push_back(Message{expected, answer});
    return *this;
}

ScriptedPrompts &ScriptedPrompts::expectInput(const InputRequest &expected, const QString &answer)
{
    m_script.push_back(Input{expected, answer});
    return *this;
}

ScriptedPrompts &ScriptedPrompts::expectFile(const FileRequest &expected, const QString &answer)
{
    m_script.push_back(File{expected, answer});
    return *this;
}

ScriptedPrompts &ScriptedPrompts::expectPrinter(bool accept)
{
    m_script.push_back(Printer{accept});
    return *this;
}

ScriptedPrompts &ScriptedPrompts::expectFont(std::optional<QFont> answer)
{
    m_script.push_back(Font{std::move(answer)});
    return *this;
}

ScriptedPrompts &ScriptedPrompts::expectDialog(const QString &objectName, DialogAction action)
{
    m_script.push_back(Dialog{objectName, std::move(action)});
    return *this;
}

template<typename T>
std::optional<T> ScriptedPrompts::next(const QString &asked)
{
    m_transcript << asked;
    if (m_script.empty()) {
        ADD_FAILURE() << "unexpected question: " << text(asked);
        return std::nullopt;
    }
    if (!std::holds_alternative<T>(m_script.front())) {
        ADD_FAILURE() << "expected a " << kindName(m_script.front().index()) << ", but was asked: " << text(asked);
        m_script.pop_front();
        return std::nullopt;
    }
    T step = std::get<T>(std::move(m_script.front()));
    m_script.pop_front();
    return step;
}

Prompt::Answer ScriptedPrompts::message(const MessageRequest &request)
{
    const std::optional<Message> step = next<Message>(QStringLiteral("message: ") + request.text);
    if (!step)
        return Prompt::Answer::Cancel;
    EXPECT_EQ(request, step->expected);
    return step->answer;
}

QString ScriptedPrompts::input(const InputRequest &request)
{
    const std::optional<Input> step = next<Input>(QStringLiteral("input: ") + request.prompt);
    if (!step)
        return {};
    EXPECT_EQ(request, step->expected);
    return step->answer;
}

QString ScriptedPrompts::fileName(const FileRequest &request)
{
    const std::optional<File> step = next<File>(QStringLiteral("file: ") + request.filter);
    if (!step)
        return {};
    EXPECT_EQ(request, step->expected);
    return step->answer;
}

bool ScriptedPrompts::printerSetup(QPrinter &)
{
    const std::optional<Printer> step = next<Printer>(QStringLiteral("printer"));
    return step && step->accept;
}

std::optional<QFont> ScriptedPrompts::font(const QFont &)
{
    const std::optional<Font> step = next<Font>(QStringLiteral("font"));
    return step ? step->answer : std::nullopt;
}

void ScriptedPrompts::exec(QDialog &dialog)
{
    const std::optional<Dialog> step = next<Dialog>(QStringLiteral("window: ") + dialog.objectName());
    if (!step)
        return;
    EXPECT_EQ(text(dialog.objectName()), text(step->objectName));
    dialog.show();
    step->action(dialog);
    if (dialog.isVisible())
        dialog.hide();
}
