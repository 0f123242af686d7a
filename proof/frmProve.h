#pragma once

#include "proof/ProofBench.h"
#include "proof/ProofQuestion.h"

#include <QWidget>

#include <atomic>
#include <optional>
#include <thread>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class RunWindowHost;
struct ModelState;

// «Доказательство свойств»: the search of every run a bench allows, with
// the choices of modelrun prove over the bench (an empty field keeps the
// bench's own), on a thread of its own while the window shows the states
// and the depth; «Отмена» stops it with no verdict. The answer is the
// command's report; a counterexample, replayed before it is shown, can be
// written as a bench for the bench runner, and «Показать» runs it in the
// diagram window with «Графики» beside it, the broken step marked.
class frmProve : public QWidget
{
    Q_OBJECT
public:
    // Opens the window in the main window's document area with the bench
    // beside the model: MODEL-prove.bench, else MODEL.bench.
    static frmProve *Open(RunWindowHost &host, ModelState &settings);
    // Without a host there is nowhere to show a run: «Показать» stays off.
    explicit frmProve(const QString &benchFile, QWidget *parent = nullptr, RunWindowHost *host = nullptr,
                      ModelState *settings = nullptr);
    ~frmProve() override;

    QLineEdit *txtBench;
    QPushButton *cmdBrowse;
    QLineEdit *txtCodes;      // "0 1 2 3"
    QCheckBox *chkFreeInput;
    QLineEdit *txtMinChange;  // a time: steps or seconds with «с»
    QComboBox *cboFaults;     // as in the bench, none, single, pairs
    QCheckBox *chkContacts;
    QLineEdit *txtTolerance;  // per cent
    QLineEdit *txtLatency;
    QLineEdit *txtResponse;
    QComboBox *cboEngine;     // explicit search, ABC, auto
    QPushButton *cmdProve;
    QPushButton *cmdCancel;
    QPushButton *cmdSave;
    QPushButton *cmdShow;
    QLabel *lblProgress;
    QPlainTextEdit *txtAnswer;

    bool Running() const { return m_worker.joinable(); }

signals:
    // The search has ended, with an answer or a message.
    void answered();

private:
    void prove();
    void finished(std::expected<ProofAnswer, QString> answer);
    void saveCounterexample();
    void showCounterexample();
    std::expected<ProofChoices, QString> choices() const;

    RunWindowHost *m_host;
    ModelState *m_settings;
    std::optional<ProofQuestion> m_question;
    std::optional<Counterexample> m_counterexample;
    std::atomic<bool> m_cancel{false};
    std::thread m_worker;
};
