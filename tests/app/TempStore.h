#pragma once

#include <QSettings>
#include <QTemporaryDir>

// An empty settings store for one test, as on a first start.
class TempStore
{
public:
    TempStore() { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path()); }

private:
    QTemporaryDir m_dir;
};
