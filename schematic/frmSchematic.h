#pragma once

#include "model/ContactFault.h"
#include "model/Fault.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

class QLabel;
class QMdiArea;
class QScrollArea;
class QTimer;
class RunRecording;
class RunSession;
class RunWindowHost;
class SchematicCanvas;

// «Схема»: the model drawn as relay-contact circuits, one window per model
// file. While a run of the model is recorded the picture follows its latest
// step, or cursor A of «Графики» when that is set; a right click on a coil
// or a contact sets its fault in the run linked to the window. It prints
// through the program's printer (a PDF beside the model when there is none)
// and exports SVG, PDF and PNG. It keeps its place under "Schematic".
class frmSchematic : public QWidget
{
    Q_OBJECT
public:
    // Opens the window of the model at modelPath (without ".mod"), or brings
    // the open one to the front. Null, after a message, when the model
    // cannot be read.
    static frmSchematic *Show(RunWindowHost &host, const QString &modelPath);

    // The run a right click on a coil or a contact sets faults in, for the
    // window of the model session runs: the run of owner (its control
    // panel) while owner lives.
    static void LinkRun(QObject *owner, RunSession &session);

    SchematicCanvas *Canvas;
    QLabel *StateLabel;

    // Takes in the state of the linked run's recording, if it moved on.
    void Refresh();
    // Reads the model and its timing again.
    bool Reload();
    void Print();
    void Export();
    // The menu of element's coil: its three faults, when a run is linked.
    void SetFault(int element, Fault fault);
    // The menu of a contact (by its number as ModelContacts numbers them):
    // «Исправен», «Не размыкается», «Не замыкается», when a run is linked.
    void SetContactFault(int contact, uint8_t kind);

private:
    frmSchematic(RunWindowHost &host, const QString &modelPath);

    void showFunction(int rung);
    void showCoilMenu(int element, QPoint globalPosition);
    void showContactMenu(int contact, QPoint globalPosition);
    void showRung(int rung);

    RunWindowHost &m_host;
    QString m_modelPath;
    QScrollArea *m_scroll;
    QTimer *m_refresh;
    std::shared_ptr<const RunRecording> m_shownRecording;
    std::vector<ContactFault> m_shownContactFaults;
    QStringList m_contactNames; // contact n at n - 1
    qint64 m_shownStep = -1;
};
