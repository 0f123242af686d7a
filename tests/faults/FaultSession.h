#pragma once

// A run in the program's windows for the fault tests: the model file, the
// main window with that model chosen, and the timing questions answered.

#include "app/frmMenu.h"
#include "app/RunCommands.h"
#include "platform/CodePage.h"
#include "sim/frmDiag.h"
#include "tests/run/RunTestSupport.h"

#include <QFile>
#include <QImage>
#include <QMdiArea>
#include <QTimer>

#include <gtest/gtest.h>

// A repeater: element К follows the input, output В follows К.
inline const QString RepeaterModel = QStringLiteral("Повторитель\r\n 1 \r\nК=p\r\n 1 \r\nВ=К\r\n");

inline void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// One main window with the model folder + "/rep" chosen: the run starts
// without a file dialog.
struct FaultSession
{
    explicit FaultSession(const QString &folder) : menu(state, &programRunCommands())
    {
        state.ModelPath = folder + QStringLiteral("/rep");
        state.ToScreen = FlagTrue;
        menu.show();
    }
    ~FaultSession() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    frmDiag *Diag() const { return menu.childArea().findChild<frmDiag *>(); }
    RunState &Run() const { return Diag()->State(); }

    // Starts the run; the window, or null when the run did not start.
    frmDiag *Start()
    {
        menu.findChild<QAction *>(QStringLiteral("mnuModelTimdiag"))->trigger();
        frmDiag *diag = Diag();
        if (diag)
            diag->stepTimer->stop(); // the test steps it
        return diag;
    }

    ModelState state;
    frmMenu menu;
};

// The timing questions from the code timing to the code: times from the
// keyboard and a run of seconds given.
inline void ScriptTiming(ScriptedPrompts &prompts, const QString &seconds = QStringLiteral("10"))
{
    prompts.expectDialog(QStringLiteral("frmIndev"), [](QDialog &d) { Click(d, "cmd5"); });
    prompts.expectDialog(QStringLiteral("frmIndev"), [](QDialog &d) { Click(d, "cmdInkeyb"); });
    prompts.expectDialog(QStringLiteral("frmTimeInput"), [](QDialog &d) {
        TypeInto(d, "txtTpr", QStringLiteral("0,05"));
        TypeInto(d, "txtTotp", QStringLiteral("0,05"));
        Click(d, "Command1");
    });
    prompts.expectInput(InputRequest{QStringLiteral("Время работы схемы (c)"), QString(), QStringLiteral("01,00")},
                        seconds);
    prompts.expectMessage(Message(QStringLiteral("Сохранить данные?"), Prompt::Buttons::YesNo), Prompt::Answer::No);
    prompts.expectDialog(QStringLiteral("frmKod"), [](QDialog &d) { Click(d, "Command1"); });
}
