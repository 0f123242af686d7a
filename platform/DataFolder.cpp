#include "platform/DataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString ProgramDataFolder()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    // MODEL_DATA_FROM_BIN is the installed data folder relative to the
    // installed program, so the lookup follows any prefix the install chose.
    const QString installed = QDir::cleanPath(programFolder + QLatin1Char('/') + QStringLiteral(MODEL_DATA_FROM_BIN));
    return QFileInfo(installed).isDir() ? installed : programFolder;
}
