#include "frmModtype.h"

#include "ModelState.h"
#include "RunWindowHost.h"
#include "frmDiag.h"
#include "frmWave.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>

frmModtype *frmModtype::Load(RunWindowHost &host, frmDiag &diag, ModelState &state)
{
    auto *panel = new frmModtype(diag, state);
    QMdiSubWindow *frame = host.addChildWindow(panel);
    // It goes with its diagram window, not with its own close box.
    frame->setAttribute(Qt::WA_DeleteOnClose, false);
    frame->move(0, 0);
    frame->show();
    connect(panel->cmdWaves, &QPushButton::clicked, panel, [&host] { frmWave::Show(host.childArea()); });
    return panel;
}

frmModtype::frmModtype(frmDiag &diag, ModelState &state) : m_diag(diag), m_state(state)
{
    setObjectName(QStringLiteral("frmModtype"));
    setWindowTitle(QStringLiteral("Управление"));
    setFocusPolicy(Qt::StrongFocus);
    new QHBoxLayout(this);

    const auto command = [this](const QString &key) {
        return [this, key] { m_state.KeyCmd = key; };
    };
    Command1 = addButton(QStringLiteral("Command1"), QStringLiteral("Кол 1"));
    connect(Command1, &QPushButton::clicked, this, command(QStringLiteral("!")));
    Command2 = addButton(QStringLiteral("Command2"), QStringLiteral("Код 2"));
    connect(Command2, &QPushButton::clicked, this, command(QStringLiteral("@")));
    Command3 = addButton(QStringLiteral("Command3"), QStringLiteral("Код 3"));
    connect(Command3, &QPushButton::clicked, this, command(QStringLiteral("#")));
    Command4 = addButton(QStringLiteral("Command4"), QStringLiteral("Нет кода"));
    connect(Command4, &QPushButton::clicked, this, command(QStringLiteral(")")));
    Command5 = addButton(QStringLiteral("Command5"), QStringLiteral("Пост. 0"));
    connect(Command5, &QPushButton::clicked, this, command(QStringLiteral("0")));
    Command6 = addButton(QStringLiteral("Command6"), QStringLiteral("Пост. 1"));
    connect(Command6, &QPushButton::clicked, this, command(QStringLiteral("1")));
    Command8 = addButton(QStringLiteral("Command8"), QStringLiteral("Авто"));
    connect(Command8, &QPushButton::clicked, this, command(QStringLiteral("a")));
    Комманда1 = addButton(QStringLiteral("Комманда1"), QStringLiteral("Изменения"));
    connect(Комманда1, &QPushButton::clicked, this, command(QString(QChar(27))));
    Command7 = addButton(QStringLiteral("Command7"), QStringLiteral("Скорость"));
    connect(Command7, &QPushButton::clicked, &m_diag, &frmDiag::SetSpeed);
    cmdPause = addButton(QStringLiteral("cmdPause"), QStringLiteral("Пауза"));
    connect(cmdPause, &QPushButton::clicked, this, &frmModtype::cmdPause_Click);
    cmdWaves = addButton(QStringLiteral("cmdWaves"), QStringLiteral("Графики"));
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

void frmModtype::cmdPause_Click()
{
    QTimer *timer = m_diag.Timer1;
    if (timer->isActive()) {
        timer->stop();
        cmdPause->setText(QStringLiteral("Дальше"));
    } else {
        timer->start();
        cmdPause->setText(QStringLiteral("Пауза"));
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
    m_state.KeyCmd = typed;
    m_diag.TakeFocus();
}
