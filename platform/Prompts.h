#pragma once

#include "platform/PlatformExport.h"

#include <QFont>
#include <QString>

#include <optional>

class QDialog;
class QPrinter;

// Every modal question the program asks goes through one Prompts object: the
// program installs the Qt one, tests install a scripted one that checks each
// question and gives the scripted answer. The core never shows a window.
namespace Prompt {

enum class Buttons { Ok, OkCancel, YesNo, RetryCancel };
enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Answer { Ok, Cancel, Yes, No, Retry };

} // namespace Prompt

struct MessageRequest
{
    QString text;
    QString title; // empty: the application title
    Prompt::Buttons buttons = Prompt::Buttons::Ok;
    Prompt::Icon icon = Prompt::Icon::None;
    std::optional<Prompt::Answer> defaultButton; // none: the first button

    bool operator==(const MessageRequest &) const = default;
};

struct InputRequest
{
    QString prompt;
    std::optional<QString> title; // none: the application title; an empty text: no title
    QString defaultText;

    bool operator==(const InputRequest &) const = default;
};

struct FileRequest
{
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    // Pairs of description and pattern joined by "|":
    // "Файлы модели (*.mod)|*.mod". The description is only shown; the
    // pattern chooses the files, and "*.*" is every file, with a point in
    // its name or not.
    QString filter;
    QString fileName;   // proposed name; may be empty
    QString defaultExt; // with or without the leading "."
    QString initDir;
    bool overwritePrompt = false;

    bool operator==(const FileRequest &) const = default;
};

class MODELPLATFORM_EXPORT Prompts
{
public:
    virtual ~Prompts();

    virtual Prompt::Answer message(const MessageRequest &request) = 0;
    // Cancel gives the empty text, as the user would see nothing typed.
    virtual QString input(const InputRequest &request) = 0;
    // The chosen path, or the empty text when the user gave up.
    virtual QString fileName(const FileRequest &request) = 0;
    // The printer set-up dialog on the program's printer; false on cancel.
    virtual bool printerSetup(QPrinter &printer) = 0;
    // The font dialog; nothing when the user gave up.
    virtual std::optional<QFont> font(const QFont &initial) = 0;
    // Shows one of the program's own modal windows until it is hidden.
    virtual void exec(QDialog &dialog) = 0;
    virtual void beep() = 0;
};

// The Prompts in force. Until something else is installed, the Qt dialogs.
MODELPLATFORM_EXPORT Prompts &prompts();
// Installs p (not owned); nullptr goes back to the Qt dialogs.
MODELPLATFORM_EXPORT void setPrompts(Prompts *p);
