#include "app/RunCommands.h"
#include "app/frmMenu.h"
#include "model/ModelState.h"
#include "proof/frmProve.h"
#include "tests/support/ScriptedPrompts.h"
#include "tools/TestCommand.h"

#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(ProveWindow, ProvesTheBenchBesideTheModelAndWritesItsCounterexample)
{
    QTemporaryDir dir;
    for (const char *name : {"stick-relay.mod", "stick-relay.tim", "stick-relay-prove.bench"})
        ASSERT_TRUE(QFile::copy(QStringLiteral(EXAMPLES_DIR "/") + QLatin1String(name), dir.filePath(QLatin1String(name))));
    ModelState state;
    state.ModelPath = dir.filePath(QStringLiteral("stick-relay"));
    frmMenu menu(state, &programRunCommands());
    menu.show();
    ScriptedPrompts prompts;

    menu.findChild<QMenu *>(QStringLiteral("mnuModel"))->findChild<QAction *>(QStringLiteral("mnuModelProve"))->trigger();
    const QList<frmProve *> opened = menu.childArea().findChildren<frmProve *>();
    ASSERT_EQ(opened.size(), 1);
    frmProve &window = *opened.front();
    EXPECT_EQ(window.txtBench->text(), dir.filePath(QStringLiteral("stick-relay-prove.bench")));

    // A time that is none is said before anything runs.
    window.txtLatency->setText(QStringLiteral("две"));
    MessageRequest wrong;
    wrong.text = QStringLiteral("Запаздывание показания: «две» — нужно время: число шагов или секунды с «с» "
                                "(например 200 или 2с; шаг 0.01 с)");
    wrong.icon = Prompt::Icon::Exclamation;
    prompts.expectMessage(wrong, Prompt::Answer::Ok);
    window.cmdProve->click();
    EXPECT_FALSE(window.Running());
    window.txtLatency->clear();

    // ГФ still up for the step of its release when the input comes back.
    QSignalSpy answered(&window, &frmProve::answered);
    window.cmdProve->click();
    ASSERT_TRUE(answered.wait(30000));
    const QString answer = window.txtAnswer->toPlainText();
    EXPECT_TRUE(answer.startsWith(QStringLiteral("Опровергнуто"))) << answer.toStdString();
    EXPECT_NE(answer.indexOf(QStringLiteral("на шаге 54")), -1) << answer.toStdString();
    ASSERT_TRUE(window.cmdSave->isEnabled());
    // With MODEL_PROVE_SCREENSHOT set, the window is saved there as a picture.
    if (const QString shot = qEnvironmentVariable("MODEL_PROVE_SCREENSHOT"); !shot.isEmpty()) {
        EXPECT_TRUE(window.parentWidget()->grab().save(shot));
    }

    FileRequest save;
    save.kind = FileRequest::Kind::Save;
    save.filter = QStringLiteral("Испытательные стенды (*.bench)|*.bench");
    save.fileName = dir.filePath(QStringLiteral("контрпример.bench"));
    save.defaultExt = QStringLiteral("bench");
    save.overwritePrompt = true;
    const QString written = dir.filePath(QStringLiteral("cx.bench"));
    prompts.expectFile(save, written);
    window.cmdSave->click();
    EXPECT_TRUE(prompts.finished());
    std::FILE *sink = std::tmpfile();
    EXPECT_EQ(RunTestCommand({written}, sink, sink), 1);
    std::fclose(sink);
    for (QMdiSubWindow *child : menu.childArea().subWindowList())
        child->close();
}
