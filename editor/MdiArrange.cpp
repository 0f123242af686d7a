#include "editor/MdiArrange.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace MdiArrange {

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
    const int count = int(windows.size());
    for (int i = 0; i < count; ++i) {
        // Spread the remainder so the last window ends at the right edge.
        const int left = space.width() * i / count;
        const int right = space.width() * (i + 1) / count;
        windows[i]->showNormal();
        windows[i]->setGeometry(left, 0, right - left, space.height());
    }
}

} // namespace MdiArrange
