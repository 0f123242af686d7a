#include "editor/MdiArrange.h"

#include <QHBoxLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

// A window as wide as its row of buttons needs, as the run's control panel.
QWidget *buttonRow(int buttons)
{
    auto *panel = new QWidget;
    auto *row = new QHBoxLayout(panel);
    for (int b = 0; b < buttons; ++b)
        row->addWidget(new QPushButton(QStringLiteral("Пауза и ещё кнопка %1").arg(b)));
    return panel;
}

// «Мозайка» in an area 900 pixels wide: no window below its least width
// (the captions of its buttons would be cut), none past the right edge,
// and the windows that need less share the rest equally.
TEST(MdiArrange, TilingKeepsEveryWindowAtLeastItsLeastWidth)
{
    const std::vector<int> cases[] = {
        {0, 0, 0},
        {4, 0, 0},
        {0, 5, 0, 0},
        {3, 3, 3}, // more than the area holds: they overlap instead
    };
    for (const std::vector<int> &buttons : cases) {
        QMdiArea area;
        area.resize(900, 400);
        area.show();
        std::vector<QMdiSubWindow *> windows;
        for (const int count : buttons) {
            windows.push_back(area.addSubWindow(buttonRow(count)));
            windows.back()->show();
        }
        MdiArrange::tileVertically(area);
        const int width = area.viewport()->width();
        int leastTotal = 0;
        for (QMdiSubWindow *window : windows)
            leastTotal += window->minimumSizeHint().width();
        const int share = width / int(windows.size());
        int total = 0;
        std::optional<int> flexibleWidth;
        for (size_t i = 0; i < windows.size(); ++i) {
            const QRect place = windows[i]->geometry();
            const int least = windows[i]->minimumSizeHint().width();
            const std::string where = std::to_string(buttons.size()) + " windows, window " + std::to_string(i);
            EXPECT_GE(place.width(), least) << where;
            EXPECT_GE(place.left(), 0) << where;
            EXPECT_LE(place.right(), width - 1) << where;
            EXPECT_EQ(place.height(), std::max(area.viewport()->height(), windows[i]->minimumSizeHint().height()))
                << where;
            if (i > 0) {
                EXPECT_GE(place.left(), windows[i - 1]->geometry().left()) << where;
            }
            if (least < share && leastTotal <= width) {
                if (flexibleWidth) {
                    EXPECT_LE(std::abs(place.width() - *flexibleWidth), 1) << where;
                }
                flexibleWidth = place.width();
            }
            total += place.width();
        }
        if (leastTotal <= width) { // side by side, filling the area
            EXPECT_EQ(total, width) << buttons.size();
        }
    }
}

} // namespace
