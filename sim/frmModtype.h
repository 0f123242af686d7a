#pragma once

#include <QWidget>

struct ModelState;
class QPushButton;
class frmDiag;
class RunWindowHost;

// "Управление": the control panel of a run. Its buttons put a command in
// KeyCmd, change the speed or pause the timer of the diagram window; a key
// typed here goes to KeyCmd too, and the focus returns to the diagram.
class frmModtype : public QWidget
{
    Q_OBJECT
public:
    // Makes the panel in the host's document area at 0, 0.
    static frmModtype *Load(RunWindowHost &host, frmDiag &diag, ModelState &state);

    QPushButton *Command1; // "Кол 1"
    QPushButton *Command2; // "Код 2"
    QPushButton *Command3; // "Код 3"
    QPushButton *Command4; // "Нет кода"
    QPushButton *Command5; // "Пост. 0"
    QPushButton *Command6; // "Пост. 1"
    QPushButton *Command8; // "Авто"
    QPushButton *Комманда1; // "Изменения"
    QPushButton *Command7; // "Скорость"
    QPushButton *cmdPause; // "Пауза" / "Дальше"
    QPushButton *cmdWaves; // "Графики"

    void cmdPause_Click();
    QWidget &Frame();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    frmModtype(frmDiag &diag, ModelState &state);
    QPushButton *addButton(const QString &name, const QString &caption);

    frmDiag &m_diag;
    ModelState &m_state;
};
