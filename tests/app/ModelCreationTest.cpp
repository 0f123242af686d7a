#include "model/ModelCreation.h"
#include "model/ModelFile.h"
#include "platform/CommonDialog.h"
#include "tests/support/ScriptedPrompts.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString kData = QStringLiteral("Ввод данных");

InputRequest modelName() { return {QStringLiteral("Название модели "), std::nullopt, QString()}; }
InputRequest elementCount() { return {QStringLiteral("Число внутренних элементов"), QString(), QStringLiteral("1")}; }
InputRequest outputCount() { return {QStringLiteral("Число выходов"), QString(), QStringLiteral("1")}; }
InputRequest elementName(int i)
{
    return {QStringLiteral("Название %1- го элемента ").arg(i), kData, QString()};
}
InputRequest outputName(int j) { return {QStringLiteral("Назовите выход %1").arg(j), kData, QString()}; }

// Types the function and presses Enter, checking the header on the way.
ScriptedPrompts::DialogAction typeFunction(const QString &header, const QString &function)
{
    return [header, function](QDialog &window) {
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Функция возбуждения"));
        auto *label = window.findChild<QWidget *>(QStringLiteral("lblHeader"));
        ASSERT_TRUE(label);
        EXPECT_EQ(label->property("text").toString(), header);
        auto *field = window.findChild<QLineEdit *>(QStringLiteral("txtFunc"));
        ASSERT_TRUE(field);
        EXPECT_TRUE(field->text().isEmpty());
        field->setText(function);
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_FALSE(window.isVisible());
    };
}

// Types a function but leaves by the close box: the function is lost.
ScriptedPrompts::DialogAction typeThenCloseBox(const QString &function)
{
    return [function](QDialog &window) {
        window.findChild<QLineEdit *>(QStringLiteral("txtFunc"))->setText(function);
        QTest::keyClick(&window, Qt::Key_Escape); // only a key for the field
        EXPECT_TRUE(window.isVisible());
        window.close();
    };
}

FileRequest saveRequest(const QString &proposed, const QString &initDir)
{
    FileRequest r;
    r.kind = FileRequest::Kind::Save;
    r.filter = QStringLiteral("Файлы модели (*.mod)|*.mod");
    r.fileName = proposed;
    r.defaultExt = QStringLiteral(".mod");
    r.initDir = initDir;
    r.overwritePrompt = true;
    return r;
}

MessageRequest saved()
{
    return {QStringLiteral("Файл сохранен"), QStringLiteral("Создание модели"), Prompt::Buttons::Ok,
            Prompt::Icon::Information, std::nullopt};
}

QByteArray contents(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

TEST(CreateModel, TwoElementsAndOneOutputInOrder)
{
    QTemporaryDir dir;
    ModelState state;
    state.ModelPath = QStringLiteral("/earlier/model");
    CommonDialog CDL1;
    // Left by an earlier user: the save dialog keeps them.
    CDL1.FileName = QStringLiteral("/earlier/model.tim");
    CDL1.InitDir = QStringLiteral("/earlier");
    {
        ScriptedPrompts s;
        s.expectInput(modelName(), QStringLiteral("Реле"))
            .expectInput(elementCount(), QStringLiteral("2"))
            .expectInput(outputCount(), QStringLiteral("1"))
            .expectInput(elementName(1), QStringLiteral("А"))
            .expectDialog(QStringLiteral("frmInitFunc"), typeFunction(QStringLiteral("А="), QStringLiteral("Б*p+А*-Б")))
            .expectInput(elementName(2), QStringLiteral(" Б "))
            .expectDialog(QStringLiteral("frmInitFunc"), typeFunction(QStringLiteral(" Б ="), QStringLiteral(" p")))
            .expectInput(outputName(1), QStringLiteral("В"))
            .expectDialog(QStringLiteral("frmInitFunc"), typeThenCloseBox(QStringLiteral("А")))
            .expectFile(saveRequest(QStringLiteral("/earlier/model.tim"), QStringLiteral("/earlier")),
                        dir.filePath(QStringLiteral("relay.old.mod")))
            .expectMessage(saved(), Prompt::Answer::Ok);
        CreateModel(state, CDL1);
    }
    EXPECT_EQ(state.ChosenPath, dir.filePath(QStringLiteral("relay")));
    EXPECT_EQ(state.ModelPath, dir.filePath(QStringLiteral("relay")));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("relay.old.mod"))));
    // Windows-1251: Р=D0 е=E5 л=EB А=C0 Б=C1 В=C2.
    EXPECT_EQ(contents(dir.filePath(QStringLiteral("relay.mod"))),
              QByteArray("\xD0\xE5\xEB\xE5\r\n 2 \r\n\xC0=\xC1*p+\xC0*-\xC1\r\n \xC1 = p\r\n 1 \r\n\xC2=\r\n"));
}

// The element count answer, then no outputs and a cancelled save dialog; the
// script fails unless exactly count element names are asked.
TEST(CreateModel, CountsAreLeadingNumbersRoundedHalfToEven)
{
    struct Case { const char *answer; int16_t count; };
    const Case cases[] = {{"2", 2}, {"2.5", 2}, {"3.5", 4}, {" 1.5 штуки", 2}, {"слово", 0}, {"", 0}, {"-0.4", 0}};
    for (const Case &c : cases) {
        const QString answer = QString::fromUtf8(c.answer);
        SCOPED_TRACE(c.answer);
        ModelState state;
        state.ModelPath = QStringLiteral("/earlier/model");
        CommonDialog CDL1;
        {
            ScriptedPrompts s;
            s.expectInput(modelName(), QStringLiteral("М"))
                .expectInput(elementCount(), answer)
                .expectInput(outputCount(), QStringLiteral("0"));
            for (int i = 1; i <= c.count; ++i)
                s.expectInput(elementName(i), QString()).expectDialog(QStringLiteral("frmInitFunc"), [](QDialog &) {});
            s.expectFile(saveRequest(QString(), QString()), QString());
            CreateModel(state, CDL1);
        }
        EXPECT_EQ(state.ModelPath, QStringLiteral("/earlier/model")); // cancelled: nothing written
    }
}

TEST(CreateModel, CountsBeyondCapacityAreAskedAgain)
{
    const auto refused = [](const QString &what, int capacity, const QString &answer) {
        return MessageRequest{QStringLiteral("Число ") + what + QStringLiteral(" должно быть от 0 до ")
                                  + QString::number(capacity) + QStringLiteral(", а введено «") + answer
                                  + QStringLiteral("». Введите его снова."),
                              QStringLiteral("Создание модели"), Prompt::Buttons::Ok, Prompt::Icon::Exclamation,
                              std::nullopt};
    };
    const QString elements = QStringLiteral("внутренних элементов");
    const QString outputs = QStringLiteral("выходов");
    ModelState state;
    CommonDialog CDL1;
    {
        ScriptedPrompts s;
        s.expectInput(modelName(), QStringLiteral("М"))
            .expectInput(elementCount(), QStringLiteral("21"))
            .expectMessage(refused(elements, 20, QStringLiteral("21")), Prompt::Answer::Ok)
            .expectInput(elementCount(), QStringLiteral("70000"))
            .expectMessage(refused(elements, 20, QStringLiteral("70000")), Prompt::Answer::Ok)
            .expectInput(elementCount(), QStringLiteral("0"))
            .expectInput(outputCount(), QStringLiteral("5.5"))
            .expectMessage(refused(outputs, 5, QStringLiteral("5.5")), Prompt::Answer::Ok)
            .expectInput(outputCount(), QStringLiteral("-1"))
            .expectMessage(refused(outputs, 5, QStringLiteral("-1")), Prompt::Answer::Ok)
            .expectInput(outputCount(), QStringLiteral("0"))
            .expectFile(saveRequest(QString(), QString()), QString());
        CreateModel(state, CDL1);
    }
    EXPECT_TRUE(state.ModelPath.isEmpty());
}

TEST(CreateModel, AnEmptyNameEndsAtOnce)
{
    ModelState state;
    state.ModelPath = QStringLiteral("/earlier/model");
    CommonDialog CDL1;
    {
        ScriptedPrompts s; // nothing is asked after the name
        s.expectInput(modelName(), QString());
        CreateModel(state, CDL1);
    }
    EXPECT_EQ(state.ModelPath, QStringLiteral("/earlier/model"));
}

// The chosen folder cannot take files. Tests run as root, where a read-only
// folder still takes them, so the "folder" is a regular file here.
TEST(CreateModel, AFailedWriteIsReportedAndNotCalledSaved)
{
    QTemporaryDir dir;
    QFile(dir.filePath(QStringLiteral("plain"))).open(QIODevice::WriteOnly);
    const QString blocked = dir.filePath(QStringLiteral("plain/relay"));
    const QString elsewhere = dir.filePath(QStringLiteral("relay"));
    const MessageRequest failed{QStringLiteral("Не удаётся записать файл модели ") + blocked
                                    + QStringLiteral(".mod. Выберите другое имя файла."),
                                QStringLiteral("Создание модели"), Prompt::Buttons::Ok, Prompt::Icon::Critical,
                                std::nullopt};
    // The second choice: given up, or another folder that takes the file.
    for (const QString &second : QStringList{QString(), elsewhere + QStringLiteral(".mod")}) {
        SCOPED_TRACE(second.toStdString());
        ModelState state;
        state.ModelPath = QStringLiteral("/earlier/model");
        state.ChosenPath = QStringLiteral("/earlier/chosen");
        CommonDialog CDL1;
        {
            ScriptedPrompts s;
            s.expectInput(modelName(), QStringLiteral("Реле"))
                .expectInput(elementCount(), QStringLiteral("1"))
                .expectInput(outputCount(), QStringLiteral("0"))
                .expectInput(elementName(1), QStringLiteral("А"))
                .expectDialog(QStringLiteral("frmInitFunc"), typeFunction(QStringLiteral("А="), QStringLiteral("p")))
                .expectFile(saveRequest(QString(), QString()), blocked + QStringLiteral(".mod"))
                .expectMessage(failed, Prompt::Answer::Ok)
                .expectFile(saveRequest(blocked + QStringLiteral(".mod"), QString()), second);
            if (!second.isEmpty())
                s.expectMessage(saved(), Prompt::Answer::Ok);
            CreateModel(state, CDL1);
        }
        EXPECT_FALSE(QFile::exists(blocked + QStringLiteral(".mod")));
        if (second.isEmpty()) {
            EXPECT_EQ(state.ModelPath, QStringLiteral("/earlier/model"));
            EXPECT_EQ(state.ChosenPath, QStringLiteral("/earlier/chosen"));
        } else {
            EXPECT_EQ(state.ModelPath, elsewhere);
            EXPECT_EQ(state.ChosenPath, elsewhere);
            // Windows-1251: Р=D0 е=E5 л=EB А=C0.
            EXPECT_EQ(contents(elsewhere + QStringLiteral(".mod")),
                      QByteArray("\xD0\xE5\xEB\xE5\r\n 1 \r\n\xC0=p\r\n 0 \r\n"));
        }
    }
}

TEST(LeadingNumber, ReadsAsFarAsANumberGoes)
{
    struct Case { const char *text; double value; };
    const Case cases[] = {
        {"12", 12},     {"  7", 7},   {"12abc", 12}, {"1 2", 12},     {"2.5", 2.5},  {".5", 0.5},
        {"1.2.3", 1.2}, {"-3", -3},   {"+4", 4},     {"1e3", 1000},   {"2e", 2},     {"2e+", 2},
        {"abc", 0},     {"", 0},      {".", 0},      {"-", 0},        {"1,5", 1},
    };
    for (const Case &c : cases)
        EXPECT_DOUBLE_EQ(LeadingNumber(QString::fromUtf8(c.text)), c.value) << c.text;
}

} // namespace
