#include "platform/CommonDialog.h"
#include "tests/support/ScriptedPrompts.h"

#include <gtest/gtest.h>

namespace {

TEST(CommonDialog, PropertiesPersistFromOneUserToTheNext)
{
    ScriptedPrompts script;
    CommonDialog dialog;
    dialog.Filter = QStringLiteral("Файлы модели (*.mod)|*.mod");
    dialog.DefaultExt = QStringLiteral(".mod");
    dialog.Flags = CommonDialog::OverwritePrompt | CommonDialog::HideReadOnly;
    script.expectFile({FileRequest::Kind::Save, dialog.Filter, QString(), QStringLiteral(".mod"), QString(), true},
                      QStringLiteral("/tmp/a.mod"));
    ASSERT_TRUE(dialog.ShowSave());
    EXPECT_EQ(dialog.FileName, QStringLiteral("/tmp/a.mod"));

    // The next user sets only the filter and inherits the rest.
    dialog.Filter = QStringLiteral("Файлы tim |*.tim");
    dialog.Flags = CommonDialog::HideReadOnly;
    script.expectFile({FileRequest::Kind::Open, dialog.Filter, QStringLiteral("/tmp/a.mod"), QStringLiteral(".mod"),
                       QString(), false},
                      QString());
    EXPECT_FALSE(dialog.ShowOpen());
    EXPECT_EQ(dialog.FileName, QStringLiteral("/tmp/a.mod")) << "a cancel leaves the name as it was";
}

} // namespace
