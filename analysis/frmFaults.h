#pragma once

#include "sim/RunSetup.h"
#include "analysis/FaultCampaign.h"

#include <QWidget>

#include <atomic>
#include <thread>

class FaultTable;
class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;
class RunWindowHost;

// «Анализ неисправностей»: every element with a break, then with a feed
// (with «Контакты», every contact welded, then open; with «Пары», every
// pair of them, of which the table keeps those wrong-side only together), in
// force from the first step of one scenario, each run compared with the
// fault-free run and judged by the indication levels of the bench beside the
// model, when there is one. The campaign runs on a thread of its own while
// the window shows its progress; then the table holds fault × output.
// A double click on a row opens that run in the diagram window. «Отмена»
// stops the campaign and leaves the table empty: a part of a campaign would
// pass the faults it never tried for harmless. Closing the window stops it
// too; the runs in progress see either within a few thousand steps.
class frmFaults : public QWidget
{
    Q_OBJECT
public:
    // Opens a window in the main window's document area and starts the
    // campaign of scenario (its fault is not read).
    static frmFaults *Open(RunWindowHost &host, ModelState &state, SharedModel model, const FaultRun &scenario);
    ~frmFaults() override;

    QLabel *lblScenario;
    QCheckBox *chkContacts; // contact faults too; a change starts the campaign again
    QCheckBox *chkPairs;    // pairs too, of which the table keeps the minimal wrong-side ones
    QTableView *Table;
    QProgressBar *Progress;
    QPushButton *cmdCancel;
    QLabel *lblStatus;

    bool Running() const { return m_running; }
    const FaultTable &Outcomes() const { return *m_table; }

private:
    frmFaults(RunWindowHost &host, ModelState &state, SharedModel model, const FaultRun &scenario);

    void startCampaign();
    void showProgress(qint64 done, qint64 total);
    void finished(std::vector<FaultOutcome> outcomes, bool cancelled);
    void runRow(int row);

    RunWindowHost &m_host;
    ModelState &m_state;
    SharedModel m_model;
    FaultRun m_scenario;
    FaultTable *m_table;
    OutputLevels m_levels; // of the bench beside the model, when it declares them
    QString m_levelsProblem; // what is wrong with that bench, when it cannot be read
    std::atomic<bool> m_cancel{false};
    bool m_running = false;
    std::thread m_worker;
};
