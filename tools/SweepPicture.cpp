#include "tools/SweepPicture.h"

#include "wave/PictureExport.h"

#include <QFileInfo>
#include <QPainter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace {

constexpr int PlotSide = 480; // the grid's larger side, in pixels
constexpr int Left = 90, Right = 150, Top = 50, Bottom = 80;
const QColor PassColour(0x7f, 0xc9, 0x7f);
const QColor FailColour(0xf0, 0x80, 0x80);

// Every k-th value gets a label, so that about ten fit along an axis.
int labelStride(int count) { return std::max(1, int(std::ceil(count / 10.0))); }

QString valueLabel(double value) { return QString::number(value, 'g', 4); }

} // namespace

std::expected<void, QString> WriteSweepPicture(const SweepReport &report, const QString &fileName)
{
    const SweepAxis &across = report.axes[0];
    const SweepAxis &up = report.axes[1];
    const int cell = std::clamp(PlotSide / std::max(across.count, up.count), 2, 40);
    const QRect plot(Left, Top, cell * across.count, cell * up.count);
    const QSize size(Left + plot.width() + Right, Top + plot.height() + Bottom);

    const QString title = QStringLiteral("Область работы: %1").arg(QFileInfo(report.benchFile).fileName());
    const QByteArray bytes = SvgPicture(size, title, [&](QPainter &painter) {
        painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
        QFont font = painter.font();
        font.setPixelSize(12);
        painter.setFont(font);

        // Cell (i, j): value i across, value j up; the first row of values at the
        // bottom. Each cell overlaps the next by a pixel, so that viewers leave
        // no seams between cells of one colour.
        const auto cellRect = [&](int i, int j) { return QRect(plot.left() + i * cell, plot.bottom() + 1 - (j + 1) * cell, cell, cell); };
        painter.setClipRect(plot);
        for (const SweepPoint &point : report.points)
            painter.fillRect(cellRect(point.at[0], point.at[1]).adjusted(0, 0, 1, 1), point.failure ? FailColour : PassColour);
        painter.setClipping(false);
        painter.setPen(Qt::black);
        painter.drawRect(plot.adjusted(0, 0, -1, -1));

        for (int i = 0; i < across.count; i += labelStride(across.count)) {
            const int x = cellRect(i, 0).center().x();
            painter.drawLine(x, plot.bottom(), x, plot.bottom() + 4);
            painter.drawText(QRect(x - 30, plot.bottom() + 6, 60, 16), Qt::AlignHCenter | Qt::AlignTop,
                             valueLabel(across.value(i)));
        }
        for (int j = 0; j < up.count; j += labelStride(up.count)) {
            const int y = cellRect(0, j).center().y();
            painter.drawLine(plot.left() - 4, y, plot.left(), y);
            painter.drawText(QRect(plot.left() - 66, y - 8, 60, 16), Qt::AlignRight | Qt::AlignVCenter,
                             valueLabel(up.value(j)));
        }
        painter.drawText(QRect(plot.left(), plot.bottom() + 26, plot.width(), 20), Qt::AlignHCenter, across.title());
        painter.save();
        painter.translate(18, plot.center().y());
        painter.rotate(-90);
        painter.drawText(QRect(-plot.height() / 2 - 100, -10, plot.height() + 200, 20), Qt::AlignCenter, up.title());
        painter.restore();
        painter.drawText(QRect(0, 8, size.width(), 24), Qt::AlignHCenter,
                         QStringLiteral("Область работы: %1").arg(QFileInfo(report.benchFile).fileName()));

        if (across.nominal && up.nominal) {
            const double x = plot.left() + ((*across.nominal - across.from) / across.step + 0.5) * cell;
            const double y = plot.bottom() + 1 - ((*up.nominal - up.from) / up.step + 0.5) * cell;
            painter.setPen(QPen(Qt::black, 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(QPointF(x, y), std::max(4, cell / 2), std::max(4, cell / 2));
        }

        const int legendX = plot.right() + 16;
        painter.setPen(Qt::black);
        painter.fillRect(QRect(legendX, Top, 14, 14), PassColour);
        painter.drawText(QPoint(legendX + 20, Top + 12), QStringLiteral("проходит"));
        painter.fillRect(QRect(legendX, Top + 22, 14, 14), FailColour);
        painter.drawText(QPoint(legendX + 20, Top + 34), QStringLiteral("нарушено"));
        painter.setPen(QPen(Qt::black, 2));
        painter.drawEllipse(QPointF(legendX + 7, Top + 51), 6, 6);
        painter.setPen(Qt::black);
        painter.drawText(QPoint(legendX + 20, Top + 56), QStringLiteral("номинал"));
    });

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) < 0 || !file.commit())
        return std::unexpected(QStringLiteral("Не удаётся записать файл %1.").arg(fileName));
    return {};
}
