#include "model/FileChoice.h"
#include "platform/CommonDialog.h"
#include "tests/support/ScriptedPrompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

// A folder without any "." in its path, holding relay.mod, good.tim, a
// folder "x.y" with relay.mod in it, and a file "noext".
class ModelFolder
{
public:
    ModelFolder() : m_dir(QDir::tempPath() + QStringLiteral("/choose-XXXXXX"))
    {
        QDir(m_dir.path()).mkdir(QStringLiteral("x.y"));
        for (const char *name : {"relay.mod", "good.tim", "x.y/relay.mod", "noext"}) {
            QFile file(path(QLatin1String(name)));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        }
    }
    QString path(const QString &name = QString()) const { return m_dir.path() + QLatin1Char('/') + name; }
    bool usable() const { return m_dir.isValid() && !m_dir.path().contains(QLatin1Char('.')); }

private:
    QTemporaryDir m_dir;
};

FileRequest openRequest(const QString &extension, const QString &proposed)
{
    FileRequest r;
    r.kind = FileRequest::Kind::Open;
    r.filter = QStringLiteral("Файлы ") + extension + QStringLiteral(" |*.") + extension;
    r.fileName = proposed;
    r.initDir = QCoreApplication::applicationDirPath();
    return r;
}

MessageRequest missing(const QString &fileName)
{
    return {QStringLiteral("Файл ") + fileName + QStringLiteral(" не существует"), QString(),
            Prompt::Buttons::RetryCancel, Prompt::Icon::Critical, std::nullopt};
}

struct Expected
{
    QString chosenPath;
    QString modelPath;
    bool cancelled;
};

TEST(ChooseFile, DialoguesAndTheirOutcome)
{
    ModelFolder folder;
    ASSERT_TRUE(folder.usable());
    const QString dir = folder.path();
    const QString before = QStringLiteral("/earlier/model");

    struct Case
    {
        const char *name;
        QString extension;
        QString modelPath; // before the call
        std::function<void(ScriptedPrompts &)> script;
        Expected expected;
    };
    const Case cases[] = {
        {"a model chosen becomes the current one", QStringLiteral("mod"), QString(),
         [&](ScriptedPrompts &s) { s.expectFile(openRequest(QStringLiteral("mod"), QString()), dir + QStringLiteral("relay.mod")); },
         {dir + QStringLiteral("relay"), dir + QStringLiteral("relay"), false}},
        {"the name is cut at its first dot", QStringLiteral("mod"), QString(),
         [&](ScriptedPrompts &s) {
             s.expectFile(openRequest(QStringLiteral("mod"), QString()), dir + QStringLiteral("relay.old.mod"));
         },
         {dir + QStringLiteral("relay"), dir + QStringLiteral("relay"), false}},
        {"a dot in a folder cuts inside the folder; the model is set even so", QStringLiteral("mod"), QString(),
         [&](ScriptedPrompts &s) {
             s.expectFile(openRequest(QStringLiteral("mod"), QString()), dir + QStringLiteral("x.y/relay.mod"))
                 .expectMessage(missing(dir + QStringLiteral("x.mod")), Prompt::Answer::Cancel);
         },
         {dir + QStringLiteral("x"), dir + QStringLiteral("x"), true}},
        {"a name without a dot checks just the extension", QStringLiteral("mod"), before,
         [&](ScriptedPrompts &s) {
             s.expectFile(openRequest(QStringLiteral("mod"), before + QStringLiteral(".mod")),
                          dir + QStringLiteral("noext"))
                 .expectMessage(missing(QStringLiteral(".mod")), Prompt::Answer::Cancel);
         },
         {QString(), QString(), true}},
        {"retry proposes the refused model, then a good choice ends it", QStringLiteral("mod"), QString(),
         [&](ScriptedPrompts &s) {
             s.expectFile(openRequest(QStringLiteral("mod"), QString()), dir + QStringLiteral("gone.mod"))
                 .expectMessage(missing(dir + QStringLiteral("gone.mod")), Prompt::Answer::Retry)
                 .expectFile(openRequest(QStringLiteral("mod"), dir + QStringLiteral("gone.mod")),
                             dir + QStringLiteral("relay.mod"));
         },
         {dir + QStringLiteral("relay"), dir + QStringLiteral("relay"), false}},
        {"retry then cancel on the message", QStringLiteral("tim"), before,
         [&](ScriptedPrompts &s) {
             s.expectFile(openRequest(QStringLiteral("tim"), before + QStringLiteral(".tim")),
                          dir + QStringLiteral("relay.tim"))
                 .expectMessage(missing(dir + QStringLiteral("relay.tim")), Prompt::Answer::Retry)
                 .expectFile(openRequest(QStringLiteral("tim"), before + QStringLiteral(".tim")),
                             dir + QStringLiteral("relay.tim"))
                 .expectMessage(missing(dir + QStringLiteral("relay.tim")), Prompt::Answer::Cancel);
         },
         {dir + QStringLiteral("relay"), before, true}},
        {"a timing file leaves the model alone", QStringLiteral("tim"), before,
         [&](ScriptedPrompts &s) {
             s.expectFile(openRequest(QStringLiteral("tim"), before + QStringLiteral(".tim")),
                          dir + QStringLiteral("good.tim"));
         },
         {dir + QStringLiteral("good"), before, false}},
        {"cancel in the dialog changes nothing", QStringLiteral("mod"), before,
         [&](ScriptedPrompts &s) {
             s.expectFile(openRequest(QStringLiteral("mod"), before + QStringLiteral(".mod")), QString());
         },
         {QStringLiteral("untouched"), before, true}},
    };

    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ModelState state;
        state.ModelPath = c.modelPath;
        state.ChosenPath = QStringLiteral("untouched");
        CommonDialog CDL1;
        // The dialog must keep the overwrite flag of an earlier save from
        // reaching the open dialog.
        CDL1.Flags = CommonDialog::OverwritePrompt;
        bool cancelled = false;
        {
            ScriptedPrompts script;
            c.script(script);
            cancelled = !ChooseFile(state, CDL1, c.extension);
        }
        EXPECT_EQ(state.ChosenPath, c.expected.chosenPath);
        EXPECT_EQ(state.ModelPath, c.expected.modelPath);
        EXPECT_EQ(cancelled, c.expected.cancelled);
        EXPECT_EQ(CDL1.Flags, CommonDialog::HideReadOnly);
    }
}

TEST(ChooseFile, AReadableChoiceIsAYes)
{
    ModelFolder folder;
    ModelState state;
    CommonDialog CDL1;
    ScriptedPrompts script;
    script.expectFile(openRequest(QStringLiteral("mod"), QString()), folder.path(QStringLiteral("relay.mod")));
    EXPECT_TRUE(ChooseFile(state, CDL1, QStringLiteral("mod")));
    EXPECT_EQ(state.ModelPath, folder.path(QStringLiteral("relay")));
}

} // namespace
