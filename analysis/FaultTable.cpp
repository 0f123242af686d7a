#include "analysis/FaultTable.h"

#include <QColor>

#include <algorithm>

namespace {

// Dangerous first: the order in which a user has to look at them.
int Rank(FaultEffect effect)
{
    switch (effect) {
    case FaultEffect::Spurious:
    case FaultEffect::Both: return 0;
    case FaultEffect::Lost: return 1;
    case FaultEffect::None: break;
    }
    return 2;
}

QString EffectText(FaultEffect effect)
{
    switch (effect) {
    case FaultEffect::None: return QStringLiteral("без влияния");
    case FaultEffect::Lost: return QStringLiteral("пропадание (защитный отказ)");
    case FaultEffect::Spurious: return QStringLiteral("ложное появление (опасный отказ)");
    case FaultEffect::Both: return QStringLiteral("и то и другое (опасный отказ)");
    }
    return {};
}

QColor EffectColour(FaultEffect effect)
{
    switch (effect) {
    case FaultEffect::None: return QColor(0xf4, 0xf4, 0xf4);
    case FaultEffect::Lost: return QColor(0xff, 0xec, 0xb3);
    case FaultEffect::Spurious: return QColor(0xff, 0xb3, 0xb3);
    case FaultEffect::Both: return QColor(0xf2, 0x80, 0x80);
    }
    return {};
}

} // namespace

FaultTable::FaultTable(QObject *parent) : QAbstractTableModel(parent) {}

void FaultTable::setOutcomes(SharedModel model, std::vector<FaultOutcome> outcomes)
{
    beginResetModel();
    m_model = std::move(model);
    m_contacts = ModelContacts(m_model->definition);
    m_rows = std::move(outcomes);
    std::stable_sort(m_rows.begin(), m_rows.end(),
                     [](const FaultOutcome &a, const FaultOutcome &b) { return Rank(a.effect) < Rank(b.effect); });
    endResetModel();
}

int FaultTable::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_rows.size()); }

int FaultTable::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

QString FaultTable::text(const FaultOutcome &outcome, int column) const
{
    const ModelDefinition &names = m_model->definition;
    const InjectedFault &fault = outcome.faults.front();
    switch (column) {
    case ElementColumn:
        return fault.contact != 0 ? ContactName(names, m_contacts[size_t(fault.contact - 1)])
                                  : names.ElemName[size_t(fault.element)];
    case FaultColumn:
        return fault.contact != 0 ? ContactFaultText(fault.kind)
               : fault.kind == 1  ? QStringLiteral("Обрыв питания")
                                  : QStringLiteral("Подпитка");
    case OutputColumn: return names.OutName[size_t(outcome.output)];
    case EffectColumn: return EffectText(outcome.effect);
    case FirstStepColumn: return outcome.firstStep ? QString::number(outcome.firstStep) : QString();
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
    case Qt::BackgroundRole: return EffectColour(row.effect);
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
    }
    return {};
}
