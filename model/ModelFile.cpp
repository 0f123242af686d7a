#include "model/ModelFile.h"

#include "platform/BoundedRead.h"
#include "platform/CodePage.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

#include <limits>

namespace {

// The words a message needs for one group of function lines.
struct GroupWords
{
    QString many; // genitive plural: "число элементов"
    QString one;  // genitive singular: "функцией элемента 3"
};

const GroupWords &elementWords()
{
    static const GroupWords words{QStringLiteral("элементов"), QStringLiteral("элемента")};
    return words;
}

const GroupWords &outputWords()
{
    static const GroupWords words{QStringLiteral("выходов"), QStringLiteral("выхода")};
    return words;
}

// Names lose the blanks around them, and only blanks: a tab stays part of
// the name.
QString withoutBlanksAround(const QString &text)
{
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && text[first] == QLatin1Char(' '))
        ++first;
    while (end > first && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(first, end - first);
}

// A count, its blanks already trimmed: a decimal integer with optional sign.
// A number too long for the type reads as the largest value of its sign,
// which the capacity checks then reject.
bool parseCount(const QString &text, qint64 *count)
{
    static const QRegularExpression decimal(QStringLiteral("^[+-]?[0-9]+$"));
    if (!decimal.match(text).hasMatch())
        return false;
    bool ok = false;
    *count = text.toLongLong(&ok);
    if (!ok)
        *count = text.startsWith(QLatin1Char('-')) ? std::numeric_limits<qint64>::min()
                                                   : std::numeric_limits<qint64>::max();
    return true;
}

// Reads the lines of one model file into a definition, stopping at the first
// line that does not fit; error() then says which line and why.
class ModelFileReader
{
public:
    ModelFileReader(const QString &fileName, QStringList lines)
        : m_fileName(fileName), m_lines(std::move(lines))
    {
    }

    bool read(ModelDefinition &model)
    {
        return nextLine(&model.ModelName, QStringLiteral("названием устройства"))
            && ReadFunctions(model.ElemCount, model.ElemTermCount, model.ElemName, model.ElemTerm,
                             elementWords())
            && ReadFunctions(model.OutCount, model.OutTermCount, model.OutName, model.OutTerm,
                             outputWords());
    }

    const QString &error() const { return m_error; }
    qsizetype lineNumber() const { return m_lineNumber; }

private:
    // One group: its count line, then one function line per item, each cut
    // into a name and terms. Array slot 0 stays unused, so the capacities are
    // one less than the array sizes.
    template<std::size_t Items, std::size_t Terms>
    bool ReadFunctions(int16_t &count, std::array<int16_t, Items> &termCount,
                       std::array<QString, Items> &names,
                       std::array<std::array<QString, Terms>, Items> &terms,
                       const GroupWords &words)
    {
        constexpr int maxItems = int(Items) - 1;
        constexpr int maxTerms = int(Terms) - 1;
        if (!readCount(&count, maxItems, words))
            return false;
        for (int k = 1; k <= count; ++k) {
            QString line;
            if (!nextLine(&line, QStringLiteral("функцией %1 %2").arg(words.one).arg(k)))
                return false;
            QString name;
            int t = 1;
            bool equals = false;
            for (const QChar c : line) {
                if (c == QLatin1Char('=')) {
                    equals = true;
                    terms[k][t].clear();
                } else if (c == QLatin1Char('+')) {
                    if (++t > maxTerms)
                        return fail(QStringLiteral("в функции %1 %2 больше %3 термов")
                                        .arg(words.one).arg(k).arg(maxTerms));
                    terms[k][t].clear();
                } else if (equals) {
                    terms[k][t] += c;
                } else {
                    name += c;
                }
            }
            termCount[k] = int16_t(t);
            names[k] = withoutBlanksAround(name);
        }
        return true;
    }

    bool readCount(int16_t *count, int capacity, const GroupWords &words)
    {
        QString line;
        if (!nextLine(&line, QStringLiteral("числом %1").arg(words.many)))
            return false;
        const QString number = line.trimmed();
        qint64 n = 0;
        if (!parseCount(number, &n))
            return fail(QStringLiteral("число %1 должно быть целым десятичным числом, а в строке «%2»")
                            .arg(words.many, line));
        if (n < 0)
            return fail(QStringLiteral("число %1 не может быть отрицательным").arg(words.many));
        if (n > capacity)
            return fail(QStringLiteral("%1 %2, а модель допускает не больше %3")
                            .arg(words.many, number).arg(capacity));
        *count = int16_t(n);
        return true;
    }

    // Takes the next line; at the end of the file reports what that line
    // should have held.
    bool nextLine(QString *line, const QString &expected)
    {
        ++m_lineNumber;
        if (m_lineNumber > m_lines.size())
            return fail(QStringLiteral("файл кончился, нет строки с %1").arg(expected));
        *line = m_lines.at(m_lineNumber - 1);
        return true;
    }

    bool fail(const QString &what)
    {
        m_error = QStringLiteral("Файл %1, строка %2: %3.").arg(m_fileName, QString::number(m_lineNumber), what);
        return false;
    }

    QString m_fileName;
    QStringList m_lines;
    qsizetype m_lineNumber = 0; // of the line read last
    QString m_error;
};

// The first character of text that Windows-1251 cannot hold, or an empty text.
QString modelFileText(const ModelText &model)
{
    const QString lineEnd = QStringLiteral("\r\n");
    QString text = model.name + lineEnd;
    for (const QList<ModelText::Line> *group : {&model.elements, &model.outputs}) {
        text += QLatin1Char(' ') + QString::number(group->size()) + QLatin1Char(' ') + lineEnd;
        for (const ModelText::Line &line : *group)
            text += line.name + QLatin1Char('=') + line.function + lineEnd;
    }
    return text;
}

} // namespace

std::expected<ModelDefinition, ModelTextError> ReadModelText(const QString &fileName, const QString &text)
{
    ModelFileReader reader(fileName, ModelFileLines(text));
    // A fresh definition: a term that the line never assigns (in a line
    // without "=", or skipped by a "+" before it) stays empty.
    ModelDefinition model;
    if (!reader.read(model))
        return std::unexpected(ModelTextError{reader.error(), reader.lineNumber()});
    return model;
}

FileResult<ModelDefinition> ReadModelFile(const QString &modelPath)
{
    const QString fileName = modelPath + QStringLiteral(".mod");
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::unexpected(QStringLiteral("Не удаётся открыть файл модели %1.").arg(fileName));
    const FileResult<QByteArray> bytes = ReadAllBounded(file);
    if (!bytes)
        return std::unexpected(bytes.error());
    std::expected<ModelDefinition, ModelTextError> model = ReadModelText(fileName, CodePage::decodeTextFile(*bytes));
    if (!model)
        return std::unexpected(model.error().message);
    return std::move(*model);
}

FileResult<> LoadModel(ModelDefinition &definition, const QString &modelPath)
{
    FileResult<ModelDefinition> model = ReadModelFile(modelPath);
    if (!model)
        return std::unexpected(model.error());
    definition = std::move(*model);
    return {};
}

FileResult<> WriteModelFile(const QString &fileName, const ModelText &model)
{
    const QString text = modelFileText(model);
    if (const std::optional<CodePage::MissingCharacter> lost = CodePage::firstOutsideWindows1251(text))
        return std::unexpected(
            QStringLiteral("Файл %1 не записан: символ «%2» нельзя сохранить в кодировке Windows-1251.")
                .arg(fileName, lost->character));
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(CodePage::toWindows1251(text)) < 0 || !file.commit())
        return std::unexpected(QStringLiteral("Не удаётся записать файл модели %1.").arg(fileName));
    return {};
}

QStringList ModelFileLines(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    return lines;
}
