#include "analysis/FaultTable.h"

#include "model/Fault.h"

#include <QColor>

#include <algorithm>

namespace {

// Appearing first, then lost: where a user looks first without levels.
int EffectRank(FaultEffect effect)
{
    switch (effect) {
    case FaultEffect::Spurious:
    case FaultEffect::Both: return 0;
    case FaultEffect::Lost: return 1;
    case FaultEffect::None: break;
    }
    return 2;
}

// Dangerous first, then what stops trains, then what hides.
int SafetyRank(const SafetyVerdict &verdict)
{
    switch (verdict.safety) {
    case Safety::WrongSide: return 0;
    case Safety::RightSide: return 1;
    case Safety::None: return verdict.latent() ? 2 : 4;
    case Safety::Changed: break;
    }
    return 3;
}

QString EffectText(FaultEffect effect)
{
    switch (effect) {
    case FaultEffect::None: return QStringLiteral("без влияния");
    case FaultEffect::Lost: return QStringLiteral("пропадание");
    case FaultEffect::Spurious: return QStringLiteral("появление");
    case FaultEffect::Both: return QStringLiteral("пропадание и появление");
    }
    return {};
}

const QColor Unaffected(0xf4, 0xf4, 0xf4);

QColor EffectColour(FaultEffect effect) { return effect == FaultEffect::None ? Unaffected : QColor(0xd6, 0xe4, 0xf0); }

// The verdict of the row's run; what is wrong-side or right-side only
// when the levels are known, and a latent fault always.
QString SafetyText(const SafetyVerdict &verdict, const ModelDefinition &names)
{
    switch (verdict.safety) {
    case Safety::WrongSide:
        return QStringLiteral("опасный: шаг %1, показание %2 при допустимом %3")
            .arg(verdict.step).arg(verdict.shown).arg(verdict.warranted);
    case Safety::RightSide: return QStringLiteral("защитный: шаг %1").arg(verdict.step);
    case Safety::Changed: return {};
    case Safety::None: break;
    }
    return verdict.latent() ? QStringLiteral("скрытая неисправность: %1, шаг %2")
                                  .arg(names.ElemName[size_t(verdict.latentElement)])
                                  .arg(verdict.latentStep)
                            : QString();
}

QColor SafetyColour(const SafetyVerdict &verdict)
{
    switch (verdict.safety) {
    case Safety::WrongSide: return QColor(0xff, 0xb3, 0xb3);
    case Safety::RightSide: return QColor(0xff, 0xdd, 0x99);
    case Safety::None: return verdict.latent() ? QColor(0xc8, 0xc8, 0xc8) : Unaffected;
    case Safety::Changed: break;
    }
    return QColor(0xff, 0xff, 0xff);
}

} // namespace

FaultTable::FaultTable(QObject *parent) : QAbstractTableModel(parent) {}

void FaultTable::setOutcomes(SharedModel model, std::vector<FaultOutcome> outcomes, bool levels)
{
    beginResetModel();
    m_model = std::move(model);
    m_contacts = ModelContacts(m_model->definition);
    m_rows = std::move(outcomes);
    m_levels = levels;
    const auto rank = [levels](const FaultOutcome &o) { return levels ? SafetyRank(o.verdict) : EffectRank(o.effect); };
    std::stable_sort(m_rows.begin(), m_rows.end(),
                     [&](const FaultOutcome &a, const FaultOutcome &b) { return rank(a) < rank(b); });
    endResetModel();
}

int FaultTable::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_rows.size()); }

int FaultTable::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

QString FaultTable::text(const FaultOutcome &outcome, int column) const
{
    const ModelDefinition &names = m_model->definition;
    // A pair shows both of its faults, joined by "+".
    const auto ofEach = [&outcome](auto text) {
        QStringList texts;
        for (const InjectedFault &fault : outcome.faults)
            texts << text(fault);
        return texts.join(QStringLiteral(" + "));
    };
    switch (column) {
    case ElementColumn:
        return ofEach([&](const InjectedFault &fault) {
            return fault.contact != 0 ? ContactName(names, m_contacts[size_t(fault.contact - 1)])
                                      : names.ElemName[size_t(fault.element)];
        });
    case FaultColumn:
        return ofEach([](const InjectedFault &fault) {
            return fault.contact != 0 ? ContactFaultText(fault.kind) : FaultName(FaultOfKind(fault.kind));
        });
    case OutputColumn: return names.OutName[size_t(outcome.output)];
    case EffectColumn: return EffectText(outcome.effect);
    case FirstStepColumn: return outcome.firstStep ? QString::number(outcome.firstStep) : QString();
    case SafetyColumn: return SafetyText(outcome.verdict, names);
    }
    return {};
}

QVariant FaultTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const FaultOutcome &row = m_rows[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole: return text(row, index.column());
    case Qt::BackgroundRole: return m_levels ? SafetyColour(row.verdict) : EffectColour(row.effect);
    case Qt::TextAlignmentRole:
        return index.column() == FirstStepColumn ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    }
    return {};
}

QVariant FaultTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case ElementColumn: return QStringLiteral("Элемент или контакт");
    case FaultColumn: return QStringLiteral("Неисправность");
    case OutputColumn: return QStringLiteral("Выход");
    case EffectColumn: return QStringLiteral("Влияние");
    case FirstStepColumn: return QStringLiteral("Первый шаг");
    case SafetyColumn: return QStringLiteral("Отказ");
    }
    return {};
}
