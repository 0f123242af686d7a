// "Проверить модель" in the editor: the findings listed under the text, and
// choosing one puts the cursor on its line and column. With
// MODEL_CHECK_SCREENSHOT set, the editor is saved there as a picture.

#include "editor/frmEditor.h"
#include "editor/ModelCheckPanel.h"

#include <QAction>
#include <QMenu>
#include <QTextBlock>
#include <QTextEdit>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

QAction *command(const frmEditor &editor, const QString &caption)
{
    for (QMenu *menu : editor.menus())
        for (QAction *action : menu->actions())
            if (action->text() == caption)
                return action;
    return nullptr;
}

TEST(ModelCheckPanel, ListsTheFindingsAndGoesToTheChosenOne)
{
    frmEditor editor;
    editor.resize(720, 460);
    editor.textBox->setPlainText(QStringLiteral("Дешифратор с ошибками\n 3 \nИ=p\nБ=И\nКЖ=Б*-Ж3\n 1 \nЛКЖ=КЖ*-ЖЗ\n"));
    QAction *check = command(editor, QStringLiteral("Проверить модель"));
    ASSERT_NE(check, nullptr);
    check->trigger();

    auto *panel = editor.findChild<ModelCheckPanel *>();
    ASSERT_NE(panel, nullptr);
    // Line 5: «Ж3» at column 7; line 7: «ЖЗ» at column 9 — both not found.
    ASSERT_EQ(panel->list()->topLevelItemCount(), 2);
    EXPECT_EQ(panel->list()->topLevelItem(1)->text(0), QStringLiteral("7"));
    EXPECT_EQ(panel->list()->topLevelItem(1)->text(1), QStringLiteral("9"));

    emit panel->list()->itemActivated(panel->list()->topLevelItem(1), 0);
    QTextCursor cursor = editor.textBox->textCursor();
    EXPECT_EQ(cursor.blockNumber(), 6);
    EXPECT_EQ(cursor.positionInBlock(), 8);
    emit panel->list()->itemClicked(panel->list()->topLevelItem(0), 0);
    cursor = editor.textBox->textCursor();
    EXPECT_EQ(cursor.blockNumber(), 4);
    EXPECT_EQ(cursor.positionInBlock(), 6);

    // A second check reuses the panel and follows the text.
    editor.textBox->setPlainText(QStringLiteral("Т\n 1 \nИ=p\n 1 \nВ=И\n"));
    check->trigger();
    EXPECT_EQ(editor.findChildren<ModelCheckPanel *>().size(), 1);
    EXPECT_EQ(panel->list()->topLevelItemCount(), 0);

    if (const QByteArray shot = qgetenv("MODEL_CHECK_SCREENSHOT"); !shot.isEmpty()) {
        editor.textBox->setPlainText(QStringLiteral("Дешифратор с ошибками\n 4 \nИ=р\nБ=И\nКЖ=Б*-Ж3+\n"
                                                         "Д=Иp*Б-\n 1 \nЛКЖ=КЖ*-ЖЗ\n"));
        check->trigger();
        panel->list()->setCurrentItem(panel->list()->topLevelItem(2));
        emit panel->list()->itemActivated(panel->list()->topLevelItem(2), 0);
        editor.show();
        editor.grab().save(QString::fromLocal8Bit(shot));
    }
}

} // namespace
