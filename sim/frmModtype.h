#pragma once

#include <QWidget>

struct RunState;
class QPushButton;
class frmDiag;
class RunWindowHost;

// "Управление": the control panel of a run. Its buttons put a command in
// KeyCmd, change the speed or pause the timer of the diagram window; a key
// typed here goes to KeyCmd too, and the focus returns to the diagram. The
// buttons keep their names as objectNames, given beside each.
class frmModtype : public QWidget
{
    Q_OBJECT
public:
    // Makes the panel in the host's document area at 0, 0.
    static frmModtype *Load(RunWindowHost &host, frmDiag &diag, RunState &state);

    QPushButton *code1Button;   // Command1 "Кол 1"
    QPushButton *code2Button;   // Command2 "Код 2"
    QPushButton *code3Button;   // Command3 "Код 3"
    QPushButton *noCodeButton;  // Command4 "Нет кода"
    QPushButton *steady0Button; // Command5 "Пост. 0"
    QPushButton *steady1Button; // Command6 "Пост. 1"
    QPushButton *autoButton;    // Command8 "Авто"
    QPushButton *changesButton; // Комманда1 "Изменения"
    QPushButton *speedButton;   // Command7 "Скорость"
    QPushButton *pauseButton;   // cmdPause "Пауза" / "Дальше"
    QPushButton *wavesButton;   // cmdWaves "Графики"
    QPushButton *schematicButton; // cmdSchematic "Схема"

    // "Пауза" stops the diagram's timer, "Дальше" starts it again; F8 of the
    // diagram window presses it too.
    void TogglePause();
    QWidget &Frame();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    explicit frmModtype(frmDiag &diag);
    QPushButton *addButton(const QString &name, const QString &caption);

    frmDiag &m_diag;
};
