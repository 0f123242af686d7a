#include "analysis/frmFaults.h"

#include "analysis/FaultTable.h"
#include "check/BenchParser.h"
#include "check/LoadedBench.h"
#include "platform/Prompts.h"
#include "platform/RunWindowHost.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <memory>

namespace {

QString CodeName(int16_t code)
{
    return code == 0 ? QStringLiteral("Кода нет") : QStringLiteral("Код №") + QString::number(code);
}

// The levels of the bench beside the model (the same name, ".bench"): none
// when there is no such bench or it declares none, and what is wrong with
// it when it cannot be read.
std::expected<OutputLevels, QString> LevelsBesideModel(const LoadedModel &model)
{
    const QString benchFile = model.path + QStringLiteral(".bench");
    if (!QFileInfo::exists(benchFile))
        return OutputLevels{};
    const std::expected<Bench, BenchError> bench = ReadBenchFile(benchFile);
    if (!bench)
        return std::unexpected(bench.error().message);
    return ResolveLevels(*bench, model.definition);
}

} // namespace

frmFaults *frmFaults::Open(RunWindowHost &host, ModelState &state, SharedModel model, const FaultRun &scenario)
{
    auto *window = new frmFaults(host, state, std::move(model), scenario);
    QMdiSubWindow *frame = host.addChildWindow(window);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    // The area placed the frame at its first, smaller size: at its own size
    // it must still lie inside the area, with its status line in view.
    const QSize space = host.childArea().viewport()->size();
    frame->resize(QSize(720, 460).boundedTo(space).expandedTo(frame->minimumSizeHint()));
    frame->move(std::clamp(frame->x(), 0, std::max(0, space.width() - frame->width())),
                std::clamp(frame->y(), 0, std::max(0, space.height() - frame->height())));
    frame->show();
    window->startCampaign();
    return window;
}

frmFaults::frmFaults(RunWindowHost &host, ModelState &state, SharedModel model, const FaultRun &scenario)
    : m_host(host), m_state(state), m_model(std::move(model)), m_scenario(scenario), m_table(new FaultTable(this))
{
    setObjectName(QStringLiteral("frmFaults"));
    setWindowTitle(QStringLiteral("Анализ неисправностей"));

    lblScenario = new QLabel(QStringLiteral("Модель: %1; %2; шагов: %3")
                                 .arg(m_model->definition.ModelName, CodeName(scenario.code))
                                 .arg(scenario.timing.RunLength));
    lblScenario->setObjectName(QStringLiteral("lblScenario"));
    chkContacts = new QCheckBox(QStringLiteral("Контакты: каждый не размыкается и не замыкается"));
    chkContacts->setObjectName(QStringLiteral("chkContacts"));
    chkPairs = new QCheckBox(QStringLiteral("Пары неисправностей: показывать опасные только вместе"));
    chkPairs->setObjectName(QStringLiteral("chkPairs"));
    Table = new QTableView;
    Table->setObjectName(QStringLiteral("Table"));
    Table->setModel(m_table);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setSelectionMode(QAbstractItemView::SingleSelection);
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->verticalHeader()->hide();
    Table->verticalHeader()->setDefaultSectionSize(Table->fontMetrics().height() + 6);
    Table->horizontalHeader()->setSectionResizeMode(FaultTable::EffectColumn, QHeaderView::Stretch);
    Progress = new QProgressBar;
    Progress->setObjectName(QStringLiteral("Progress"));
    Progress->setFormat(QStringLiteral("%v из %m"));
    cmdCancel = new QPushButton(QStringLiteral("Отмена"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    lblStatus = new QLabel;
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setWordWrap(true);

    auto *progressRow = new QHBoxLayout;
    progressRow->addWidget(Progress, 1);
    progressRow->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblScenario);
    layout->addWidget(chkContacts);
    layout->addWidget(chkPairs);
    layout->addWidget(Table, 1);
    layout->addLayout(progressRow);
    layout->addWidget(lblStatus);

    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        m_cancel = true;
        cmdCancel->setEnabled(false);
    });
    for (QCheckBox *choice : {chkContacts, chkPairs})
        connect(choice, &QCheckBox::toggled, this, [this] {
            if (!m_running)
                startCampaign();
        });
    connect(Table, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) { runRow(index.row()); });
}

frmFaults::~frmFaults()
{
    // The thread posts to this window until it ends; what it posted after
    // that goes with the window.
    m_cancel = true;
    if (m_worker.joinable())
        m_worker.join();
}

void frmFaults::startCampaign()
{
    CampaignPlan plan;
    plan.scenario.timing = m_scenario.timing;
    plan.scenario.codeTiming = m_scenario.codeTiming;
    plan.codes = {m_scenario.code};
    const std::expected<OutputLevels, QString> levels = LevelsBesideModel(*m_model);
    m_levels = levels.value_or(OutputLevels{});
    m_levelsProblem = levels ? QString() : levels.error();
    if (m_levelsProblem.endsWith(u'.')) // it goes inside the status line's brackets
        m_levelsProblem.chop(1);
    plan.levels = m_levels;
    plan.contacts = chkContacts->isChecked();
    plan.pairs = chkPairs->isChecked();
    plan.jobs = int(std::max(1u, std::thread::hardware_concurrency()));

    m_table->setOutcomes(m_model, {});
    m_cancel = false;
    m_running = true;
    chkContacts->setEnabled(false);
    chkPairs->setEnabled(false);
    cmdCancel->setEnabled(true);
    Progress->setRange(0, 0);
    lblStatus->setText(QStringLiteral("Идёт анализ…"));
    m_worker = std::thread([this, plan, model = m_model] {
        std::vector<FaultOutcome> outcomes = RunFaultCampaign(
            model, plan,
            [this](qint64 done, qint64 total) {
                QMetaObject::invokeMethod(this, [this, done, total] { showProgress(done, total); },
                                          Qt::QueuedConnection);
            },
            &m_cancel);
        // Shared, as a queued call copies what it carries.
        auto result = std::make_shared<std::vector<FaultOutcome>>(std::move(outcomes));
        const bool cancelled = m_cancel.load();
        QMetaObject::invokeMethod(
            this, [this, result, cancelled] { finished(std::move(*result), cancelled); }, Qt::QueuedConnection);
    });
}

void frmFaults::showProgress(qint64 done, qint64 total)
{
    Progress->setRange(0, int(total));
    Progress->setValue(int(done));
}

void frmFaults::finished(std::vector<FaultOutcome> outcomes, bool cancelled)
{
    m_worker.join();
    m_running = false;
    cmdCancel->setEnabled(false);
    chkContacts->setEnabled(true);
    chkPairs->setEnabled(true);
    if (cancelled) {
        Progress->setRange(0, 1);
        Progress->reset();
        lblStatus->setText(QStringLiteral("Анализ прерван; неисправности проверены не все, таблица не заполнена."));
        return;
    }
    qsizetype hiddenPairs = 0;
    if (chkPairs->isChecked())
        outcomes = MinimalPairsOnly(std::move(outcomes), hiddenPairs);
    std::array<int, 4> counts{};
    std::array<int, 4> runs{};
    int latent = 0;
    int pairs = 0;
    const int outCount = std::max<int>(1, m_model->definition.OutCount);
    for (size_t k = 0; k < outcomes.size(); ++k) {
        ++counts[size_t(outcomes[k].effect)];
        if (k % size_t(outCount) == 0) {
            pairs += outcomes[k].faults.size() == 2;
            ++runs[size_t(outcomes[k].verdict.safety)];
            latent += outcomes[k].verdict.latent();
        }
    }
    const bool levels = m_levels.any();
    m_table->setOutcomes(m_model, std::move(outcomes), levels);
    Table->resizeColumnsToContents();
    const QString found =
        levels ? QStringLiteral("Опасных отказов: %1, защитных: %2, скрытых неисправностей: %3.")
                     .arg(runs[size_t(Safety::WrongSide)])
                     .arg(runs[size_t(Safety::RightSide)])
                     .arg(latent)
               : QStringLiteral("Появлений: %1, пропаданий: %2, без влияния: %3, скрытых неисправностей: %4 (%5).")
                     .arg(counts[size_t(FaultEffect::Spurious)] + counts[size_t(FaultEffect::Both)])
                     .arg(counts[size_t(FaultEffect::Lost)])
                     .arg(counts[size_t(FaultEffect::None)])
                     .arg(latent)
                     .arg(m_levelsProblem.isEmpty() ? QStringLiteral("уровни показаний не заданы")
                                                    : QStringLiteral("уровни показаний не взяты: ") + m_levelsProblem);
    const QString ofPairs = chkPairs->isChecked()
                                ? QStringLiteral(" Пар, опасных только вместе: %1 (остальные %2 пар не показаны).")
                                      .arg(pairs)
                                      .arg(hiddenPairs)
                                : QString();
    lblStatus->setText(found + ofPairs + QStringLiteral(" Двойной щелчок по строке открывает прогон с этой неисправностью."));
}

void frmFaults::runRow(int row)
{
    if (RunOpen(m_host)) {
        MessageRequest busy;
        busy.text = QStringLiteral("Идёт прогон: закройте окно «Диаграмма», чтобы начать новый.");
        busy.icon = Prompt::Icon::Exclamation;
        prompts().message(busy);
        return;
    }
    PlannedRun run{m_scenario.model, m_scenario.timing, m_scenario.codeTiming, m_scenario.code, {}, {}, {}};
    for (const InjectedFault &fault : m_table->outcome(row).faults)
        run.faults.push_back({0, fault.element, fault.kind, fault.contact});
    RunPlanned(m_host, m_state, std::move(run));
}
