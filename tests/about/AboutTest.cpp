#include "about/frmAbout.h"
#include "tests/support/ScriptedPrompts.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

AboutInfo programInfo()
{
    return {QStringLiteral("Модель"),
            1,
            1,
            15,
            QStringLiteral("Моделирует дискретные устройства при задании  функций возбуждения  и временных "
                           "характеристик элементов."),
            QStringLiteral("Владелец программы"),
            {}};
}

TEST(AboutTest, ShowsWhatItIsGiven)
{
    AboutInfo info = programInfo();
    frmAbout box(info);
    EXPECT_EQ(box.objectName(), QStringLiteral("frmAbout"));
    EXPECT_EQ(box.windowTitle(), QStringLiteral("О программе Модель"));
    EXPECT_EQ(box.versionLabel->text(), QStringLiteral("Версия 1.1.15"));
    EXPECT_EQ(box.titleLabel->text(), info.title);
    EXPECT_EQ(box.descriptionLabel->text(), info.description);
    EXPECT_EQ(box.disclaimerLabel->text(), info.notice);
    EXPECT_EQ(box.okButton->text(), QStringLiteral("&OK"));
    EXPECT_EQ(box.systemInfoButton->text(), QStringLiteral("О &системе..."));
    EXPECT_FALSE(box.iconLabel->pixmap().isNull());
    info.major = 10, info.minor = 0, info.revision = 3;
    EXPECT_EQ(frmAbout(info).versionLabel->text(), QStringLiteral("Версия 10.0.3"));
}

TEST(AboutTest, OkEnterAndEscClose)
{
    const std::pair<const char *, std::function<void(frmAbout &)>> ways[] = {
        {"Esc", [](frmAbout &b) { QTest::keyClick(&b, Qt::Key_Escape); }},
        {"Enter", [](frmAbout &b) { QTest::keyClick(b.focusWidget() ? b.focusWidget() : &b, Qt::Key_Return); }},
        {"OK", [](frmAbout &b) { b.okButton->click(); }},
    };
    for (const auto &[name, close] : ways) {
        frmAbout box(programInfo());
        box.show();
        box.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&box)) << name;
        close(box);
        EXPECT_FALSE(box.isVisible()) << name;
    }
}

using Registry = std::map<QString, QString>; // value name -> value

KeyReader registryOf(const Registry &values)
{
    return [values](KeyRoot, const QString &, const QString &name, QString &value) {
        const auto it = values.find(name);
        value = it == values.end() ? QString() : it->second;
        return it != values.end();
    };
}

TEST(AboutTest, SystemInformationWithoutTheToolSaysSo)
{
    QTemporaryDir emptyFolder;
    const std::pair<const char *, KeyReader> registries[] = {
        {"this platform's registry", GetKeyValue},
        {"folder without the tool", registryOf({{QStringLiteral("MSINFO"), emptyFolder.path()}})},
        {"path of a missing program", registryOf({{QStringLiteral("PATH"), emptyFolder.filePath(QStringLiteral("x"))}})},
    };
    for (const auto &[name, reader] : registries) {
        ScriptedPrompts script;
        script.expectMessage({QStringLiteral("Системная информация недоступна"), QString(), Prompt::Buttons::Ok,
                              Prompt::Icon::None, {}},
                             Prompt::Answer::Ok);
        frmAbout box(programInfo());
        box.readKey = reader;
        box.show();
        box.systemInfoButton->click();
        EXPECT_TRUE(box.isVisible()) << name << ": the box stays open";
    }
}

TEST(AboutTest, SystemInformationStartsTheToolInTheNamedFolder)
{
    QTemporaryDir folder;
    const QString tool = folder.filePath(QStringLiteral("MSINFO32.EXE"));
    const QString marker = folder.filePath(QStringLiteral("started"));
    QFile script(tool);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\ntouch \"$(dirname \"$0\")/started\"\n");
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    ScriptedPrompts prompts; // no message expected
    StartSysInfo(registryOf({{QStringLiteral("MSINFO"), folder.path()}}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(marker); }, 10000));
}

} // namespace
