#include "about/SystemInfo.h"

#include "platform/Prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

bool GetKeyValue(KeyRoot, const QString &, const QString &, QString &keyVal)
{
    keyVal.clear();
    return false;
}

namespace {

// The tool's full path, or nothing when the registry does not lead to it.
QString sysInfoPath(const KeyReader &readKey)
{
    QString value;
    if (readKey(KeyRoot::LocalMachine, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                QStringLiteral("PATH"), value))
        return value;
    if (!readKey(KeyRoot::LocalMachine, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                 QStringLiteral("MSINFO"), value))
        return {};
    const QString path = QDir(value).filePath(QStringLiteral("MSINFO32.EXE"));
    return QFileInfo(path).isFile() ? path : QString();
}

} // namespace

void StartSysInfo(const KeyReader &readKey)
{
    const QString path = sysInfoPath(readKey);
    if (!path.isEmpty() && QProcess::startDetached(path, {}))
        return;
    prompts().message({QStringLiteral("Системная информация недоступна"), QString(), Prompt::Buttons::Ok,
                       Prompt::Icon::None, {}});
}
