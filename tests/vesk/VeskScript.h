#pragma once

#include "tests/support/ScriptedPrompts.h"
#include "vesk/CodeTransmitter.h"
#include "vesk/Vesks.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

// Building blocks for scripting the transmitter's dialogues.
namespace VeskScript {

inline ScriptedPrompts::DialogAction clicking(const char *button)
{
    return [button](QDialog &d) {
        auto *b = d.findChild<QPushButton *>(QLatin1String(button));
        ASSERT_NE(b, nullptr) << button;
        b->click();
    };
}

// The window's close box: hidden without any button.
inline void closing(QDialog &) {}

inline QLineEdit *field(QDialog &d, const char *name)
{
    auto *f = d.findChild<QLineEdit *>(QLatin1String(name));
    EXPECT_NE(f, nullptr) << name;
    return f;
}

// Types into the named fields of frmInpWhd, then presses "Ok".
inline ScriptedPrompts::DialogAction typing(std::vector<std::pair<const char *, QString>> entries)
{
    return [entries = std::move(entries)](QDialog &d) {
        for (const auto &[name, text] : entries)
            if (QLineEdit *f = field(d, name))
                f->setText(text);
        clicking("cmdOk")(d);
    };
}

inline MessageRequest message(const QString &text, Prompt::Buttons buttons, Prompt::Icon icon)
{
    return {text, QString(), buttons, icon, {}};
}

inline MessageRequest askSave()
{
    return message(QStringLiteral("Сохранить данные?"), Prompt::Buttons::YesNo, Prompt::Icon::None);
}

inline MessageRequest zeroRejected()
{
    return message(QStringLiteral("Введены нулевые данные. Исправьте ошибку!"), Prompt::Buttons::Ok,
                   Prompt::Icon::Critical);
}

// defaultExt: what an earlier save left in the library's file dialog.
inline FileRequest openWhd(const QString &proposed, const QString &defaultExt = QString())
{
    return {FileRequest::Kind::Open, QStringLiteral("Файлы whd |*.whd"), proposed, defaultExt, QString(), false};
}

inline FileRequest saveWhd(const QString &proposed)
{
    return {FileRequest::Kind::Save, QStringLiteral("Файлы характеристик (*.whd)|*.whd"), proposed,
            QStringLiteral(".whd"), QString(), true};
}

inline CodeTiming timingOf(const Vesks &v)
{
    return CodeTiming::fromValues({v.TimpKV(), v.TintKV(), v.TimpV1(), v.TintV1(), v.TimpV2(), v.TintV2(),
                                   v.TimpZ1(), v.TintZ1(), v.TimpZ2(), v.TintZ2(), v.TimpZ3(), v.TintZ3()});
}

} // namespace VeskScript

inline void PrintTo(const CodeTiming &t, std::ostream *os)
{
    for (float v : t.values())
        *os << v << ' ';
}
