#include "platform/CommonDialog.h"

#include "platform/Prompts.h"

bool CommonDialog::ShowOpen() { return show(false); }

bool CommonDialog::ShowSave() { return show(true); }

bool CommonDialog::ShowPrinter(QPrinter &printer) { return prompts().printerSetup(printer); }

bool CommonDialog::show(bool save)
{
    FileRequest request;
    request.kind = save ? FileRequest::Kind::Save : FileRequest::Kind::Open;
    request.filter = Filter;
    request.fileName = FileName;
    request.defaultExt = DefaultExt;
    request.initDir = InitDir;
    request.overwritePrompt = (Flags & OverwritePrompt) != 0;
    const QString chosen = prompts().fileName(request);
    if (chosen.isEmpty())
        return false;
    FileName = chosen;
    return true;
}
