#include "app/StatusPanels.h"

#include "app/KeyStates.h"
#include "platform/Settings.h"

#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QStatusBar>
#include <QTimer>

namespace {

struct PanelLayout
{
    const char16_t *text;
    const char16_t *toolTip;
    int widthTwips;
};

const PanelLayout kPanels[] = {
    {u"Моделирование", u"Моделирование дискретных устройств", 4657},
    {u"", u"Состояние Num Lock", 1270},
    {u"", u"Режим вставки/замены", 1270},
    {u"", u"Сегодняшняя дата", 2117},
    {u"", u"Это время!", 3175},
};

// Often enough that a key press or the turn of a minute shows at once.
constexpr int kRefreshMs = 250;

// A panel as wide as its twips ask, that still gives way in a narrow window
// instead of widening it: the text panel down to nothing, the others down to
// their text.
class Panel : public QLabel
{
public:
    Panel(const QString &text, int width, bool mayVanish, QWidget *parent) : QLabel(text, parent), m_width(width)
    {
        if (mayVanish)
            setMinimumWidth(1);
        setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    }
    QSize sizeHint() const override { return {m_width, QLabel::sizeHint().height()}; }

private:
    int m_width;
};

} // namespace

StatusPanels::StatusPanels(QStatusBar &bar)
    : m_keys(new KeyStates(&bar))
    , m_timer(new QTimer(&bar))
{
    const double dpi = bar.logicalDpiX();
    for (const PanelLayout &layout : kPanels) {
        auto *label = new Panel(QString::fromUtf16(layout.text), Settings::twipsToPixels(layout.widthTwips, dpi),
                                m_panels.isEmpty(), &bar);
        label->setToolTip(QString::fromUtf16(layout.toolTip));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setContentsMargins(3, 0, 3, 0);
        bar.addWidget(label);
        m_panels << label;
    }
    m_panels[1]->setAlignment(Qt::AlignCenter);
    m_panels[2]->setAlignment(Qt::AlignCenter);
    QObject::connect(m_timer, &QTimer::timeout, &bar, [this] { refresh(); });
    m_timer->start(kRefreshMs);
    refresh();
}

void StatusPanels::refresh()
{
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    const QDateTime now = QDateTime::currentDateTime();
    m_panels[1]->setText(KeyStates::numLock() ? QStringLiteral("NUM") : QString());
    m_panels[2]->setText(m_keys->insertMode() ? QStringLiteral("INS") : QString());
    m_panels[3]->setText(russian.toString(now.date(), QLocale::ShortFormat));
    m_panels[4]->setText(russian.toString(now.time(), QLocale::ShortFormat));
}
