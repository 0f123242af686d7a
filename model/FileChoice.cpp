#include "model/FileChoice.h"

#include "platform/CommonDialog.h"
#include "platform/DataFolder.h"
#include "platform/Prompts.h"

#include <QFile>

namespace {

bool isReadable(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly);
}

} // namespace

QString PathBeforeFirstDot(const QString &path, bool keepWholeWithoutDot)
{
    const qsizetype dot = path.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return keepWholeWithoutDot ? path : QString();
    return path.left(dot);
}

bool ChooseFile(ModelState &state, CommonDialog &CDL1, const QString &extension)
{
    const bool choosesModel = extension.toLower() == QLatin1String("mod");
    // Each refusal of a missing file offers the dialog again.
    for (;;) {
        CDL1.Filter = QStringLiteral("Файлы ") + extension + QStringLiteral(" |*.") + extension;
        if (!state.ModelPath.isEmpty())
            CDL1.FileName = state.ModelPath + QLatin1Char('.') + extension;
        CDL1.Flags = CommonDialog::HideReadOnly;
        CDL1.InitDir = ProgramDataFolder();
        if (!CDL1.ShowOpen() || CDL1.FileName.isEmpty())
            return false;
        state.ChosenPath = PathBeforeFirstDot(CDL1.FileName, false);
        const QString fileName = state.ChosenPath + QLatin1Char('.') + extension;
        const bool readable = isReadable(fileName);
        if (choosesModel)
            state.ModelPath = state.ChosenPath;
        if (readable)
            return true;
        MessageRequest missing;
        missing.text = QStringLiteral("Файл ") + fileName + QStringLiteral(" не существует");
        missing.buttons = Prompt::Buttons::RetryCancel;
        missing.icon = Prompt::Icon::Critical;
        if (prompts().message(missing) != Prompt::Answer::Retry)
            return false;
    }
}
