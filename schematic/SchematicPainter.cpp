#include "schematic/SchematicPainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace schematic {

namespace {

// The columns of a rung, left to right.
constexpr qreal NumberRight = 38;  // the rung number ends here
constexpr qreal LeftRail = 48;
constexpr qreal FirstCell = 64;
constexpr qreal CellWidth = 84;
constexpr qreal TurnX = FirstCell + ContactsPerRow * CellWidth + 8; // a wrapped row goes down here
constexpr qreal BusX = TurnX + 12;                                  // the branches join here
constexpr qreal CoilLeft = BusX + 12;
constexpr qreal CoilWidth = 44;
constexpr qreal CoilHeight = 22;
constexpr qreal RightRail = CoilLeft + CoilWidth + 20;
constexpr qreal ReferenceLeft = RightRail + 12;

// The rows of a rung, top to bottom.
constexpr qreal RungPad = 10;
constexpr qreal RowHeight = 64;
constexpr qreal RowCentre = RowHeight / 2 + 6; // below the row's top; the labels stand above
constexpr qreal NoteHeight = 15;
constexpr qreal ReferenceLineHeight = 14;
constexpr int ReferencesPerLine = 7;

const QColor Ink(0x20, 0x20, 0x20);
const QColor Conducting(0xc0, 0x10, 0x10);
const QColor Marked(0xc8, 0x64, 0x00);
const QColor Highlight(0xff, 0xe8, 0x80);
const QColor Rule(0xc8, 0xc8, 0xc8);
const QColor EnergisedFill(0xff, 0xc8, 0xc0);
const QColor LitFill(0xff, 0xf0, 0x60);

QFont labelFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    return font;
}

QString seconds(float value)
{
    return QString::number(double(value), 'f', 2).replace(QLatin1Char('.'), QLatin1Char(','));
}

// The lines of a coil's contact table: "фронт:" and "тыл:" with their rungs.
QStringList referenceLines(const CrossReference &reference)
{
    QStringList lines;
    const auto add = [&lines](const QString &title, const std::vector<int> &rungs) {
        if (rungs.empty())
            return;
        QStringList numbers;
        for (int r : rungs)
            numbers.append(QString::number(r));
        for (qsizetype n = 0; n < numbers.size(); n += ReferencesPerLine)
            lines.append((n == 0 ? title : QString()) + QStringList(numbers.mid(n, ReferencesPerLine)).join(QStringLiteral(", ")));
    };
    add(QStringLiteral("фронт: "), reference.front);
    add(QStringLiteral("тыл: "), reference.back);
    if (lines.isEmpty())
        lines.append(QStringLiteral("контакты не используются"));
    return lines;
}

int noteCount(const Rung &rung)
{
    int notes = rung.branches.empty() ? 1 : 0;
    for (const Branch &branch : rung.branches) {
        notes += branch.note.isEmpty() ? 0 : 1;
        notes += int(std::ranges::count_if(branch.items, [](const Item &item) { return !item.note.isEmpty(); }));
    }
    return notes;
}

qreal rowY(qreal top, int row) { return top + RungPad + row * RowHeight + RowCentre; }

QPen wirePen(bool conducting)
{
    return QPen(conducting ? Conducting : Ink, conducting ? 2.6 : 1.2, Qt::SolidLine, Qt::FlatCap);
}

void drawContact(QPainter &painter, const Item &item, qreal x, qreal y, bool closed, bool conducting)
{
    painter.setPen(wirePen(conducting));
    painter.drawLine(QPointF(x, y), QPointF(x + 34, y));
    painter.drawLine(QPointF(x + 50, y), QPointF(x + CellWidth, y));
    painter.setPen(QPen(conducting ? Conducting : Ink, 1.6));
    painter.drawLine(QPointF(x + 34, y - 10), QPointF(x + 34, y + 10));
    painter.drawLine(QPointF(x + 50, y - 10), QPointF(x + 50, y + 10));
    if (item.kind == Item::Kind::Back)
        painter.drawLine(QPointF(x + 30, y + 10), QPointF(x + 54, y - 10));
    if (closed)
        painter.fillRect(QRectF(x + 35, y - 2, 14, 4), conducting ? Conducting : Ink);
}

void drawDropped(QPainter &painter, qreal x, qreal y, bool conducting)
{
    painter.setPen(wirePen(conducting));
    painter.drawLine(QPointF(x, y), QPointF(x + CellWidth, y));
    painter.setPen(QPen(Marked, 1.2, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(x + 20, y - 10, 44, 20));
}

} // namespace

SchematicPainter::SchematicPainter(const Schematic &schematic) : m_schematic(schematic)
{
    qreal y = TitleHeight;
    for (const Rung &rung : m_schematic.rungs) {
        m_tops.push_back(y);
        y += rungHeight(rung);
    }
    m_tops.push_back(y);
}

qreal SchematicPainter::rungHeight(const Rung &rung) const
{
    const int references = rung.kind == Rung::Kind::Element
                               ? int(referenceLines(m_schematic.references[size_t(rung.index)]).size())
                               : 0;
    const qreal circuit = std::max(rung.rowCount * RowHeight, RowCentre + 16 + references * ReferenceLineHeight);
    return RungPad + circuit + noteCount(rung) * NoteHeight + 8;
}

int SchematicPainter::elementOfRung(const Rung &rung) const
{
    return rung.kind == Rung::Kind::Element ? rung.index : -1;
}

QSizeF SchematicPainter::size() const { return QSizeF(Width, m_tops.back() + 8); }

QRectF SchematicPainter::rungRect(int r) const
{
    return QRectF(0, m_tops[size_t(r)], Width, m_tops[size_t(r) + 1] - m_tops[size_t(r)]);
}

QRectF SchematicPainter::itemRect(int r, const Item &item) const
{
    const qreal y = rowY(m_tops[size_t(r)], item.row);
    return QRectF(FirstCell + item.column * CellWidth, y - 28, CellWidth, 40);
}

QRectF SchematicPainter::coilRect(int r) const
{
    const qreal y = rowY(m_tops[size_t(r)], 0);
    return QRectF(CoilLeft, y - CoilHeight / 2, CoilWidth, CoilHeight);
}

SchematicPainter::Hit SchematicPainter::hitAt(QPointF point) const
{
    Hit hit;
    const auto after = std::ranges::upper_bound(m_tops, point.y());
    if (after == m_tops.begin() || after == m_tops.end())
        return hit;
    hit.rung = int(after - m_tops.begin()) - 1;
    hit.what = Hit::What::Rung;
    const Rung &rung = m_schematic.rungs[size_t(hit.rung)];
    if (coilRect(hit.rung).adjusted(-4, -16, 4, 8).contains(point)) {
        hit.what = Hit::What::Coil;
        hit.element = elementOfRung(rung);
        return hit;
    }
    for (const Branch &branch : rung.branches)
        for (const Item &item : branch.items)
            if (itemRect(hit.rung, item).contains(point)) {
                // A dropped name is no contact: it is only explained.
                if (item.kind != Item::Kind::Dropped) {
                    hit.what = Hit::What::Contact;
                    hit.element = item.element;
                }
                hit.item = &item;
                return hit;
            }
    return hit;
}

void SchematicPainter::paint(QPainter &painter, const View &view, const QRectF &exposed) const
{
    paintTitle(painter, 0);
    for (size_t r = 0; r < m_schematic.rungs.size(); ++r)
        if (exposed.isNull() || rungRect(int(r)).intersects(exposed))
            paintRung(painter, int(r), m_tops[r], view, exposed);
}

void SchematicPainter::paintTitle(QPainter &painter, qreal top, const QString &trailer) const
{
    QFont font = labelFont();
    font.setPixelSize(15);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Ink);
    const QString name = m_schematic.modelName.trimmed().isEmpty() ? QStringLiteral("Схема") : m_schematic.modelName.trimmed();
    painter.drawText(QRectF(LeftRail, top, Width - LeftRail - 8, TitleHeight - 10), Qt::AlignLeft | Qt::AlignVCenter, name);
    if (!trailer.isEmpty()) {
        font.setBold(false);
        font.setPixelSize(11);
        painter.setFont(font);
        painter.drawText(QRectF(LeftRail, top, Width - LeftRail - 8, TitleHeight - 10), Qt::AlignRight | Qt::AlignVCenter, trailer);
    }
}

void SchematicPainter::paintRung(QPainter &painter, int r, qreal top, const View &view, const QRectF &exposed) const
{
    const Rung &rung = m_schematic.rungs[size_t(r)];
    const qreal height = m_tops[size_t(r) + 1] - m_tops[size_t(r)];
    const LiveState *live = view.live;
    const QFont font = labelFont();
    const QFontMetricsF metrics(font, painter.device());
    painter.setFont(font);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);

    // The supply rails run along every rung; the rules between rungs stay clear of them.
    painter.setPen(QPen(Ink, 2));
    painter.drawLine(QPointF(LeftRail, top), QPointF(LeftRail, top + height));
    painter.drawLine(QPointF(RightRail, top), QPointF(RightRail, top + height));
    painter.setPen(QPen(Rule, 1));
    painter.drawLine(QPointF(0, top + height), QPointF(LeftRail - 4, top + height));
    painter.drawLine(QPointF(RightRail + 4, top + height), QPointF(Width, top + height));

    painter.setPen(Ink);
    QFont numberFont = font;
    numberFont.setBold(true);
    painter.setFont(numberFont);
    painter.drawText(QRectF(0, rowY(top, 0) - 10, NumberRight, 20), Qt::AlignRight | Qt::AlignVCenter,
                     QString::number(rung.number));
    painter.setFont(font);

    QStringList notes;
    const auto noteMark = [&](const QString &note, QPointF at) {
        notes.append(note);
        painter.setPen(Marked);
        painter.drawText(at, QStringLiteral("(%1)").arg(notes.size()));
    };
    const auto highlighted = [&](int element) { return view.highlight >= 0 && element == view.highlight; };

    bool fed = false;
    qreal lastBranchY = rowY(top, 0);
    for (const Branch &branch : rung.branches) {
        const bool conducting = live && live->conducts(branch);
        fed |= conducting;
        const int lastRow = branch.row + branch.rowCount - 1;
        const qreal firstY = rowY(top, branch.row);
        const qreal endY = rowY(top, lastRow);
        lastBranchY = endY;
        painter.setPen(wirePen(conducting));
        painter.drawLine(QPointF(LeftRail, firstY), QPointF(FirstCell, firstY));
        // Full rows go down past the turn and come back to the left under themselves.
        for (int row = branch.row; row < lastRow; ++row) {
            const qreal y = rowY(top, row);
            const qreal channel = y + RowHeight / 2;
            const qreal next = rowY(top, row + 1);
            QPainterPath turn;
            turn.moveTo(FirstCell + ContactsPerRow * CellWidth, y);
            turn.lineTo(TurnX, y);
            turn.lineTo(TurnX, channel);
            turn.lineTo(LeftRail + 8, channel);
            turn.lineTo(LeftRail + 8, next);
            turn.lineTo(FirstCell, next);
            painter.drawPath(turn);
        }
        const int inLastRow = int(branch.items.size()) - (branch.rowCount - 1) * ContactsPerRow;
        painter.drawLine(QPointF(FirstCell + std::max(inLastRow, 0) * CellWidth, endY), QPointF(BusX, endY));
        for (const Item &item : branch.items) {
            const qreal x = FirstCell + item.column * CellWidth;
            const qreal y = rowY(top, item.row);
            // A tall rung meets a band of an export or a window a few rows at a time.
            if (!exposed.isNull() && !QRectF(x, y - 30, CellWidth, 60).intersects(exposed)) {
                if (!item.note.isEmpty())
                    notes.append(item.note);
                continue;
            }
            if (highlighted(item.element) && item.kind != Item::Kind::Dropped)
                painter.fillRect(QRectF(x + 4, y - 28, CellWidth - 8, 42), Highlight);
            if (item.kind == Item::Kind::Dropped)
                drawDropped(painter, x, y, conducting);
            else
                drawContact(painter, item, x, y, live && live->closed(item), conducting);
            const bool faulty = live && ((item.element > 0 && live->fault[size_t(item.element)] != Fault::None)
                                         || live->contactFault(item.contact) != 0);
            painter.setPen(item.kind == Item::Kind::Dropped || !item.note.isEmpty() ? Marked : faulty ? Conducting : Ink);
            QFont labelStyle = font;
            labelStyle.setStrikeOut(item.kind == Item::Kind::Dropped);
            painter.setFont(labelStyle);
            painter.drawText(QRectF(x + 2, y - 28, CellWidth - 4, 14), Qt::AlignHCenter | Qt::AlignVCenter,
                             metrics.elidedText(item.label, Qt::ElideRight, CellWidth - 6));
            painter.setFont(font);
            if (!item.note.isEmpty())
                noteMark(item.note, QPointF(x + 56, y + 22));
        }
        if (!branch.note.isEmpty())
            noteMark(branch.note, QPointF(FirstCell + 4, firstY - 6));
    }
    if (rung.branches.empty())
        noteMark(QStringLiteral("нет термов: цепь разомкнута"), QPointF(FirstCell + 4, rowY(top, 0) - 6));

    // The bus that joins the branches, and the coil it feeds.
    const qreal coilY = rowY(top, 0);
    const bool energised = live && live->energised(rung);
    // A lamp is narrower than a coil; the wires reach its edge.
    const qreal inset = rung.kind == Rung::Kind::Element ? 0 : CoilWidth / 2 - 11;
    painter.setPen(wirePen(fed));
    if (!rung.branches.empty()) {
        painter.drawLine(QPointF(BusX, coilY), QPointF(BusX, lastBranchY));
        painter.drawLine(QPointF(BusX, coilY), QPointF(CoilLeft + inset, coilY));
    }
    painter.setPen(wirePen(false));
    painter.drawLine(QPointF(CoilLeft + CoilWidth - inset, coilY), QPointF(RightRail, coilY));

    const QRectF coil = coilRect(r).translated(0, top - m_tops[size_t(r)]);
    const int element = elementOfRung(rung);
    if (highlighted(element))
        painter.fillRect(coil.adjusted(-6, -16, 6, 6), Highlight);
    painter.setPen(QPen(Ink, 1.6));
    if (rung.kind == Rung::Kind::Element) {
        painter.setBrush(energised ? QBrush(EnergisedFill) : QBrush(Qt::white));
        painter.drawRect(coil);
    } else {
        const QRectF lamp(coil.center() - QPointF(11, 11), QSizeF(22, 22));
        const bool lit = live && live->lit[size_t(rung.index)];
        painter.setBrush(lit ? QBrush(LitFill) : QBrush(Qt::white));
        painter.drawEllipse(lamp);
        const qreal d = 11 / 1.4142;
        painter.drawLine(lamp.center() + QPointF(-d, -d), lamp.center() + QPointF(d, d));
        painter.drawLine(lamp.center() + QPointF(-d, d), lamp.center() + QPointF(d, -d));
    }
    painter.setBrush(Qt::NoBrush);
    QFont coilFont = font;
    coilFont.setBold(true);
    painter.setFont(coilFont);
    painter.setPen(Ink);
    painter.drawText(QRectF(coil.left() - 20, coil.top() - 16, coil.width() + 40, 14), Qt::AlignCenter,
                     metrics.elidedText(rung.name, Qt::ElideRight, coil.width() + 36));
    painter.setFont(font);
    if (rung.pickup && rung.release)
        painter.drawText(QRectF(coil.left() - 24, coil.bottom() + 2, coil.width() + 48, 14), Qt::AlignCenter,
                         QStringLiteral("%1 / %2").arg(seconds(*rung.pickup), seconds(*rung.release)));
    if (live && element > 0) {
        if (live->pickupRunning[size_t(element)] || live->releaseRunning[size_t(element)])
            painter.drawText(QPointF(coil.right() + 3, coil.top() - 3),
                             live->pickupRunning[size_t(element)] ? QStringLiteral("█") : QStringLiteral("▓"));
        if (const Fault fault = live->fault[size_t(element)]; fault != Fault::None) {
            painter.setPen(QPen(Conducting, 2));
            painter.drawLine(coil.topLeft(), coil.bottomRight());
            painter.drawLine(coil.bottomLeft(), coil.topRight());
            painter.drawText(QRectF(coil.left() - 30, coil.bottom() + 16, coil.width() + 60, 14), Qt::AlignCenter,
                             FaultName(fault).toLower());
        }
    }

    // The coil's contact table, beyond the right rail.
    painter.setPen(Ink);
    if (element > 0) {
        const QStringList lines = referenceLines(m_schematic.references[size_t(element)]);
        for (qsizetype l = 0; l < lines.size(); ++l)
            painter.drawText(QPointF(ReferenceLeft, coilY - 4 + l * ReferenceLineHeight), lines[l]);
    }

    // The notes of the marks, under the circuit.
    painter.setPen(Marked);
    const qreal notesTop = top + height - 8 - notes.size() * NoteHeight;
    for (qsizetype n = 0; n < notes.size(); ++n)
        painter.drawText(QRectF(FirstCell, notesTop + n * NoteHeight, RightRail - FirstCell - 4, NoteHeight),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         metrics.elidedText(QStringLiteral("(%1) %2").arg(n + 1).arg(notes[n]), Qt::ElideRight,
                                            RightRail - FirstCell - 8));
}

} // namespace schematic
