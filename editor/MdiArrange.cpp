#include "editor/MdiArrange.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>
#include <vector>

namespace MdiArrange {

namespace {

QSize leastSize(const QMdiSubWindow &window) { return window.minimumSizeHint().expandedTo(window.minimumSize()); }

// Equal shares of width, except that a window whose least width is more
// than its share gets that width and the others share what is left.
std::vector<int> tileWidths(const std::vector<int> &least, int width)
{
    const size_t count = least.size();
    std::vector<bool> fixed(count, false);
    int rest = width;
    int flexible = int(count);
    // Fixing a window above its share only lowers the share of the others,
    // so every window above the share can be fixed at once.
    for (bool changed = true; changed;) {
        changed = false;
        const int restBefore = rest;
        const int flexibleBefore = flexible;
        for (size_t i = 0; i < count; ++i) {
            if (!fixed[i] && qint64(least[i]) * flexibleBefore > restBefore) {
                fixed[i] = changed = true;
                rest -= least[i];
                --flexible;
            }
        }
    }
    std::vector<int> widths(count);
    int shared = 0;
    for (size_t i = 0; i < count; ++i) {
        if (fixed[i]) {
            widths[i] = least[i];
            continue;
        }
        // Spread the remainder so the last window ends at the right edge.
        widths[i] = rest * (shared + 1) / flexible - rest * shared / flexible;
        ++shared;
    }
    return widths;
}

} // namespace

void tileVertically(QMdiArea &area)
{
    QList<QMdiSubWindow *> windows;
    const QList<QMdiSubWindow *> all = area.subWindowList(QMdiArea::CreationOrder);
    for (QMdiSubWindow *window : all)
        if (window->isVisible() && !window->isMinimized())
            windows << window;
    if (windows.isEmpty())
        return;
    const QRect space = area.viewport()->rect();
    std::vector<int> least;
    for (const QMdiSubWindow *window : std::as_const(windows))
        least.push_back(leastSize(*window).width());
    const std::vector<int> widths = tileWidths(least, space.width());
    int left = 0;
    for (qsizetype i = 0; i < windows.size(); ++i) {
        QMdiSubWindow &window = *windows[i];
        const int width = widths[size_t(i)];
        // When the least widths add up to more than the area, the windows
        // overlap rather than reach past its right edge.
        const int x = std::max(0, std::min(left, space.width() - width));
        window.showNormal();
        window.setGeometry(x, 0, width, std::max(space.height(), leastSize(window).height()));
        left += width;
    }
}

} // namespace MdiArrange
