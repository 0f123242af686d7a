#include "app/RunCommands.h"
#include "app/frmMenu.h"
#include "model/ModelState.h"
#include "proof/frmProve.h"
#include "sim/frmDiag.h"
#include "wave/LiveRecording.h"
#include "wave/frmWave.h"
#include "tests/support/ScriptedPrompts.h"
#include "tools/TestCommand.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>

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
    // ГФ picks up 0.5 s after p falls at step 3, so at 53; Ф holds itself
    // until then, and p's return at 54 feeds it again: ВЫХ = Ф stays lit.
    EXPECT_NE(answer.indexOf(QStringLiteral("шаг     54 (   0.54 с): p↑, нарушено (выходы: ВЫХ)")), -1)
        << answer.toStdString();
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

    // «Показать»: the diagram window runs the counterexample, its input
    // planned from the steps the search chose (1 at steps 1-2, 0 from 3,
    // 1 again at 54), and asks whether to go on after the broken step.
    ASSERT_TRUE(window.cmdShow->isEnabled());
    for (const QString &message : {QStringLiteral("На входе постоянно 1. Возврат A"),
                                   QStringLiteral("На входе постоянно 0. Возврат A"),
                                   QStringLiteral("На входе постоянно 1. Возврат A")}) {
        MessageRequest key;
        key.text = message;
        prompts.expectMessage(key, Prompt::Answer::Ok);
    }
    MessageRequest goOn;
    goOn.text = QStringLiteral("Продолжать вывод?");
    goOn.title = QStringLiteral("Вывод");
    goOn.buttons = Prompt::Buttons::YesNo;
    goOn.icon = Prompt::Icon::Question;
    prompts.expectMessage(goOn, Prompt::Answer::No);
    window.cmdShow->click();
    const QList<frmDiag *> diagrams = menu.childArea().findChildren<frmDiag *>();
    ASSERT_EQ(diagrams.size(), 1);
    frmDiag &diagram = *diagrams.front();
    diagram.stepTimer->stop();
    for (int tick = 0; tick < 100 && !diagram.Unloaded(); ++tick)
        diagram.ShowDiag();
    EXPECT_TRUE(diagram.Unloaded());
    EXPECT_TRUE(prompts.finished());
    const QList<frmWave *> waves = menu.childArea().findChildren<frmWave *>();
    ASSERT_EQ(waves.size(), 1);
    if (const QString shot = qEnvironmentVariable("MODEL_PROVE_SCREENSHOT"); !shot.isEmpty()) {
        menu.resize(1280, 800);
        waves.front()->parentWidget()->setGeometry(0, 0, 1000, 420);
        waves.front()->Refresh();
        EXPECT_TRUE(menu.grab().save(QString(shot).replace(QStringLiteral(".png"), QStringLiteral("-show.png"))));
    }
    const std::shared_ptr<const RunRecording> recording = LiveRecording::last();
    ASSERT_TRUE(recording);
    EXPECT_EQ(recording->lastStep(), 55);
    EXPECT_EQ(recording->lanes()[0].steps, (std::vector<uint32_t>{0, 1, 3, 54}));
    const auto violation = std::ranges::find(recording->marks(), RunRecording::Mark::Kind::Violation,
                                             &RunRecording::Mark::kind);
    ASSERT_NE(violation, recording->marks().end());
    EXPECT_EQ(violation->step, 54);
    EXPECT_EQ(violation->text, QStringLiteral("Нарушено «никогда ГФ и p» на шаге 54 (0.54 с)"));

    // ABC finds the same shortest run.
    window.cboEngine->setCurrentIndex(1);
    window.cmdProve->click();
    ASSERT_TRUE(answered.wait(30000));
    EXPECT_NE(window.txtAnswer->toPlainText().indexOf(QStringLiteral("Нарушено «никогда ГФ и p» на шаге 54")), -1)
        << window.txtAnswer->toPlainText().toStdString();
    EXPECT_NE(window.txtAnswer->toPlainText().indexOf(QStringLiteral("(ABC, глубина 54")), -1);
    for (QMdiSubWindow *child : menu.childArea().subWindowList())
        child->close();
}
