#include "sim/frmModtype.h"

#include "model/RunState.h"
#include "platform/RunWindowHost.h"
#include "sim/frmDiag.h"
#include "schematic/frmSchematic.h"
#include "wave/frmWave.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>

frmModtype *frmModtype::Load(RunWindowHost &host, frmDiag &diag, RunState &state)
{
    auto *panel = new frmModtype(diag);
    QMdiSubWindow *frame = host.addChildWindow(panel);
    // It goes with its diagram window, not with its own close box.
    frame->setAttribute(Qt::WA_DeleteOnClose, false);
    frame->move(0, 0);
    frame->show();
    connect(panel->wavesButton, &QPushButton::clicked, panel,
            [&host] { frmWave::Show(host.childArea(), frmDiag::Place(host.childArea())); });
    connect(panel->schematicButton, &QPushButton::clicked, panel, [&host, &state] { frmSchematic::Show(host, state.ModelPath); });
    frmSchematic::LinkRun(panel, diag.Session());
    return panel;
}

frmModtype::frmModtype(frmDiag &diag) : m_diag(diag)
{
    setObjectName(QStringLiteral("frmModtype"));
    setWindowTitle(QStringLiteral("Управление"));
    setFocusPolicy(Qt::StrongFocus);
    new QHBoxLayout(this);

    const auto command = [this](const QString &key) {
        return [this, key] { m_diag.Session().send(key); };
    };
    code1Button = addButton(QStringLiteral("Command1"), QStringLiteral("Кол 1"));
    connect(code1Button, &QPushButton::clicked, this, command(QStringLiteral("!")));
    code2Button = addButton(QStringLiteral("Command2"), QStringLiteral("Код 2"));
    connect(code2Button, &QPushButton::clicked, this, command(QStringLiteral("@")));
    code3Button = addButton(QStringLiteral("Command3"), QStringLiteral("Код 3"));
    connect(code3Button, &QPushButton::clicked, this, command(QStringLiteral("#")));
    noCodeButton = addButton(QStringLiteral("Command4"), QStringLiteral("Нет кода"));
    connect(noCodeButton, &QPushButton::clicked, this, command(QStringLiteral(")")));
    steady0Button = addButton(QStringLiteral("Command5"), QStringLiteral("Пост. 0"));
    connect(steady0Button, &QPushButton::clicked, this, command(QStringLiteral("0")));
    steady1Button = addButton(QStringLiteral("Command6"), QStringLiteral("Пост. 1"));
    connect(steady1Button, &QPushButton::clicked, this, command(QStringLiteral("1")));
    autoButton = addButton(QStringLiteral("Command8"), QStringLiteral("Авто"));
    connect(autoButton, &QPushButton::clicked, this, command(QStringLiteral("a")));
    changesButton = addButton(QStringLiteral("Комманда1"), QStringLiteral("Изменения"));
    connect(changesButton, &QPushButton::clicked, this, command(QString(QChar(27))));
    speedButton = addButton(QStringLiteral("Command7"), QStringLiteral("Скорость"));
    connect(speedButton, &QPushButton::clicked, &m_diag, &frmDiag::SetSpeed);
    pauseButton = addButton(QStringLiteral("cmdPause"), QStringLiteral("Пауза"));
    connect(pauseButton, &QPushButton::clicked, this, &frmModtype::TogglePause);
    wavesButton = addButton(QStringLiteral("cmdWaves"), QStringLiteral("Графики"));
    schematicButton = addButton(QStringLiteral("cmdSchematic"), QStringLiteral("Схема"));
}

QPushButton *frmModtype::addButton(const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(name);
    // Keys typed while the panel is active reach the panel itself.
    button->setFocusPolicy(Qt::NoFocus);
    layout()->addWidget(button);
    return button;
}

QWidget &frmModtype::Frame()
{
    if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()))
        return *frame;
    return *this;
}

void frmModtype::TogglePause()
{
    QTimer *timer = m_diag.stepTimer;
    if (timer->isActive()) {
        timer->stop();
        pauseButton->setText(QStringLiteral("Дальше"));
    } else {
        timer->start();
        pauseButton->setText(QStringLiteral("Пауза"));
    }
}

void frmModtype::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1) {
        frmDiag::ShowKeysHelp();
        return;
    }
    const QString typed = frmDiag::TypedCharacter(*event);
    if (typed.isEmpty())
        return;
    m_diag.Session().send(typed);
    m_diag.TakeFocus();
}
