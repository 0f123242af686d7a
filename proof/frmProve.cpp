#include "proof/frmProve.h"

#include "analysis/InjectionRange.h"
#include "check/LoadedBench.h"
#include "model/ModelState.h"
#include "platform/Prompts.h"
#include "platform/RunWindowHost.h"
#include "proof/CounterexampleBreach.h"
#include "proof/CounterexampleFile.h"
#include "proof/ProofEngines.h"
#include "proof/ProofReport.h"
#include "sim/RunSetup.h"
#include "sim/frmDiag.h"
#include "wave/frmWave.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>
#include <tuple>

namespace {

void Tell(const QString &text)
{
    MessageRequest request;
    request.text = text;
    request.icon = Prompt::Icon::Exclamation;
    prompts().message(request);
}

} // namespace

frmProve *frmProve::Open(RunWindowHost &host, ModelState &settings)
{
    const QString prove = settings.ModelPath + QStringLiteral("-prove.bench");
    auto *window = new frmProve(QFileInfo::exists(prove) ? prove : settings.ModelPath + QStringLiteral(".bench"), nullptr,
                                &host, &settings);
    QMdiSubWindow *frame = host.addChildWindow(window);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->resize(QSize(760, 560).boundedTo(host.childArea().viewport()->size()).expandedTo(frame->minimumSizeHint()));
    frame->show();
    return window;
}

frmProve::frmProve(const QString &benchFile, QWidget *parent, RunWindowHost *host, ModelState *settings)
    : QWidget(parent), m_host(host), m_settings(settings)
{
    setObjectName(QStringLiteral("frmProve"));
    setWindowTitle(QStringLiteral("Доказательство свойств"));
    const auto named = [](auto *widget, const char *name) {
        widget->setObjectName(QLatin1String(name));
        return widget;
    };
    txtBench = named(new QLineEdit(benchFile), "txtBench");
    cmdBrowse = named(new QPushButton(QStringLiteral("Обзор…")), "cmdBrowse");
    txtCodes = named(new QLineEdit, "txtCodes");
    txtCodes->setPlaceholderText(QStringLiteral("как в стенде (по умолчанию 0 1 2 3)"));
    chkFreeInput = named(new QCheckBox(QStringLiteral("Вход p свободный: 0 или 1 на каждом шаге")), "chkFreeInput");
    txtMinChange = named(new QLineEdit, "txtMinChange");
    txtMinChange->setPlaceholderText(QStringLiteral("как в стенде, например 1с"));
    cboFaults = named(new QComboBox, "cboFaults");
    cboFaults->addItems({QStringLiteral("как в стенде"), QStringLiteral("нет"), QStringLiteral("одиночные"),
                         QStringLiteral("пары")});
    chkContacts = named(new QCheckBox(QStringLiteral("Неисправности и контактов")), "chkContacts");
    txtTolerance = named(new QLineEdit, "txtTolerance");
    txtTolerance->setPlaceholderText(QStringLiteral("как в стенде, например 10"));
    txtLatency = named(new QLineEdit, "txtLatency");
    txtLatency->setPlaceholderText(QStringLiteral("как в стенде, например 2с"));
    txtResponse = named(new QLineEdit, "txtResponse");
    txtResponse->setPlaceholderText(QStringLiteral("как в стенде"));
    cboEngine = named(new QComboBox, "cboEngine");
    cboEngine->addItems({QStringLiteral("перебор состояний"), QStringLiteral("ABC (berkeley-abc)"),
                         QStringLiteral("перебор, а для большого вопроса ABC")});
    cmdProve = named(new QPushButton(QStringLiteral("Доказать")), "cmdProve");
    cmdCancel = named(new QPushButton(QStringLiteral("Отмена")), "cmdCancel");
    cmdCancel->setEnabled(false);
    cmdSave = named(new QPushButton(QStringLiteral("Записать контрпример…")), "cmdSave");
    cmdSave->setEnabled(false);
    cmdShow = named(new QPushButton(QStringLiteral("Показать")), "cmdShow");
    cmdShow->setToolTip(QStringLiteral("Прогон контрпримера в окне «Диаграмма» и «Графики» с отмеченным нарушением"));
    cmdShow->setEnabled(false);
    lblProgress = named(new QLabel, "lblProgress");
    txtAnswer = named(new QPlainTextEdit, "txtAnswer");
    txtAnswer->setReadOnly(true);
    txtAnswer->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtAnswer->setFont(QFont(QStringLiteral("DejaVu Sans Mono")));

    auto *benchRow = new QHBoxLayout;
    benchRow->addWidget(txtBench, 1);
    benchRow->addWidget(cmdBrowse);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Стенд:"), benchRow);
    form->addRow(QStringLiteral("Коды:"), txtCodes);
    form->addRow(QString(), chkFreeInput);
    form->addRow(QStringLiteral("Смена кода не чаще:"), txtMinChange);
    form->addRow(QStringLiteral("Неисправности:"), cboFaults);
    form->addRow(QString(), chkContacts);
    form->addRow(QStringLiteral("Допуск времён реле, %:"), txtTolerance);
    form->addRow(QStringLiteral("Запаздывание показания:"), txtLatency);
    form->addRow(QStringLiteral("Отклик:"), txtResponse);
    form->addRow(QStringLiteral("Движок:"), cboEngine);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdProve);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(lblProgress, 1);
    buttons->addWidget(cmdShow);
    buttons->addWidget(cmdSave);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(txtAnswer, 1);

    connect(cmdBrowse, &QPushButton::clicked, this, [this] {
        FileRequest request;
        request.filter = QStringLiteral("Испытательные стенды (*.bench)|*.bench");
        request.fileName = txtBench->text();
        request.defaultExt = QStringLiteral("bench");
        if (const QString chosen = prompts().fileName(request); !chosen.isEmpty())
            txtBench->setText(chosen);
    });
    connect(cmdProve, &QPushButton::clicked, this, &frmProve::prove);
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        m_cancel = true;
        cmdCancel->setEnabled(false);
    });
    connect(cmdSave, &QPushButton::clicked, this, &frmProve::saveCounterexample);
    connect(cmdShow, &QPushButton::clicked, this, &frmProve::showCounterexample);
}

frmProve::~frmProve()
{
    // The thread posts to this window until it ends; what it posted after
    // that goes with the window.
    m_cancel = true;
    if (m_worker.joinable())
        m_worker.join();
}

std::expected<ProofChoices, QString> frmProve::choices() const
{
    ProofChoices choices;
    if (const QString codes = txtCodes->text().trimmed(); !codes.isEmpty()) {
        const auto list = ParseCodeList(QStringLiteral("Коды"), codes);
        if (!list)
            return std::unexpected(list.error());
        choices.codes = *list;
    }
    if (chkFreeInput->isChecked())
        choices.freeInput = true;
    for (const auto &[field, name, target] :
         {std::tuple{txtMinChange, QStringLiteral("Смена кода не чаще"), &ProofChoices::minChangeSteps},
          std::tuple{txtLatency, QStringLiteral("Запаздывание показания"), &ProofChoices::latencySteps},
          std::tuple{txtResponse, QStringLiteral("Отклик"), &ProofChoices::responseSteps}}) {
        if (field->text().trimmed().isEmpty())
            continue;
        const std::expected<qint64, QString> steps = ParseDuration(name, field->text());
        if (!steps)
            return std::unexpected(steps.error());
        choices.*target = *steps;
    }
    if (cboFaults->currentIndex() > 0)
        choices.faults = ProofQuestion::Faults(cboFaults->currentIndex() - 1);
    if (chkContacts->isChecked())
        choices.contacts = true;
    if (const QString tolerance = txtTolerance->text().trimmed(); !tolerance.isEmpty()) {
        const auto percent = ParseTolerance(QStringLiteral("Допуск"), tolerance);
        if (!percent)
            return std::unexpected(percent.error());
        choices.tolerancePercent = *percent;
    }
    choices.memoryBytes = qint64(4) << 30;
    choices.jobs = int(std::max(1u, std::thread::hardware_concurrency()));
    return choices;
}

void frmProve::prove()
{
    const auto chosen = choices();
    if (!chosen) {
        Tell(chosen.error());
        return;
    }
    const auto bench = LoadBench(txtBench->text());
    if (!bench) {
        Tell(bench.error());
        return;
    }
    auto question = QuestionFromBench(*bench, *chosen);
    if (!question) {
        Tell(question.error());
        return;
    }
    m_question = std::move(*question);
    m_counterexample.reset();
    m_cancel = false;
    cmdProve->setEnabled(false);
    cmdCancel->setEnabled(true);
    cmdSave->setEnabled(false);
    cmdShow->setEnabled(false);
    txtAnswer->clear();
    lblProgress->setText(QStringLiteral("Идёт поиск…"));
    m_worker = std::thread([this, question = *m_question, engine = ProofEngine(cboEngine->currentIndex())] {
        auto answer = ProveWith(
            engine, question,
            [this](const ProofProgress &progress) {
                QMetaObject::invokeMethod(
                    this,
                    [this, progress] {
                        lblProgress->setText(QStringLiteral("состояний %1, глубина %2").arg(progress.states).arg(progress.depth));
                    },
                    Qt::QueuedConnection);
            },
            &m_cancel);
        // Shared, as a queued call copies what it carries.
        auto result = std::make_shared<std::expected<ProofAnswer, QString>>(std::move(answer));
        QMetaObject::invokeMethod(this, [this, result] { finished(std::move(*result)); }, Qt::QueuedConnection);
    });
}

void frmProve::finished(std::expected<ProofAnswer, QString> answer)
{
    m_worker.join();
    cmdProve->setEnabled(true);
    cmdCancel->setEnabled(false);
    lblProgress->clear();
    if (!answer) {
        txtAnswer->setPlainText(answer.error());
        emit answered();
        return;
    }
    std::optional<SignalTrace> trace;
    if (answer->counterexample) {
        const auto replayed = ReplayCounterexample(*m_question, *answer->counterexample);
        const auto run = replayed ? RunCounterexample(*m_question, *answer->counterexample)
                                  : std::expected<SignalTrace, QString>(std::unexpected(replayed.error()));
        if (!run) {
            txtAnswer->setPlainText(QStringLiteral("Внутренняя ошибка: %1").arg(run.error()));
            emit answered();
            return;
        }
        trace = *run;
        m_counterexample = answer->counterexample;
        cmdSave->setEnabled(true);
        cmdShow->setEnabled(m_host != nullptr);
    }
    txtAnswer->setPlainText(ProofReportLines(*m_question, *answer, trace ? &*trace : nullptr).join(QLatin1Char('\n')));
    emit answered();
}

void frmProve::saveCounterexample()
{
    FileRequest request;
    request.kind = FileRequest::Kind::Save;
    request.filter = QStringLiteral("Испытательные стенды (*.bench)|*.bench");
    request.fileName = QFileInfo(m_question->benchFile).dir().filePath(QStringLiteral("контрпример.bench"));
    request.defaultExt = QStringLiteral("bench");
    request.overwritePrompt = true;
    const QString file = prompts().fileName(request);
    if (file.isEmpty())
        return;
    if (const auto written = WriteCounterexampleBench(*m_question, *m_counterexample, file); !written)
        Tell(written.error());
}

void frmProve::showCounterexample()
{
    if (RunOpen(*m_host)) {
        Tell(QStringLiteral("Идёт прогон: закройте окно «Диаграмма», чтобы показать контрпример."));
        return;
    }
    const ProofQuestion &question = *m_question;
    const Counterexample &counterexample = *m_counterexample;
    const RunScenario scenario = CounterexampleScenario(question, counterexample);
    PlannedRun run;
    run.model = question.model;
    run.timing = counterexample.timing;
    // The diagram asks whether to go on right after the broken step.
    run.timing.RunLength = int32_t(counterexample.steps());
    run.codeTiming = question.codeTiming;
    run.code = scenario.code;
    run.keys.assign(scenario.keys.begin(), scenario.keys.end());
    run.faults.assign(scenario.faults.begin(), scenario.faults.end());
    // The replay has checked that the run breaks; FirstBreach says over
    // which steps.
    const auto breach = FirstBreach(question, counterexample);
    const qint64 from = breach && *breach ? (*breach)->firstStep : counterexample.steps();
    const bool span = from < counterexample.steps();
    run.marks.push_back({counterexample.steps(), RunRecording::Mark::Kind::Violation,
                         BreachText(counterexample)
                             + (span ? QStringLiteral("; решено по шагам %1–%2").arg(from).arg(counterexample.steps())
                                     : QString()),
                         span ? from : 0});
    RunPlanned(*m_host, *m_settings, std::move(run));
    frmWave::Show(m_host->childArea(), frmDiag::Place(m_host->childArea()));
}
