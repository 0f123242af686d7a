#include "report/ShowReport.h"

#include "editor/frmEditor.h"
#include "model/FileChoice.h"

void ShowReport(ModelState &state, CommonDialog &CDL1, QMdiArea &area)
{
    if (!ChooseFile(state, CDL1, QStringLiteral("out")))
        return;
    frmEditor &editor = frmEditor::Instance(area);
    // The editor may hold a model with unsaved changes; the report must not
    // silently replace them.
    if (editor.CheckSave()) {
        editor.OpenReport(state.ChosenPath + QLatin1String(".out"));
        editor.ShowEditor();
    }
    state.ChosenPath.clear();
}
