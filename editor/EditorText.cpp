#include "editor/EditorText.h"

#include "platform/BoundedRead.h"
#include "platform/CodePage.h"

#include <QFile>
#include <QSaveFile>

namespace {

QString withLineFeeds(QString text) { return text.replace(QLatin1String("\r\n"), QLatin1String("\n")); }

} // namespace

namespace EditorText {

QString decodeWindowsText(QByteArrayView bytes) { return withLineFeeds(::CodePage::decodeTextFile(bytes)); }

CodePage windowsTextCodePage(QByteArrayView bytes)
{
    return ::CodePage::isUtf8Text(bytes) ? CodePage::Utf8 : CodePage::Windows1251;
}

QString decodeDosText(QByteArrayView bytes)
{
    if (bytes.endsWith("\r\n"))
        bytes.chop(2);
    return withLineFeeds(::CodePage::fromOem(bytes));
}

QString decodeReport(QByteArrayView bytes) { return withLineFeeds(::CodePage::fromOem(bytes)); }

QString convertFrom866(const QString &text) { return ::CodePage::fromOem(::CodePage::toWindows1251(text)); }

QByteArray encode(const QString &text, CodePage codePage)
{
    QString withCrLf = text;
    withCrLf.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    switch (codePage) {
    case CodePage::Dos866: return ::CodePage::toOem(withCrLf);
    case CodePage::Utf8: return withCrLf.toUtf8();
    case CodePage::Windows1251: break;
    }
    return ::CodePage::toWindows1251(withCrLf);
}

FileResult<QByteArray> readFile(const QString &path)
{
    const QString inputError = QStringLiteral("Ошибка ввода");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::unexpected(inputError);
    FileResult<QByteArray> bytes = ReadAllBounded(file, MaxEditorFileBytes);
    if (bytes && file.error() != QFileDevice::NoError)
        return std::unexpected(inputError);
    return bytes;
}

namespace {

QString reasonOf(QFileDevice::FileError error)
{
    switch (error) {
    case QFileDevice::OpenError:
    case QFileDevice::PermissionsError:
        return QStringLiteral("нет права на запись или папка не существует");
    case QFileDevice::WriteError:
    case QFileDevice::ResourceError:
        return QStringLiteral("ошибка записи на диск (возможно, диск заполнен)");
    case QFileDevice::RenameError:
        return QStringLiteral("не удалось заменить старый файл новым");
    default:
        return QStringLiteral("ошибка файловой системы");
    }
}

} // namespace

bool writeFile(const QString &path, const QByteArray &bytes, QString *reason)
{
    QSaveFile file(path);
    const bool saved = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!saved && reason)
        *reason = reasonOf(file.error());
    return saved;
}

} // namespace EditorText
