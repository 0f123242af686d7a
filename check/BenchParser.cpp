#include "check/BenchParser.h"

#include "check/TextFile.h"
#include "model/ContactFault.h"
#include "model/StepTime.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>

namespace {

struct Token
{
    QString text;
    int column = 0;
};

// Words are separated by blanks; "(", ")" and "=" stand alone; "#" starts a
// comment.
QList<Token> tokensOf(const QString &line)
{
    QList<Token> tokens;
    for (qsizetype c = 0; c < line.size();) {
        const QChar ch = line[c];
        if (ch == QLatin1Char('#'))
            break;
        if (ch.isSpace()) {
            ++c;
        } else if (ch == QLatin1Char('(') || ch == QLatin1Char(')') || ch == QLatin1Char('=')) {
            tokens.append(Token{QString(ch), int(c) + 1});
            ++c;
        } else {
            const qsizetype from = c;
            while (c < line.size() && !line[c].isSpace() && line[c] != QLatin1Char('#')
                   && line[c] != QLatin1Char('(') && line[c] != QLatin1Char(')') && line[c] != QLatin1Char('='))
                ++c;
            tokens.append(Token{line.mid(from, c - from), int(from) + 1});
        }
    }
    return tokens;
}

class BenchParser
{
public:
    BenchParser(const QString &fileName) : m_fileName(fileName) {}

    std::expected<Bench, BenchError> parse(const QString &text)
    {
        Bench bench;
        bench.file = m_fileName;
        BenchScenario common; // what comes before the first scenario
        common.name = QStringLiteral("основной");
        common.place = {1, 1};
        QList<BenchScenario> scenarios;
        const QStringList lines = text.split(QLatin1Char('\n'));
        for (int n = 0; n < lines.size(); ++n) {
            m_line = n + 1;
            m_lineText = lines[n];
            m_tokens = tokensOf(m_lineText);
            m_next = 0;
            if (m_tokens.isEmpty())
                continue;
            BenchScenario &target = scenarios.isEmpty() ? common : scenarios.last();
            const Token keyword = take();
            const QString &word = keyword.text;
            bool ok = true;
            if (word == QStringLiteral("модель")) {
                ok = !scenarios.isEmpty() ? fail(keyword, QStringLiteral("модель задаётся до первого сценария"))
                                          : path(&bench.modelFile);
            } else if (word == QStringLiteral("показание")) {
                ok = !scenarios.isEmpty() ? fail(keyword, QStringLiteral("показание задаётся до первого сценария"))
                                          : indication(&bench.indications);
            } else if (ProofWords().contains(word)) {
                ok = !scenarios.isEmpty()
                         ? fail(keyword, QStringLiteral("«%1» задаётся до первого сценария").arg(word))
                         : proofLine(keyword, &bench.proof);
            } else if (word == QStringLiteral("сценарий")) {
                BenchScenario scenario = common;
                scenario.expectations.clear();
                scenario.place = {m_line, keyword.column};
                scenario.name = rest();
                if (scenario.name.isEmpty())
                    ok = fail(keyword, QStringLiteral("у сценария нет названия"));
                scenarios.append(scenario);
            } else if (word == QStringLiteral("ожидать")) {
                Expectation expectation;
                ok = this->expectation(&expectation);
                target.expectations.append(expectation);
            } else {
                ok = setting(keyword, target);
            }
            if (ok && m_next < m_tokens.size())
                ok = fail(m_tokens[m_next], QStringLiteral("лишнее «%1» в конце строки").arg(m_tokens[m_next].text));
            if (!ok)
                return std::unexpected(m_error);
        }
        if (bench.modelFile.isEmpty())
            return std::unexpected(BenchError{QStringLiteral("Файл %1: не задана модель (строка «модель ФАЙЛ.mod»).").arg(m_fileName)});
        if (scenarios.isEmpty()) {
            scenarios.append(common);
        } else {
            // Expectations before the first scenario hold in every scenario.
            for (BenchScenario &scenario : scenarios)
                scenario.expectations = common.expectations + scenario.expectations;
        }
        bench.everyScenario = common.expectations;
        bench.everyRun = common.run;
        bench.scenarios = scenarios;
        return bench;
    }

private:
    static const QStringList &ProofWords()
    {
        static const QStringList words{QStringLiteral("доказать"), QStringLiteral("смена"),
                                       QStringLiteral("неисправности"), QStringLiteral("контакты"),
                                       QStringLiteral("допуск"), QStringLiteral("запаздывание"),
                                       QStringLiteral("отклик")};
        return words;
    }

    // What a proof varies and requires; a test run reads and ignores it.
    bool proofLine(const Token &keyword, BenchProof *proof)
    {
        const QString &word = keyword.text;
        if (word == QStringLiteral("доказать"))
            return proofInput(proof);
        if (word == QStringLiteral("смена")) {
            qint64 steps = 0;
            if (!words({QStringLiteral("кода"), QStringLiteral("не"), QStringLiteral("чаще")}) || !time(&steps, 1))
                return false;
            proof->minChangeSteps = steps;
            return true;
        }
        if (word == QStringLiteral("неисправности")) {
            static const QStringList kinds{QStringLiteral("нет"), QStringLiteral("одиночные"), QStringLiteral("пары")};
            if (!needed(QStringLiteral("нет, одиночные или пары")))
                return false;
            const Token kind = take();
            const qsizetype k = kinds.indexOf(kind.text);
            if (k < 0)
                return fail(kind, QStringLiteral("«%1»: нужно нет, одиночные или пары").arg(kind.text));
            proof->faults = uint8_t(k);
            return true;
        }
        if (word == QStringLiteral("контакты")) {
            proof->contacts = true;
            return true;
        }
        if (word == QStringLiteral("допуск"))
            return tolerance(proof);
        if (word == QStringLiteral("запаздывание")) {
            qint64 steps = 0;
            if (!words({QStringLiteral("показания")}))
                return false;
            proof->latencyPlace = nextPlace();
            if (!time(&steps))
                return false;
            proof->latencySteps = steps;
            return true;
        }
        proof->responsePlace = nextPlace();
        qint64 steps = 0;
        if (!time(&steps, 1))
            return false;
        proof->responseSteps = steps;
        return true;
    }

    // "доказать коды К...", "доказать вход свободный".
    bool proofInput(BenchProof *proof)
    {
        if (!needed(QStringLiteral("«коды» или «вход свободный»")))
            return false;
        const Token what = take();
        if (what.text == QStringLiteral("вход")) {
            proof->freeInput = true;
            return words({QStringLiteral("свободный")});
        }
        if (what.text != QStringLiteral("коды"))
            return fail(what, QStringLiteral("«%1»: нужно «коды» или «вход свободный»").arg(what.text));
        QList<int16_t> codes;
        do {
            qint64 code = 0;
            if (!integer(QStringLiteral("код"), 0, 3, &code))
                return false;
            if (codes.contains(int16_t(code)))
                return fail(m_tokens[m_next - 1], QStringLiteral("код %1 назван дважды").arg(code));
            codes.append(int16_t(code));
        } while (m_next < m_tokens.size());
        proof->codes = codes;
        return true;
    }

    // "допуск 20%" or "допуск ЭЛЕМЕНТ срабатывание A..B отпускание A..B".
    bool tolerance(BenchProof *proof)
    {
        static const QRegularExpression percent(QStringLiteral("^([0-9]+(?:[.,][0-9]*)?)%$"));
        if (!needed(QStringLiteral("допуск в процентах (20%) или имя элемента")))
            return false;
        const Token first = take();
        if (const QRegularExpressionMatch m = percent.match(first.text); m.hasMatch()) {
            const double value = m.captured(1).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
            if (value >= 100)
                return fail(first, QStringLiteral("«%1»: допуск меньше 100%").arg(first.text));
            proof->tolerancePercent = value;
            return true;
        }
        BenchProof::ElementBand band{first.text, {m_line, first.column}, {}, {}};
        while (m_next < m_tokens.size()) {
            const Token which = take();
            std::optional<BenchProof::Band> *target = which.text == QStringLiteral("срабатывание") ? &band.pickup
                                                    : which.text == QStringLiteral("отпускание")  ? &band.release
                                                                                                  : nullptr;
            if (!target)
                return fail(which, QStringLiteral("«%1»: нужно «срабатывание» или «отпускание»").arg(which.text));
            if (!needed(QStringLiteral("промежуток времени, например 0.05с..0.07с")))
                return false;
            BenchProof::Band range;
            if (!timeRange(take(), &range.first, &range.last, 0))
                return false;
            *target = range;
        }
        if (!band.pickup && !band.release)
            return fail(Token{QString(), lineEndColumn()},
                        QStringLiteral("строка кончилась, нужно: «срабатывание A..B» или «отпускание A..B»"));
        proof->bands.append(band);
        return true;
    }

    // The words given, in order.
    bool words(const QStringList &expected)
    {
        for (const QString &word : expected) {
            if (!needed(QStringLiteral("«%1»").arg(word)))
                return false;
            if (const Token token = take(); token.text != word)
                return fail(token, QStringLiteral("«%1»: нужно «%2»").arg(token.text, word));
        }
        return true;
    }

    bool setting(const Token &keyword, BenchScenario &target)
    {
        const QString &word = keyword.text;
        RunScenario &run = target.run;
        qint64 number = 0;
        if (word == QStringLiteral("времена"))
            return path(&run.timingFile);
        if (word == QLatin1String("whd"))
            return path(&run.whdFile);
        if (word == QStringLiteral("код")) {
            if (!integer(QStringLiteral("код"), 0, 3, &number))
                return false;
            run.code = int16_t(number);
            return true;
        }
        if (word == QStringLiteral("кптш")) {
            if (!integer(QStringLiteral("кптш"), 5, 7, &number))
                return false;
            if (number == 6)
                return fail(m_tokens[m_next - 1], QStringLiteral("кптш: нужно 5 или 7"));
            run.kpt = int(number);
            return true;
        }
        if (word == QStringLiteral("шагов")) {
            if (!time(&number))
                return false;
            run.steps = number;
            return true;
        }
        if (word == QStringLiteral("клавиша")) {
            // Keys and faults come before a step, and the first step is 1: a
            // step 0 would never come.
            RunScenario::KeyAt key;
            const BenchPlace place = nextPlace();
            if (!time(&key.step, 1) || !needed(QStringLiteral("команда")))
                return false;
            const Token command = take();
            if (command.text == QLatin1String("ESC"))
                key.command = QString(QChar(27));
            else if (command.text == QLatin1String("EMPTY"))
                key.command.clear();
            else if (command.text.toUcs4().size() == 1)
                key.command = command.text;
            else
                return fail(command, QStringLiteral("команда «%1»: нужен один символ, ESC или EMPTY").arg(command.text));
            run.keys.append(key);
            target.keyPlaces.append(place);
            return true;
        }
        if (word == QStringLiteral("неисправность")) {
            BenchFault fault;
            fault.stepPlace = nextPlace();
            if (!time(&fault.step, 1) || !needed(QStringLiteral("элемент")))
                return false;
            const Token element = take();
            fault.element = element.text;
            fault.place = {m_line, element.column};
            if (LooksLikeContactAddress(element.text))
                return contactFault(fault, target);
            if (!needed(QStringLiteral("вид неисправности: норма, обрыв или подпитка")))
                return false;
            const Token kind = take();
            static const QStringList kinds{QStringLiteral("норма"), QStringLiteral("обрыв"), QStringLiteral("подпитка")};
            const qsizetype k = kinds.indexOf(kind.text);
            if (k < 0)
                return fail(kind, QStringLiteral("«%1»: вид неисправности — норма, обрыв или подпитка").arg(kind.text));
            fault.kind = uint8_t(k);
            target.faults.append(fault);
            return true;
        }
        return fail(keyword, QStringLiteral("неизвестное слово «%1»: строка начинается с настройки, "
                                            "«сценарий» или «ожидать»").arg(word));
    }

    // "показание ВЫХОД УРОВЕНЬ"; the output is looked up once the model is read.
    bool indication(QList<IndicationLevel> *indications)
    {
        if (!needed(QStringLiteral("выход")))
            return false;
        const Token output = take();
        for (const IndicationLevel &given : std::as_const(*indications))
            if (given.output == output.text)
                return fail(output, QStringLiteral("показание выхода «%1» уже задано в строке %2")
                                        .arg(output.text).arg(given.place.line));
        qint64 level = 0;
        if (!integer(QStringLiteral("уровень показания"), 0, 3, &level))
            return false;
        indications->append({output.text, int(level), {m_line, output.column}});
        return true;
    }

    // The kind of a contact fault, one word or "не" and a word.
    bool contactFault(BenchFault &fault, BenchScenario &target)
    {
        const QString kinds = QStringLiteral("вид неисправности контакта: не-размыкается, не-замыкается или норма");
        if (!needed(kinds))
            return false;
        const Token kind = take();
        QString word = kind.text;
        if (word == QStringLiteral("не") && m_next < m_tokens.size())
            word += QLatin1Char(' ') + take().text;
        const std::optional<uint8_t> named = ContactFaultKindNamed(word);
        if (!named)
            return fail(kind, QStringLiteral("«%1»: %2").arg(word, kinds));
        fault.kind = *named;
        fault.contact = true;
        target.faults.append(fault);
        return true;
    }

    bool expectation(Expectation *e)
    {
        e->place = {m_line, m_next < m_tokens.size() ? m_tokens[m_next].column : 1};
        e->text = restText();
        if (!needed(QStringLiteral("что ожидается")))
            return false;
        const Token first = m_tokens[m_next];
        if (first.text == QStringLiteral("никогда") || first.text == QStringLiteral("всегда")) {
            take();
            e->kind = first.text == QStringLiteral("никогда") ? Expectation::Kind::Never : Expectation::Kind::Always;
            return expression(&e->signal) && optionalRange(&e->range);
        }
        if (first.text == QLatin1String("(") || first.text == QLatin1String(")") || first.text == QLatin1String("="))
            return fail(first, QStringLiteral("нужно имя сигнала, «никогда» или «всегда»; скобки — только в выражении "
                                              "после «никогда» и «всегда»"));
        e->signal = signal(take());
        if (!needed(QStringLiteral("«=», «поднимается», «падает» или «меняется»")))
            return false;
        const Token verb = take();
        if (verb.text == QLatin1String("=")) {
            e->kind = Expectation::Kind::Value;
            qint64 value = 0;
            if (!integer(QStringLiteral("значение"), 0, 1, &value))
                return false;
            e->value = int(value);
            return optionalRange(&e->range);
        }
        if (verb.text == QStringLiteral("поднимается") || verb.text == QStringLiteral("падает")) {
            e->kind = verb.text == QStringLiteral("падает") ? Expectation::Kind::Fall : Expectation::Kind::Rise;
            if (m_next >= m_tokens.size() || m_tokens[m_next].text != QStringLiteral("на"))
                return fail(m_next < m_tokens.size() ? m_tokens[m_next] : Token{QString(), lineEndColumn()},
                            QStringLiteral("после «%1» нужно «на ВРЕМЯ» или «на ВРЕМЯ..ВРЕМЯ»").arg(verb.text));
            return optionalRange(&e->range);
        }
        if (verb.text == QStringLiteral("меняется")) {
            e->kind = Expectation::Kind::Changes;
            if (!integer(QStringLiteral("число изменений"), 0, MaxBenchSteps, &e->count))
                return false;
            if (m_next < m_tokens.size() && (m_tokens[m_next].text == QStringLiteral("раз") || m_tokens[m_next].text == QStringLiteral("раза")))
                take();
            return optionalRange(&e->range);
        }
        return fail(verb, QStringLiteral("«%1»: нужно «=», «поднимается», «падает» или «меняется»").arg(verb.text));
    }

    SignalExpression signal(const Token &token) const
    {
        SignalExpression s;
        s.name = token.text;
        s.place = {m_line, token.column};
        return s;
    }

    // or := and {"или" and}; and := unary {"и" unary}; unary := "не" unary | "(" or ")" | signal
    bool expression(SignalExpression *e) { return binary(e, QStringLiteral("или"), SignalExpression::Kind::Or); }

    bool binary(SignalExpression *e, const QString &word, SignalExpression::Kind kind)
    {
        const bool isOr = kind == SignalExpression::Kind::Or;
        if (!(isOr ? binary(e, QStringLiteral("и"), SignalExpression::Kind::And) : unary(e)))
            return false;
        // Each operator adds a level to the tree: a long chain is as deep
        // as a long nesting.
        const int depth = m_depth;
        while (m_next < m_tokens.size() && m_tokens[m_next].text == word) {
            const Token op = take();
            if (++m_depth > MaxNesting)
                return fail(op, tooDeep());
            SignalExpression right;
            if (!(isOr ? binary(&right, QStringLiteral("и"), SignalExpression::Kind::And) : unary(&right)))
                return false;
            SignalExpression both;
            both.kind = kind;
            both.place = e->place;
            both.left = std::make_shared<const SignalExpression>(*e);
            both.right = std::make_shared<const SignalExpression>(right);
            *e = both;
        }
        m_depth = depth;
        return true;
    }

    bool unary(SignalExpression *e)
    {
        if (!needed(QStringLiteral("имя сигнала")))
            return false;
        const Token token = take();
        // Reading, checking and evaluating all recurse along the nesting.
        if (++m_depth > MaxNesting)
            return fail(token, tooDeep());
        const bool read = nested(token, e);
        --m_depth;
        return read;
    }

    static QString tooDeep()
    {
        return QStringLiteral("выражение слишком длинное или глубоко вложенное: больше %1 уровней").arg(MaxNesting);
    }

    bool nested(const Token &token, SignalExpression *e)
    {
        if (token.text == QStringLiteral("не")) {
            SignalExpression operand;
            if (!unary(&operand))
                return false;
            e->kind = SignalExpression::Kind::Not;
            e->place = {m_line, token.column};
            e->left = std::make_shared<const SignalExpression>(operand);
            return true;
        }
        if (token.text == QLatin1String("(")) {
            if (!expression(e) || !needed(QStringLiteral("«)»")))
                return false;
            const Token close = take();
            return close.text == QLatin1String(")") ? true : fail(close, QStringLiteral("нужна «)»"));
        }
        static const QStringList reserved{QStringLiteral(")"), QStringLiteral("="), QStringLiteral("и"),
                                          QStringLiteral("или"), QStringLiteral("на"), QStringLiteral("от"),
                                          QStringLiteral("до")};
        if (reserved.contains(token.text))
            return fail(token, QStringLiteral("«%1» на месте имени сигнала").arg(token.text));
        *e = signal(token);
        return true;
    }

    // [на ВРЕМЯ | на ВРЕМЯ..ВРЕМЯ | от ВРЕМЯ | до ВРЕМЯ]; none: the whole run.
    bool optionalRange(StepRange *range)
    {
        if (m_next >= m_tokens.size())
            return true;
        const Token word = take();
        if (word.text == QStringLiteral("от"))
            return time(&range->first, 1);
        if (word.text == QStringLiteral("до")) {
            qint64 last = 0;
            if (!time(&last, 1))
                return false;
            range->last = last;
            return true;
        }
        if (word.text != QStringLiteral("на"))
            return fail(word, QStringLiteral("«%1»: нужно «на», «от» или «до»").arg(word.text));
        if (!needed(QStringLiteral("время")))
            return false;
        const Token token = m_tokens[m_next];
        const qsizetype dots = token.text.indexOf(QStringLiteral(".."));
        if (dots < 0) {
            if (!time(&range->first, 1))
                return false;
            range->last = range->first;
            return true;
        }
        take();
        qint64 last = 0;
        if (!timeRange(token, &range->first, &last, 1))
            return false;
        range->last = last;
        return true;
    }

    // "A..B", both times, B not before A.
    bool timeRange(const Token &token, qint64 *first, qint64 *last, qint64 min)
    {
        const qsizetype dots = token.text.indexOf(QStringLiteral(".."));
        if (dots < 0)
            return fail(token, QStringLiteral("«%1»: нужен промежуток НАЧАЛО..КОНЕЦ").arg(token.text));
        qint64 from = 0, to = 0;
        if (!timeValue(Token{token.text.left(dots), token.column}, &from, min)
            || !timeValue(Token{token.text.mid(dots + 2), token.column + int(dots) + 2}, &to, min))
            return false;
        if (to < from)
            return fail(token, QStringLiteral("«%1»: конец раньше начала").arg(token.text));
        *first = from;
        *last = to;
        return true;
    }

    bool time(qint64 *step, qint64 min = 0)
    {
        return needed(QStringLiteral("время (шаг или секунды, например 75 или 0.75с)")) && timeValue(take(), step, min);
    }

    // A step number, or seconds with "с" (or "s"): a whole number of 0.01 s steps.
    bool timeValue(const Token &token, qint64 *step, qint64 min)
    {
        static const QRegularExpression seconds(QStringLiteral("^([0-9]+(?:[.,][0-9]*)?)(с|s)$"));
        static const QRegularExpression steps(QStringLiteral("^[0-9]+$"));
        const QString &text = token.text;
        if (text.startsWith(QLatin1Char('-')))
            return fail(token, QStringLiteral("«%1»: время не может быть отрицательным").arg(text));
        qint64 value = 0;
        if (const QRegularExpressionMatch m = seconds.match(text); m.hasMatch()) {
            const double s = m.captured(1).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
            const double hundredths = s * StepTime::StepsPerSecond;
            if (hundredths > double(MaxBenchSteps))
                return fail(token, QStringLiteral("«%1»: больше %2 шагов").arg(text).arg(MaxBenchSteps));
            value = qRound64(hundredths);
            if (std::abs(hundredths - double(value)) > 1e-6)
                return fail(token, QStringLiteral("«%1»: не целое число шагов по 0.01 с").arg(text));
        } else if (steps.match(text).hasMatch()) {
            bool ok = false;
            value = text.toLongLong(&ok);
            if (!ok || value > MaxBenchSteps)
                return fail(token, QStringLiteral("«%1»: больше %2 шагов").arg(text).arg(MaxBenchSteps));
        } else {
            return fail(token, QStringLiteral("«%1»: нужен шаг (целое число) или секунды с «с», например 0.75с").arg(text));
        }
        if (value < min)
            return fail(token, QStringLiteral("«%1»: шаги считаются с %2").arg(text).arg(min));
        *step = value;
        return true;
    }

    bool integer(const QString &what, qint64 min, qint64 max, qint64 *value)
    {
        if (!needed(what))
            return false;
        const Token token = take();
        bool ok = false;
        *value = token.text.toLongLong(&ok);
        if (!ok || *value < min || *value > max)
            return fail(token, QStringLiteral("%1: «%2» — нужно целое число от %3 до %4").arg(what, token.text).arg(min).arg(max));
        return true;
    }

    bool path(QString *target)
    {
        const QString text = rest();
        if (text.isEmpty())
            return fail(Token{QString(), lineEndColumn()}, QStringLiteral("не задан файл"));
        *target = QDir::cleanPath(QFileInfo(m_fileName).dir().filePath(text));
        return true;
    }

    // The rest of the line as written, without its comment.
    QString restText() const
    {
        if (m_next >= m_tokens.size())
            return {};
        const QString text = m_lineText.mid(m_tokens[m_next].column - 1);
        return text.left(text.indexOf(QLatin1Char('#'))).trimmed();
    }

    // Takes the rest of the line as one text (a name or a path with blanks).
    QString rest()
    {
        const QString text = restText();
        m_next = m_tokens.size();
        return text;
    }

    bool needed(const QString &what)
    {
        if (m_next < m_tokens.size())
            return true;
        return fail(Token{QString(), lineEndColumn()}, QStringLiteral("строка кончилась, нужно: %1").arg(what));
    }

    // Where the next word starts, or the line ends.
    BenchPlace nextPlace() const
    {
        return {m_line, m_next < m_tokens.size() ? m_tokens[m_next].column : lineEndColumn()};
    }

    int lineEndColumn() const
    {
        return m_tokens.isEmpty() ? 1 : m_tokens.last().column + int(m_tokens.last().text.size());
    }

    Token take() { return m_tokens[m_next++]; }

    bool fail(const Token &at, const QString &what)
    {
        m_error = BenchErrorAt(m_fileName, BenchPlace{m_line, at.column}, what);
        return false;
    }

    static constexpr int MaxNesting = 100;

    QString m_fileName;
    int m_depth = 0;
    int m_line = 0;
    QString m_lineText;
    QList<Token> m_tokens;
    qsizetype m_next = 0;
    BenchError m_error;
};

} // namespace

std::expected<Bench, BenchError> ParseBench(const QString &fileName, const QString &text)
{
    return BenchParser(fileName).parse(text);
}

std::expected<Bench, BenchError> ReadBenchFile(const QString &fileName)
{
    const std::expected<QString, QString> text = ReadUserTextFile(fileName);
    if (!text)
        return std::unexpected(BenchError{text.error()});
    return ParseBench(fileName, *text);
}
