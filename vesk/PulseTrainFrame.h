#pragma once

#include <QGroupBox>
#include <QList>

class QLineEdit;

namespace Vesk {

// A framed group that draws one code's pulse train, pulses and intervals
// alternating from left to right, with a text field on each of them.
class PulseTrainFrame : public QGroupBox
{
public:
    // fieldNames: the fields' object names in train order, pulse first.
    PulseTrainFrame(const QString &title, const QStringList &fieldNames, QWidget *parent);

    const QList<QLineEdit *> &fields() const { return m_fields; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<QLineEdit *> m_fields;
};

} // namespace Vesk
