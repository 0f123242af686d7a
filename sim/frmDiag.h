#pragma once

#include "report/OutputDevices.h"
#include "report/ReportOutput.h"
#include "sim/DiagramRows.h"
#include "sim/DiagramStep.h"
#include "sim/EndOfRun.h"
#include "sim/frmModtype.h"
#include "sim/RunSession.h"
#include "wave/LiveRecording.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class PrinterPages;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QTimer;
class Vesks;
class RunWindowHost;

// "Диаграмма": the window of one run. It owns the run's session, and its
// timer drives the steps; it asks the questions a step waits at and resumes
// it, draws the rows, owns the run's transmitter component, report output
// and printer pages, and takes the command keys. Closing it ends the run:
// the host is unlocked at once, while the object itself is deleted only
// after whatever it has open (a question, a dialogue, the set-up) has
// returned. Its widgets keep their names as objectNames: Label1 (the model
// caption), Label2 (the heading row) and Timer1 (the step timer).
class frmDiag : public QWidget, private OutputDevices, private CodeInput, public EndOfRunHost
{
    Q_OBJECT
public:
    // Makes the window as a child of the host and runs LoadWindow.
    static frmDiag *Load(RunWindowHost &host, ModelState &settings);
    ~frmDiag() override;
    // Where the diagram window stands in area, or where the next one opens.
    static QRect Place(QMdiArea &area);

    QLabel *modelCaption; // Label1
    QLabel *headingLine;  // Label2
    QTimer *stepTimer;    // Timer1

    // One step, driven by stepTimer, with its questions asked and answered;
    // nothing while a step waits for an answer.
    void ShowDiag();
    // Enables stepTimer and starts the count of steps again.
    void InitModel();
    // The speed dialog, then the timer runs again with the new interval,
    // even if it was paused.
    void SetSpeed();
    // Draws a row (code page 866) at the bottom and moves the older ones up.
    void Printto(const QByteArray &row);
    // The transmitter of this run, made on first use.
    Vesks &Vesk();

    // The control panel of this run (not modal), at the top left.
    void ShowModtype();
    frmModtype *Modtype() const { return m_modtype; }
    // "Пауза" of the control panel, also pressed by F8.
    void PressPause();
    // The keyboard focus to this window, so that command keys reach it.
    void TakeFocus();
    // The command character a key press types (ESC included); empty for
    // keys that type nothing.
    static QString TypedCharacter(const QKeyEvent &event);
    // F1: the help at "#keys", or the message that it cannot be shown.
    static void ShowKeysHelp();

    // Holds the deletion of a window closed meanwhile until the scope ends,
    // for whatever runs modal dialogues on behalf of the window (the
    // questions of a step, the speed dialog, the set-up).
    class Busy
    {
    public:
        explicit Busy(frmDiag &diag);
        ~Busy();
        Busy(const Busy &) = delete;
        Busy &operator=(const Busy &) = delete;

    private:
        frmDiag &m_diag;
    };

    // True once the window has been closed: the run is over.
    bool Unloaded() const { return m_unloaded; }
    // The frame that holds the window in the main window's document area.
    QWidget &Frame();
    const DiagramRows &Rows() const { return m_rows; }

    // The run this window shows; the run set-up loads and starts it.
    RunSession &Session() { return m_session; }
    // Marks for the recording of this run («Графики») at their steps.
    void PlanMarks(std::vector<RunRecording::Mark> marks) { m_waves.planMarks(std::move(marks)); }

    // EndOfRunHost
    RunState &State() override { return m_session.state(); }
    DiagramStep &Step() override { return m_session.diagram(); }
    ReportOutput &Output() override { return m_report; }
    void CloseWindow() override;
    void ClearWindow() override;
    void SetTimeChar(const QString &modelPath) override;
    void SaveTiming() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    frmDiag(RunWindowHost &host, ModelState &settings);

    void LoadWindow();
    void UnloadWindow();
    void LayOutLabels();
    void ControlKey(int key);
    void TypeCommand(const QString &character);
    // Asks the question a step waits at; the answer for resume().
    bool Answer(StepOutcome question);
    void ShowError(const QString &message);
    // Runs work at once, or once the step that is running ends or stops.
    void AfterStepPart(std::function<void()> work);

    // OutputDevices
    void ScreenRow(const QByteArray &row) override;
    void ScreenHeading(const QByteArray &heading) override;
    void PrinterRow(const QByteArray &row) override;
    void PrinterHeader(const ReportHeaderContent &header) override;
    void ReportError(const QString &message) override;
    // CodeInput: the transmitter component.
    int16_t WhodKod(int16_t Nkod) override;

private slots:
    void StepTimerFired();

private:

    RunWindowHost &m_host;
    ModelState &m_settings; // the speed and paths, and the output choice handed back at the end
    RunSession m_session;
    ReportOutput m_report;
    DiagramRows m_rows;
    LiveRecording m_waves; // what «Графики» shows of this run
    std::unique_ptr<Vesks> m_vesk;
    std::unique_ptr<PrinterPages> m_printer;
    QPointer<frmModtype> m_modtype;
    QTimer *m_repaint;
    bool m_unloaded = false;
    int m_busy = 0;                // open Busy scopes
    bool m_deleteWhenIdle = false; // closed while a Busy scope was open
    // While a step runs, the printer's work and the failures of the report
    // file wait, in their order, for the step to end or to stop at a
    // question: the printer may have to say where its pages go, and no
    // message box opens inside a step.
    bool m_stepRunning = false;
    std::vector<std::function<void()>> m_heldOutput;
};
