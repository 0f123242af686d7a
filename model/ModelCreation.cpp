#include "model/ModelCreation.h"

#include "model/FileChoice.h"
#include "model/frmInitFunc.h"
#include "model/ModelFile.h"
#include "platform/CommonDialog.h"
#include "platform/Prompts.h"

#include <QChar>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

const QString kDataTitle = QStringLiteral("Ввод данных");
const QString kCreationTitle = QStringLiteral("Создание модели");

QString ask(const QString &prompt, const std::optional<QString> &title, const QString &defaultText = QString())
{
    return prompts().input(InputRequest{prompt, title, defaultText});
}

void tell(const QString &text, Prompt::Icon icon)
{
    MessageRequest request;
    request.text = text;
    request.title = kCreationTitle;
    request.icon = icon;
    prompts().message(request);
}

// Asks for a count until the answer, rounded halves to even, fits 0..capacity:
// a larger count would give a file that no run can load.
int16_t askCount(const QString &prompt, int capacity, const QString &what)
{
    for (;;) {
        const QString answer = ask(prompt, QString(), QStringLiteral("1")); // an empty title, not the program's
        const double count = std::nearbyint(LeadingNumber(answer));
        if (count >= 0 && count <= capacity)
            return int16_t(count);
        tell(QStringLiteral("Число ") + what + QStringLiteral(" должно быть от 0 до ") + QString::number(capacity)
                 + QStringLiteral(", а введено «") + answer + QStringLiteral("». Введите его снова."),
             Prompt::Icon::Exclamation);
    }
}

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'); }

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

} // namespace

double LeadingNumber(const QString &text)
{
    std::string number;
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < text.size() && isBlank(text[i]))
            ++i;
    };
    const auto takeDigits = [&] {
        const std::size_t before = number.size();
        for (skipBlanks(); i < text.size() && isDigit(text[i]); skipBlanks())
            number += char(text[i++].unicode());
        return number.size() > before;
    };
    const auto takeSign = [&] {
        skipBlanks();
        if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
            number += char(text[i++].unicode());
    };

    takeSign();
    bool hasDigits = takeDigits();
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        number += '.';
        ++i;
        hasDigits = takeDigits() || hasDigits;
    }
    if (!hasDigits)
        return 0;
    if (i < text.size() && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        const qsizetype mark = i;
        const std::size_t kept = number.size();
        number += 'e';
        ++i;
        takeSign();
        if (!takeDigits()) { // "2e" is just 2
            i = mark;
            number.resize(kept);
        }
    }
    return std::strtod(number.c_str(), nullptr);
}

void CreateModel(ModelState &state, CommonDialog &CDL1)
{
    ModelText model;
    model.name = ask(QStringLiteral("Название модели "), std::nullopt);
    if (model.name.isEmpty())
        return;
    const int elemCount = askCount(QStringLiteral("Число внутренних элементов"), MaxElements,
                                   QStringLiteral("внутренних элементов"));
    const int outCount = askCount(QStringLiteral("Число выходов"), MaxOutputs, QStringLiteral("выходов"));
    {
        frmInitFunc functionWindow;
        for (int i = 1; i <= elemCount; ++i) {
            ModelText::Line element;
            element.name = ask(QStringLiteral("Название ") + QString::number(i) + QStringLiteral("- го элемента "),
                               kDataTitle);
            element.function = functionWindow.AskFunction(element.name);
            model.elements << element;
        }
        for (int j = 1; j <= outCount; ++j) {
            ModelText::Line output;
            output.name = ask(QStringLiteral("Назовите выход ") + QString::number(j), kDataTitle);
            output.function = functionWindow.AskFunction(output.name);
            model.outputs << output;
        }
    }

    CDL1.DefaultExt = QStringLiteral(".mod");
    CDL1.Filter = QStringLiteral("Файлы модели (*.mod)|*.mod");
    CDL1.Flags = CommonDialog::OverwritePrompt | CommonDialog::HideReadOnly;
    // After a failed write the dialog comes again, so that what was typed can
    // go to another file; the current model changes only once it is written.
    while (CDL1.ShowSave()) {
        const QString path = PathBeforeFirstDot(CDL1.FileName, true);
        if (const FileResult<> written = WriteModelFile(path + QStringLiteral(".mod"), model); !written) {
            tell(written.error() + QStringLiteral(" Выберите другое имя файла."), Prompt::Icon::Critical);
            continue;
        }
        state.ChosenPath = path;
        state.ModelPath = path;
        tell(QStringLiteral("Файл сохранен"), Prompt::Icon::Information);
        return;
    }
}
