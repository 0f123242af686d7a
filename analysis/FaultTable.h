#pragma once

#include "analysis/FaultCampaign.h"
#include "model/ContactFault.h"

#include <QAbstractTableModel>

#include <vector>

// The outcomes of a single-fault campaign as rows of fault × output, the
// dangerous ones (an output that appears where it should not) first, then
// the lost ones, then those without effect; within each, campaign order.
// Each row is coloured by its effect.
class FaultTable : public QAbstractTableModel
{
public:
    enum Column { ElementColumn, FaultColumn, OutputColumn, EffectColumn, FirstStepColumn, ColumnCount };

    explicit FaultTable(QObject *parent = nullptr);

    // The names come from the model the outcomes were found on.
    void setOutcomes(SharedModel model, std::vector<FaultOutcome> outcomes);
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
};
