#include "app/CommandLine.h"
#include "tests/support/ScriptedPrompts.h"

#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(ProgramArguments, Table)
{
    struct Case
    {
        const char *line;
        bool help, version;
        const char *modelFile;
        const char *error; // part of the message; empty: none
    };
    const Case cases[] = {
        {"", false, false, "", ""},
        {"a.mod", false, false, "a.mod", ""},
        {"--version", false, true, "", ""},
        {"a.mod --help", true, false, "a.mod", ""},
        {"-h", true, false, "", ""},
        {"-- --help", false, false, "--help", ""},
        {"--bogus a.mod", false, false, "a.mod", "«--bogus»"},
        {"a.mod b.mod", false, false, "a.mod", "только один"},
    };
    for (const Case &c : cases) {
        const ProgramArguments parsed =
            ParseProgramArguments(QString::fromUtf8(c.line).split(QLatin1Char(' '), Qt::SkipEmptyParts));
        EXPECT_EQ(parsed.help, c.help) << c.line;
        EXPECT_EQ(parsed.version, c.version) << c.line;
        EXPECT_EQ(parsed.modelFile, QString::fromUtf8(c.modelFile)) << c.line;
        if (*c.error)
            EXPECT_TRUE(parsed.error.contains(QString::fromUtf8(c.error))) << c.line << ": " << parsed.error.toStdString();
        else
            EXPECT_TRUE(parsed.error.isEmpty()) << c.line << ": " << parsed.error.toStdString();
    }
}

TEST(OpenModelFile, BecomesTheCurrentModelOrIsReported)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile model(dir.filePath(QStringLiteral("relay.mod")));
    ASSERT_TRUE(model.open(QIODevice::WriteOnly));
    model.close();
    const QString previousFolder = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));

    for (const char *given : {"relay.mod", "relay"}) {
        ModelState state;
        QMainWindow window;
        window.setWindowTitle(QStringLiteral("Модель"));
        OpenModelFile(QString::fromUtf8(given), state, window);
        EXPECT_EQ(state.ModelPath, dir.filePath(QStringLiteral("relay"))) << given;
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Модель - relay.mod")) << given;
    }

    ModelState state;
    state.ModelPath = QStringLiteral("/earlier/model");
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Модель"));
    ScriptedPrompts prompts;
    prompts.expectMessage({QStringLiteral("Файл ") + dir.filePath(QStringLiteral("gone.mod"))
                               + QStringLiteral(" не удаётся прочитать"),
                           QString(), Prompt::Buttons::Ok, Prompt::Icon::Critical, std::nullopt},
                          Prompt::Answer::Ok);
    OpenModelFile(QStringLiteral("gone.mod"), state, window);
    EXPECT_TRUE(prompts.finished());
    EXPECT_EQ(state.ModelPath, QStringLiteral("/earlier/model"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Модель"));
    QDir::setCurrent(previousFolder);
}

} // namespace
