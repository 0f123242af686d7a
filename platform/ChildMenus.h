#pragma once

#include <QList>

class QMenu;

// A child window of the main window that brings its own menu bar: while it
// is the active child, the main window shows these menus in place of its
// own, as a multiple-document frame does.
class ChildMenus
{
public:
    virtual ~ChildMenus() = default;
    virtual QList<QMenu *> menus() const = 0;
};
