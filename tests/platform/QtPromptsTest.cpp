#include "platform/QtPrompts.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs the action on the modal dialog the call opens, once it is up, and
// then leaves the dialog by Cancel.
template<typename Dialog>
void whileOpen(const std::function<void(Dialog &)> &action)
{
    QTimer::singleShot(0, [action] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        action(*dialog);
        dialog->reject();
    });
}

TEST(QtPrompts, AnInputBoxWithoutATitleShowsTheProgramsAndAnEmptyTitleShowsNone)
{
    struct Case { std::optional<QString> title; QString shown; };
    const Case cases[] = {
        {std::nullopt, QStringLiteral("Модель")},
        {QString(), QString()},
        {QStringLiteral("Ввод данных"), QStringLiteral("Ввод данных")},
    };
    QtPrompts prompts;
    for (const Case &c : cases) {
        InputRequest request;
        request.prompt = QStringLiteral("Число выходов");
        if (c.title)
            request.title = *c.title;
        QString shown = QStringLiteral("(no dialog)");
        whileOpen<QInputDialog>([&shown](QInputDialog &box) { shown = box.windowTitle(); });
        EXPECT_EQ(prompts.input(request), QString());
        EXPECT_EQ(shown.toStdString(), c.shown.toStdString())
            << c.title.value_or(QStringLiteral("(none)")).toStdString();
    }
}

// Esc is the run's stop key and is easily pressed just as a box comes up:
// it must not answer a Yes/No question, only stand for Cancel or a lone OK.
TEST(QtPrompts, EscAnswersCancelOrALoneOkButNeverAYesNoQuestion)
{
    using B = Prompt::Buttons;
    using A = Prompt::Answer;
    struct Case { B buttons; std::optional<A> byEsc; A clicked; };
    const Case cases[] = {
        {B::YesNo, std::nullopt, A::Yes},
        {B::YesNo, std::nullopt, A::No},
        {B::OkCancel, A::Cancel, A::Ok},
        {B::RetryCancel, A::Cancel, A::Retry},
        {B::Ok, A::Ok, A::Ok},
    };
    QtPrompts prompts;
    for (const Case &c : cases) {
        MessageRequest request;
        request.text = QStringLiteral("Продолжать вывод?");
        request.buttons = c.buttons;
        bool openAfterEsc = false;
        bool openAfterClose = false;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            ASSERT_TRUE(box);
            QTest::keyClick(box, Qt::Key_Escape);
            QCoreApplication::processEvents();
            openAfterEsc = box->isVisible();
            if (!openAfterEsc)
                return;
            box->close();
            openAfterClose = box->isVisible();
            const QMessageBox::StandardButton button =
                c.clicked == A::Yes ? QMessageBox::Yes : c.clicked == A::No ? QMessageBox::No : QMessageBox::Ok;
            box->button(button)->click();
        });
        const A answer = prompts.message(request);
        const int row = int(&c - cases);
        EXPECT_EQ(openAfterEsc, !c.byEsc.has_value()) << row;
        EXPECT_EQ(openAfterClose, !c.byEsc.has_value()) << row;
        EXPECT_EQ(answer, c.byEsc.value_or(c.clicked)) << row;
    }
}

std::string sorted(const QSet<QString> &names)
{
    QStringList list(names.begin(), names.end());
    list.sort();
    return list.join(QLatin1Char(' ')).toStdString();
}

// The names the dialog lists in its folder, once its model has read them.
QSet<QString> listedNames(QFileDialog &dialog, const QString &folder, int expected)
{
    auto *model = dialog.findChild<QFileSystemModel *>();
    if (!model)
        return {};
    QSet<QString> names;
    for (int attempt = 0; attempt < 100 && names.size() != expected; ++attempt) {
        QTest::qWait(20);
        names.clear();
        const QModelIndex root = model->index(folder);
        for (int row = 0; row < model->rowCount(root); ++row) {
            const QModelIndex entry = model->index(row, 0, root);
            if (model->flags(entry) & Qt::ItemIsEnabled)
                names << entry.data().toString();
        }
    }
    return names;
}

TEST(QtPrompts, AllFilesMeansEveryFileWithOrWithoutAPoint)
{
    QTemporaryDir dir;
    for (const char *name : {"README", "relay.mod", "notes.txt"})
        QFile(dir.filePath(QLatin1String(name))).open(QIODevice::WriteOnly);
    struct Case { int filter; QString caption; QSet<QString> listed; };
    const Case cases[] = {
        {0, QStringLiteral("Все (*.*)"),
         {QStringLiteral("README"), QStringLiteral("relay.mod"), QStringLiteral("notes.txt")}},
        {1, QStringLiteral("Модель (*.mod)"), {QStringLiteral("relay.mod")}},
        {2, QStringLiteral("Файлы txt (*.txt)"), {QStringLiteral("notes.txt")}},
    };
    FileRequest request;
    request.filter = QStringLiteral("Все (*.*)|*.*|Модель (*.mod)|*.mod|Файлы txt |*.txt");
    request.initDir = dir.path();
    QtPrompts prompts;
    for (const Case &c : cases) {
        QString caption;
        QSet<QString> listed;
        whileOpen<QFileDialog>([&](QFileDialog &dialog) {
            dialog.selectNameFilter(dialog.nameFilters().value(c.filter));
            auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            ASSERT_TRUE(types);
            caption = types->currentText();
            listed = listedNames(dialog, dir.path(), int(c.listed.size()));
        });
        EXPECT_EQ(prompts.fileName(request), QString());
        EXPECT_EQ(caption.toStdString(), c.caption.toStdString());
        EXPECT_EQ(sorted(listed), sorted(c.listed));
    }
}

} // namespace
