#include "app/CommandLine.h"

#include "platform/Prompts.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>

#include <cstdio>

ProgramArguments ParseProgramArguments(const QStringList &arguments)
{
    ProgramArguments parsed;
    QStringList files;
    bool optionsEnded = false;
    for (const QString &argument : arguments) {
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-"))
            files.append(argument);
        else if (argument == QLatin1String("--"))
            optionsEnded = true;
        else if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            parsed.help = true;
        else if (argument == QLatin1String("--version"))
            parsed.version = true;
        else if (parsed.error.isEmpty())
            parsed.error = QStringLiteral("неизвестный параметр «%1»").arg(argument);
    }
    if (files.size() > 1 && parsed.error.isEmpty())
        parsed.error = QStringLiteral("можно открыть только один файл модели");
    if (!files.isEmpty())
        parsed.modelFile = files.first();
    return parsed;
}

QString ProgramUsageText()
{
    return QStringLiteral(
        "Использование: model [параметры] [МОДЕЛЬ[.mod]]\n"
        "Моделирует дискретные устройства при задании функций возбуждения и временных характеристик элементов.\n"
        "Открывает главное окно; файл МОДЕЛЬ.mod, если он задан, становится текущей моделью.\n"
        "\n"
        "  --help               эта справка\n"
        "  --version            версия программы\n"
        "\n"
        "Принимаются и стандартные параметры Qt, например -platform offscreen.\n");
}

QString ProgramVersionText()
{
    return QStringLiteral("model (Модель) %1.%2.%3\n").arg(MODEL_VERSION_MAJOR).arg(MODEL_VERSION_MINOR).arg(MODEL_VERSION_PATCH);
}

std::optional<int> AnswerHelpOrVersion(int argc, char **argv)
{
    QStringList arguments;
    for (int a = 1; a < argc; ++a)
        arguments.append(QString::fromLocal8Bit(argv[a]));
    // Qt's own options are still in the list here, so an unknown option is
    // no error yet: that is decided once Qt has taken its own.
    const ProgramArguments parsed = ParseProgramArguments(arguments);
    if (parsed.help)
        std::fputs(ProgramUsageText().toUtf8().constData(), stdout);
    else if (parsed.version)
        std::fputs(ProgramVersionText().toUtf8().constData(), stdout);
    else
        return std::nullopt;
    return 0;
}

void OpenModelFile(const QString &file, ModelState &state, QMainWindow &mainWindow)
{
    // The program names a model by its path without ".mod"; an absolute one
    // stays right whatever folder the dialogs later make current.
    QString modelPath = QFileInfo(file).absoluteFilePath();
    if (modelPath.endsWith(QLatin1String(".mod")))
        modelPath.chop(4);
    const QString fileName = modelPath + QStringLiteral(".mod");
    if (!QFile(fileName).open(QIODevice::ReadOnly)) {
        MessageRequest missing;
        missing.text = QStringLiteral("Файл ") + fileName + QStringLiteral(" не удаётся прочитать");
        missing.icon = Prompt::Icon::Critical;
        prompts().message(missing);
        return;
    }
    state.ModelPath = modelPath;
    mainWindow.setWindowTitle(QStringLiteral("Модель - ") + QFileInfo(fileName).fileName());
}

void OpenModelFromCommandLine(ModelState &state, QMainWindow &mainWindow)
{
    const ProgramArguments parsed = ParseProgramArguments(QCoreApplication::arguments().mid(1));
    if (!parsed.error.isEmpty())
        std::fprintf(stderr, "model: %s\n", parsed.error.toUtf8().constData());
    if (!parsed.modelFile.isEmpty())
        OpenModelFile(parsed.modelFile, state, mainWindow);
}
