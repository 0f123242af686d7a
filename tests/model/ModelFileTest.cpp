#include "model/ModelFile.h"

#include "platform/CodePage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Item
{
    QString name;
    QStringList terms;
};

QByteArray fileBytes(const QStringList &lines, const char *lineEnd = "\r\n", bool utf8 = false)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += (utf8 ? line.toUtf8() : CodePage::toWindows1251(line)) + lineEnd;
    return bytes;
}

// Writes bytes to <dir>/model.mod and returns the path without extension.
QString writeModel(const QTemporaryDir &dir, const QByteArray &bytes)
{
    const QString path = dir.filePath(QStringLiteral("model"));
    QFile file(path + QStringLiteral(".mod"));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write the test file";
    return path;
}

// Every field of a definition, all slots included, as one comparable text.
QString dump(const ModelDefinition &m)
{
    QStringList parts{m.ModelName, QString::number(m.ElemCount), QString::number(m.OutCount)};
    for (int i = 0; i <= MaxElements; ++i)
        parts << m.ElemName[i] << QString::number(m.ElemTermCount[i]) << QStringList(m.ElemTerm[i].begin(), m.ElemTerm[i].end()).join(u'|');
    for (int j = 0; j <= MaxOutputs; ++j)
        parts << m.OutName[j] << QString::number(m.OutTermCount[j]) << QStringList(m.OutTerm[j].begin(), m.OutTerm[j].end()).join(u'|');
    return parts.join(u'\n');
}

template<std::size_t Items, std::size_t Terms>
void expectGroup(int count, const std::array<int16_t, Items> &termCount, const std::array<QString, Items> &names,
                 const std::array<std::array<QString, Terms>, Items> &terms, const QList<Item> &expected)
{
    ASSERT_EQ(count, expected.size());
    for (int k = 1; k <= count; ++k) {
        const Item &item = expected[k - 1];
        EXPECT_EQ(names[k], item.name) << "item " << k;
        ASSERT_EQ(termCount[k], item.terms.size()) << "item " << k;
        for (int t = 1; t <= termCount[k]; ++t)
            EXPECT_EQ(terms[k][t], item.terms[t - 1]) << "item " << k << " term " << t;
    }
}

void expectModel(const ModelDefinition &state, const QString &name, const QList<Item> &elements, const QList<Item> &outputs)
{
    EXPECT_EQ(state.ModelName, name);
    expectGroup(state.ElemCount, state.ElemTermCount, state.ElemName, state.ElemTerm, elements);
    expectGroup(state.OutCount, state.OutTermCount, state.OutName, state.OutTerm, outputs);
}

TEST(LoadModel, SplitsLinesIntoNamesAndTerms)
{
    struct Case
    {
        const char *what;
        QStringList lines;
        QString name;
        QList<Item> elements;
        QList<Item> outputs;
    };
    const Case cases[] = {
        {"writer's layout, blanks, empty function, ++, second =",
         {QStringLiteral("Реле  КП "), QStringLiteral(" 3 "),
          QStringLiteral("А=Б*p+А*-Б"), QStringLiteral("  Б В  ="), QStringLiteral("Г=Б++p"),
          QStringLiteral(" 2 "), QStringLiteral("Х1= А "), QStringLiteral("Х2=А+Б=В*p")},
         QStringLiteral("Реле  КП "),
         {{QStringLiteral("А"), {QStringLiteral("Б*p"), QStringLiteral("А*-Б")}},
          {QStringLiteral("Б В"), {QString()}},
          {QStringLiteral("Г"), {QStringLiteral("Б"), QString(), QStringLiteral("p")}}},
         {{QStringLiteral("Х1"), {QStringLiteral(" А ")}},
          {QStringLiteral("Х2"), {QStringLiteral("А"), QStringLiteral("В*p")}}}},
        {"hand-edited counts, + before =, line without =, trailing lines ignored",
         {QStringLiteral(""), QStringLiteral("3"),
          QStringLiteral("А+Б=В"), QStringLiteral(" Г "), QStringLiteral("=p+"),
          QStringLiteral("\t0  "), QStringLiteral("лишняя строка")},
         QString(),
         {{QStringLiteral("АБ"), {QString(), QStringLiteral("В")}},
          {QStringLiteral("Г"), {QString()}},
          {QString(), {QStringLiteral("p"), QString()}}},
         {}},
        {"signed counts, only blanks trimmed from names",
         {QStringLiteral("М"), QStringLiteral("+2"), QStringLiteral("А==p"), QStringLiteral(" \tБ\t =p"),
          QStringLiteral("-0")},
         QStringLiteral("М"),
         {{QStringLiteral("А"), {QStringLiteral("p")}}, {QStringLiteral("\tБ\t"), {QStringLiteral("p")}}},
         {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        ModelDefinition state;
        const FileResult<> loaded = LoadModel(state, writeModel(dir, fileBytes(c.lines)));
        ASSERT_TRUE(loaded) << loaded.error().toStdString();
        expectModel(state, c.name, c.elements, c.outputs);
    }
}

TEST(LoadModel, ReadsUtf8AndWindows1251WithEitherLineEnd)
{
    const QStringList lines{QStringLiteral("Счётчик"), QStringLiteral(" 1 "), QStringLiteral("Ж=Щ*-p"),
                            QStringLiteral(" 1 "), QStringLiteral("Я=Ж")};
    struct Case { const char *what; QByteArray bytes; };
    const Case cases[] = {
        {"Windows-1251, CR LF", fileBytes(lines)},
        {"Windows-1251, LF", fileBytes(lines, "\n")},
        {"UTF-8, CR LF", fileBytes(lines, "\r\n", true)},
        {"UTF-8, LF", fileBytes(lines, "\n", true)},
        {"UTF-8, no final line end", fileBytes(lines, "\n", true).chopped(1)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        ModelDefinition state;
        const FileResult<> loaded = LoadModel(state, writeModel(dir, c.bytes));
        ASSERT_TRUE(loaded) << loaded.error().toStdString();
        expectModel(state, QStringLiteral("Счётчик"), {{QStringLiteral("Ж"), {QStringLiteral("Щ*-p")}}},
                    {{QStringLiteral("Я"), {QStringLiteral("Ж")}}});
    }
}

TEST(LoadModel, TakesModelsAtFullCapacity)
{
    QStringList lines{QStringLiteral("Полная"), QStringLiteral(" 20 ")};
    for (int i = 1; i <= MaxElements; ++i)
        lines << QStringLiteral("Р%1=").arg(i) + QString(MaxElemTerms - 1, u'+');
    lines << QStringLiteral(" 5 ");
    for (int j = 1; j <= MaxOutputs; ++j)
        lines << QStringLiteral("В%1=").arg(j) + QString(MaxOutTerms - 1, u'+');
    QTemporaryDir dir;
    ModelDefinition state;
    const FileResult<> loaded = LoadModel(state, writeModel(dir, fileBytes(lines)));
    ASSERT_TRUE(loaded) << loaded.error().toStdString();
    EXPECT_EQ(state.ElemCount, MaxElements);
    EXPECT_EQ(state.OutCount, MaxOutputs);
    EXPECT_EQ(state.ElemTermCount[MaxElements], MaxElemTerms);
    EXPECT_EQ(state.OutTermCount[MaxOutputs], MaxOutTerms);
    EXPECT_EQ(state.ElemName[MaxElements], QStringLiteral("Р20"));
}

TEST(LoadModel, RejectsBadFilesNamingTheLineAndKeepsTheOldModel)
{
    const QString fortyOneTerms = QStringLiteral("А=") + QString(MaxElemTerms, u'+');
    const QString twentySixTerms = QStringLiteral("Х=") + QString(MaxOutTerms, u'+');
    struct Case { QStringList lines; int line; QString message; };
    const Case cases[] = {
        {{}, 1, QStringLiteral("файл кончился, нет строки с названием устройства.")},
        {{QStringLiteral("М")}, 2, QStringLiteral("файл кончился, нет строки с числом элементов.")},
        {{QStringLiteral("М"), QStringLiteral("три")}, 2,
         QStringLiteral("число элементов должно быть целым десятичным числом, а в строке «три».")},
        {{QStringLiteral("М"), QStringLiteral(" 2,5 ")}, 2,
         QStringLiteral("число элементов должно быть целым десятичным числом, а в строке « 2,5 ».")},
        {{QStringLiteral("М"), QString()}, 2,
         QStringLiteral("число элементов должно быть целым десятичным числом, а в строке «».")},
        {{QStringLiteral("М"), QStringLiteral(" -1 ")}, 2, QStringLiteral("число элементов не может быть отрицательным.")},
        {{QStringLiteral("М"), QStringLiteral(" 21 ")}, 2, QStringLiteral("элементов 21, а модель допускает не больше 20.")},
        {{QStringLiteral("М"), QStringLiteral("99999999999999999999")}, 2,
         QStringLiteral("элементов 99999999999999999999, а модель допускает не больше 20.")},
        {{QStringLiteral("М"), QStringLiteral("2"), QStringLiteral("А=p")}, 4,
         QStringLiteral("файл кончился, нет строки с функцией элемента 2.")},
        {{QStringLiteral("М"), QStringLiteral("1"), fortyOneTerms}, 3,
         QStringLiteral("в функции элемента 1 больше 40 термов.")},
        {{QStringLiteral("М"), QStringLiteral("0")}, 3, QStringLiteral("файл кончился, нет строки с числом выходов.")},
        {{QStringLiteral("М"), QStringLiteral("0"), QStringLiteral("6")}, 3,
         QStringLiteral("выходов 6, а модель допускает не больше 5.")},
        {{QStringLiteral("М"), QStringLiteral("0"), QStringLiteral("1"), twentySixTerms}, 4,
         QStringLiteral("в функции выхода 1 больше 25 термов.")},
        {{QStringLiteral("М"), QStringLiteral("0"), QStringLiteral("2"), QStringLiteral("Х=p")}, 5,
         QStringLiteral("файл кончился, нет строки с функцией выхода 2.")},
    };
    QTemporaryDir oldDir;
    ModelDefinition state;
    ASSERT_TRUE(LoadModel(state, writeModel(oldDir, fileBytes({QStringLiteral("Старая"), QStringLiteral("1"),
                                                                QStringLiteral("А=p+-p"), QStringLiteral("1"),
                                                                QStringLiteral("Х=А")}))));
    const QString before = dump(state);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        QTemporaryDir dir;
        const QString path = writeModel(dir, fileBytes(c.lines));
        const FileResult<> loaded = LoadModel(state, path);
        ASSERT_FALSE(loaded);
        EXPECT_EQ(loaded.error(), QStringLiteral("Файл %1.mod, строка %2: ").arg(path).arg(c.line) + c.message);
        EXPECT_EQ(dump(state), before);
    }
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("нет"));
    const FileResult<> loaded = LoadModel(state, missing);
    ASSERT_FALSE(loaded);
    EXPECT_EQ(loaded.error(), QStringLiteral("Не удаётся открыть файл модели %1.mod.").arg(missing));
    EXPECT_EQ(dump(state), before);
}

ModelText sampleModel()
{
    return {QStringLiteral("Реле 1"),
            {{QStringLiteral("А"), QStringLiteral("Б*p+А*-Б")}, {QStringLiteral(" Б "), QString()}},
            {{QStringLiteral("Х"), QStringLiteral(" А")}}};
}

TEST(WriteModelFile, WritesWindows1251WithCrLfAndReadsBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("реле"));
    const FileResult<> written = WriteModelFile(path + QStringLiteral(".mod"), sampleModel());
    ASSERT_TRUE(written) << written.error().toStdString();

    QFile file(path + QStringLiteral(".mod"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\xD0\xE5\xEB\xE5 1\r\n"
                                         " 2 \r\n"
                                         "\xC0=\xC1*p+\xC0*-\xC1\r\n"
                                         " \xC1 =\r\n"
                                         " 1 \r\n"
                                         "\xD5= \xC0\r\n"));
    ModelDefinition state;
    const FileResult<> loaded = LoadModel(state, path);
    ASSERT_TRUE(loaded) << loaded.error().toStdString();
    expectModel(state, QStringLiteral("Реле 1"),
                {{QStringLiteral("А"), {QStringLiteral("Б*p"), QStringLiteral("А*-Б")}}, {QStringLiteral("Б"), {QString()}}},
                {{QStringLiteral("Х"), {QStringLiteral(" А")}}});
}

TEST(WriteModelFile, FailureNamesTheFileAndKeepsTheOldOne)
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("реле.mod"));
    ASSERT_TRUE(WriteModelFile(fileName, sampleModel()));
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray old = file.readAll();
    file.close();

    ModelText unwritable = sampleModel();
    unwritable.elements[1].function = QStringLiteral("Б∧В");
    const FileResult<> refused = WriteModelFile(fileName, unwritable);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error(), QStringLiteral("Файл %1 не записан: символ «∧» нельзя сохранить в кодировке Windows-1251.").arg(fileName));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), old);

    const QString noFolder = dir.filePath(QStringLiteral("нет/реле.mod"));
    const FileResult<> unwritten = WriteModelFile(noFolder, sampleModel());
    ASSERT_FALSE(unwritten);
    EXPECT_EQ(unwritten.error(), QStringLiteral("Не удаётся записать файл модели %1.").arg(noFolder));
}

} // namespace
