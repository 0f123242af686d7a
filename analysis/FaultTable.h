#pragma once

#include "analysis/FaultCampaign.h"
#include "model/ContactFault.h"

#include <QAbstractTableModel>

#include <vector>

// The outcomes of a single-fault campaign as rows of fault × output. When
// the outputs' indication levels are known, the rows of wrong-side runs come
// first (red), then right-side (amber), then latent faults (grey); without
// them nothing tells the dangerous side, and the rows of an output that
// appears come first, then those lost, in one neutral colour. Within each,
// campaign order.
class FaultTable : public QAbstractTableModel
{
public:
    enum Column { ElementColumn, FaultColumn, OutputColumn, EffectColumn, FirstStepColumn, SafetyColumn, ColumnCount };

    explicit FaultTable(QObject *parent = nullptr);

    // The names come from the model the outcomes were found on.
    void setOutcomes(SharedModel model, std::vector<FaultOutcome> outcomes, bool levels = false);
    bool levels() const { return m_levels; }
    const FaultOutcome &outcome(int row) const { return m_rows[size_t(row)]; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QString text(const FaultOutcome &outcome, int column) const;

    SharedModel m_model;
    std::vector<Contact> m_contacts; // of m_model, for the names of contact faults
    std::vector<FaultOutcome> m_rows;
    bool m_levels = false;
};
