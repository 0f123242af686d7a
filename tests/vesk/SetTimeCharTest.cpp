#include "tests/vesk/VeskScript.h"
#include "vesk/CodeTimingFile.h"

#include <QApplication>
#include <QLocale>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

using namespace VeskScript;
using Prompt::Answer;

namespace {

// Keyboard entry shows and reads numbers in the user's locale: Russian here,
// so the decimal separator is ",".
class SetTimeCharTest : public testing::Test
{
protected:
    SetTimeCharTest() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }
    ~SetTimeCharTest() override { QLocale::setDefault(savedLocale); }

    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }

    QString timingFile(const char *name, const CodeTiming &timing) const
    {
        EXPECT_TRUE(CodeTimingFile::write(path(name), timing));
        return path(name);
    }

    QLocale savedLocale;
    QTemporaryDir dir;
    ScriptedPrompts script;
    Vesks v;
};

struct StandardSet
{
    const char *button;
    CodeTiming timing;
};

TEST_F(SetTimeCharTest, StandardSetsResetTheStep)
{
    for (const StandardSet &s : {StandardSet{"cmd5", CodeTiming::Kpt5()}, StandardSet{"cmd7", CodeTiming::Kpt7()}}) {
        v.setШаг(0.05f);
        v.setTimpKV(1.0f);
        QString nmFil = QStringLiteral("model");
        script.expectDialog(QStringLiteral("frmIndev"), clicking(s.button));
        EXPECT_EQ(v.SetTimeChar(nmFil), VeskStatus::Ok);
        EXPECT_EQ(timingOf(v), s.timing) << s.button;
        EXPECT_EQ(v.Шаг(), 0.01f) << s.button;
        EXPECT_EQ(nmFil, QStringLiteral("model"));
    }
}

TEST_F(SetTimeCharTest, CancelledFileDialogChangesNothing)
{
    // The name the dialog proposes: "*" for none, cut at the first period.
    const std::pair<QString, QString> names[] = {
        {QString(), QStringLiteral("*.whd")},
        {QStringLiteral("/home/user/models/relay"), QStringLiteral("/home/user/models/relay.whd")},
        {QStringLiteral("/home/my.dir/relay"), QStringLiteral("/home/my.whd")},
        {QStringLiteral("relay.mod"), QStringLiteral("relay.whd")},
    };
    for (const auto &[given, proposed] : names) {
        v.setTimpKV(0.5f);
        v.setШаг(0.02f);
        QString nmFil = given;
        script.expectDialog(QStringLiteral("frmIndev"), clicking("cmdInfile"));
        script.expectFile(openWhd(proposed), QString());
        EXPECT_EQ(v.SetTimeChar(nmFil), VeskStatus::Ok);
        EXPECT_EQ(nmFil, given);
        EXPECT_EQ(v.TimpKV(), 0.5f);
        EXPECT_EQ(v.Шаг(), 0.02f);
    }
}

TEST_F(SetTimeCharTest, MissingFileThenRetryReadsTheNextChoiceAndKeepsTheStep)
{
    const QString good = timingFile("kpt7.whd", CodeTiming::Kpt7());
    const QString missing = path("missing.whd");
    v.setШаг(0.02f);
    QString nmFil = path("relay");
    script.expectDialog(QStringLiteral("frmIndev"), clicking("cmdInfile"));
    script.expectFile(openWhd(path("relay.whd")), missing);
    script.expectMessage(message(QStringLiteral("Файл ") + missing + QStringLiteral(" не существует"),
                                 Prompt::Buttons::RetryCancel, Prompt::Icon::Critical),
                         Answer::Retry);
    script.expectFile(openWhd(path("relay.whd")), good);
    EXPECT_EQ(v.SetTimeChar(nmFil), VeskStatus::Ok);
    EXPECT_EQ(timingOf(v), CodeTiming::Kpt7());
    EXPECT_EQ(v.Шаг(), 0.02f);
    EXPECT_EQ(nmFil, good);
}

TEST_F(SetTimeCharTest, MissingFileThenCancelChangesNothing)
{
    QString nmFil = path("relay");
    script.expectDialog(QStringLiteral("frmIndev"), clicking("cmdInfile"));
    script.expectFile(openWhd(path("relay.whd")), path("missing.whd"));
    script.expectMessage(message(QStringLiteral("Файл ") + path("missing.whd") + QStringLiteral(" не существует"),
                                 Prompt::Buttons::RetryCancel, Prompt::Icon::Critical),
                         Answer::Cancel);
    EXPECT_EQ(v.SetTimeChar(nmFil), VeskStatus::Ok);
    EXPECT_EQ(timingOf(v), CodeTiming::Kpt5());
    EXPECT_EQ(nmFil, path("relay"));
}

TEST_F(SetTimeCharTest, BadFileIsReportedAndTheChoiceComesBack)
{
    QFile bad(path("bad.whd"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("0.23,abc\r\n");
    bad.close();
    v.setTimpKV(0.5f);
    QString nmFil = path("relay");
    script.expectDialog(QStringLiteral("frmIndev"), clicking("cmdInfile"));
    script.expectFile(openWhd(path("relay.whd")), bad.fileName());
    script.expectMessage(message(QStringLiteral("Файл ") + bad.fileName() +
                                     QStringLiteral(", строка 1: «abc» не является числом."),
                                 Prompt::Buttons::Ok, Prompt::Icon::Critical),
                         Answer::Ok);
    // Closing the choice means the keyboard; closing the entry gives up.
    script.expectDialog(QStringLiteral("frmIndev"), closing);
    script.expectDialog(QStringLiteral("frmInpWhd"), closing);
    EXPECT_EQ(v.SetTimeChar(nmFil), VeskStatus::Ok);
    EXPECT_EQ(v.TimpKV(), 0.5f);
    EXPECT_EQ(nmFil, path("relay"));
}

TEST_F(SetTimeCharTest, KeyboardEntryShowsLocaleNumbersAndKeepsTheStep)
{
    v.setШаг(0.02f);
    QString nmFil = QStringLiteral("model");
    script.expectDialog(QStringLiteral("frmIndev"), clicking("cmdInkeyb"));
    script.expectDialog(QStringLiteral("frmInpWhd"), [](QDialog &d) {
        const char *names[] = {"txtTimp",   "txtTint",   "txtTimpv1", "txtTintv1", "txtTimpv2", "txtTintv2",
                               "txtTimpz1", "txtTintz1", "txtTimpz2", "txtTintz2", "txtTimpz3", "txtTintz3"};
        const char *shown[] = {"0,23", "0,57", "0,38", "0,12", "0,38", "0,72",
                               "0,35", "0,12", "0,22", "0,12", "0,22", "0,57"};
        for (int i = 0; i < 12; ++i)
            if (QLineEdit *f = field(d, names[i])) {
                EXPECT_EQ(f->text(), QString::fromUtf8(shown[i])) << names[i];
            }
        typing({{"txtTimp", QStringLiteral("0,3")}, {"txtTintz3", QStringLiteral("1,5")}})(d);
    });
    script.expectMessage(askSave(), Answer::No);
    EXPECT_EQ(v.SetTimeChar(nmFil), VeskStatus::Ok);
    CodeTiming expected = CodeTiming::Kpt5();
    expected.TimpKV = 0.3f;
    expected.TintZ3 = 1.5f;
    EXPECT_EQ(timingOf(v), expected);
    EXPECT_EQ(v.Шаг(), 0.02f);
    EXPECT_EQ(nmFil, QStringLiteral("model"));
}

TEST_F(SetTimeCharTest, ZeroEntryIsOfferedForSavingThenRejected)
{
    QString nmFil = QStringLiteral("model");
    script.expectDialog(QStringLiteral("frmIndev"), clicking("cmdInkeyb"));
    script.expectDialog(QStringLiteral("frmInpWhd"), typing({{"txtTintv2", QStringLiteral("0")}}));
    script.expectMessage(askSave(), Answer::No);
    script.expectMessage(zeroRejected(), Answer::Ok);
    script.expectDialog(QStringLiteral("frmIndev"), clicking("cmd7"));
    EXPECT_EQ(v.SetTimeChar(nmFil), VeskStatus::Ok);
    EXPECT_EQ(timingOf(v), CodeTiming::Kpt7());
}

TEST_F(SetTimeCharTest, UnderflowingTimesCountAsZeroAndGivingUpKeepsThem)
{
    QString nmFil = QStringLiteral("model");
    const char *names[] = {"txtTimp",   "txtTint",   "txtTimpv1", "txtTintv1", "txtTimpv2", "txtTintv2",
                           "txtTimpz1", "txtTintz1", "txtTimpz2", "txtTintz2", "txtTimpz3", "txtTintz3"};
    std::vector<std::pair<const char *, QString>> tiny;
    for (const char *name : names)
        tiny.emplace_back(name, QStringLiteral("0,0001"));
    script.expectDialog(QStringLiteral("frmIndev"), clicking("cmdInkeyb"));
    script.expectDialog(QStringLiteral("frmInpWhd"), typing(tiny));
    script.expectMessage(askSave(), Answer::No);
    script.expectMessage(zeroRejected(), Answer::Ok);
    // Closing the choice counts as the keyboard; closing the entry gives up.
    script.expectDialog(QStringLiteral("frmIndev"), closing);
    script.expectDialog(QStringLiteral("frmInpWhd"), [](QDialog &d) {
        if (QLineEdit *f = field(d, "txtTimp")) {
            EXPECT_EQ(f->text(), QStringLiteral("0,0001"));
        }
    });
    EXPECT_EQ(v.SetTimeChar(nmFil), VeskStatus::Ok);
    EXPECT_EQ(timingOf(v), CodeTiming::fromValues({0.0001f, 0.0001f, 0.0001f, 0.0001f, 0.0001f, 0.0001f, 0.0001f,
                                                   0.0001f, 0.0001f, 0.0001f, 0.0001f, 0.0001f}));
}

TEST_F(SetTimeCharTest, ClosedEntryKeepsTheTimesAndAsksNothing)
{
    QString nmFil = QStringLiteral("model");
    script.expectDialog(QStringLiteral("frmIndev"), clicking("cmdInkeyb"));
    script.expectDialog(QStringLiteral("frmInpWhd"), [](QDialog &d) {
        if (QLineEdit *f = field(d, "txtTimp"))
            f->setText(QStringLiteral("0,9"));
    });
    EXPECT_EQ(v.SetTimeChar(nmFil), VeskStatus::Ok);
    EXPECT_EQ(timingOf(v), CodeTiming::Kpt5());
}

TEST_F(SetTimeCharTest, FieldThatIsNotANumberIsNamedAndAskedAgain)
{
    QString nmFil = QStringLiteral("model");
    script.expectDialog(QStringLiteral("frmIndev"), clicking("cmdInkeyb"));
    script.expectDialog(QStringLiteral("frmInpWhd"),
                        typing({{"txtTimp", QStringLiteral("0,3")}, {"txtTintv1", QStringLiteral("0.2")}}));
    script.expectMessage(message(QStringLiteral("Время 1-го интервала кода Ж: «0.2» не является числом. "
                                                "Введите время в секундах, например 0,23."),
                                 Prompt::Buttons::Ok, Prompt::Icon::Exclamation),
                         Answer::Ok);
    script.expectDialog(QStringLiteral("frmInpWhd"), [](QDialog &d) {
        QLineEdit *f = field(d, "txtTintv1");
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->text(), QStringLiteral("0.2")) << "the typed text stays for correcting";
        EXPECT_EQ(d.focusWidget(), f);
        typing({{"txtTintv1", QStringLiteral("0,2")}})(d);
    });
    script.expectMessage(askSave(), Answer::No);
    EXPECT_EQ(v.SetTimeChar(nmFil), VeskStatus::Ok);
    EXPECT_EQ(v.TimpKV(), 0.3f);
    EXPECT_EQ(v.TintV1(), 0.2f);
}

TEST_F(SetTimeCharTest, SavedTimesReadBackExactlyAndTheFileBecomesTheLastFile)
{
    QString nmFil = QStringLiteral("model");
    script.expectDialog(QStringLiteral("frmIndev"), clicking("cmdInkeyb"));
    script.expectDialog(QStringLiteral("frmInpWhd"),
                        typing({{"txtTimp", QStringLiteral("0,123457")}, {"txtTintz3", QStringLiteral("1e-5")}}));
    script.expectMessage(askSave(), Answer::Yes);
    script.expectFile(saveWhd(QString()), path("saved.whd"));
    ASSERT_EQ(v.SetTimeChar(nmFil), VeskStatus::Ok);
    const CodeTiming typed = timingOf(v);
    EXPECT_EQ(typed.TimpKV, 0.123457f);
    EXPECT_EQ(typed.TintZ3, 1e-5f);

    v.Set7();
    nmFil = path("relay");
    script.expectDialog(QStringLiteral("frmIndev"), clicking("cmdInfile"));
    script.expectFile(openWhd(path("relay.whd"), QStringLiteral(".whd")), path("saved.whd"));
    ASSERT_EQ(v.SetTimeChar(nmFil), VeskStatus::Ok);
    EXPECT_EQ(timingOf(v), typed);
    EXPECT_EQ(nmFil, path("saved.whd"));

    // The save dialog proposes the file the last call ended with.
    nmFil = QStringLiteral("model");
    script.expectDialog(QStringLiteral("frmIndev"), clicking("cmdInkeyb"));
    script.expectDialog(QStringLiteral("frmInpWhd"), clicking("cmdOk"));
    script.expectMessage(askSave(), Answer::Yes);
    script.expectFile(saveWhd(path("saved.whd")), QString());
    EXPECT_EQ(v.SetTimeChar(nmFil), VeskStatus::Ok);
}

TEST_F(SetTimeCharTest, FailedSaveIsReported)
{
    QString nmFil = QStringLiteral("model");
    const QString nowhere = path("no/such/folder/t.whd");
    QSaveFile probe(nowhere);
    ASSERT_FALSE(probe.open(QIODevice::WriteOnly));
    script.expectDialog(QStringLiteral("frmIndev"), clicking("cmdInkeyb"));
    script.expectDialog(QStringLiteral("frmInpWhd"), clicking("cmdOk"));
    script.expectMessage(askSave(), Answer::Yes);
    script.expectFile(saveWhd(QString()), nowhere);
    script.expectMessage(message(QStringLiteral("Не удалось записать файл ") + nowhere + QStringLiteral(": ") +
                                     probe.errorString(),
                                 Prompt::Buttons::Ok, Prompt::Icon::Critical),
                         Answer::Ok);
    EXPECT_EQ(v.SetTimeChar(nmFil), VeskStatus::Ok);
}

TEST_F(SetTimeCharTest, FieldsSelectTheirWholeTextOnFocus)
{
    QString nmFil = QStringLiteral("model");
    script.expectDialog(QStringLiteral("frmIndev"), clicking("cmdInkeyb"));
    script.expectDialog(QStringLiteral("frmInpWhd"), [](QDialog &d) {
        d.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        for (const char *name : {"txtTimp", "txtTintv2", "txtTintz3"}) {
            QLineEdit *f = field(d, name);
            ASSERT_NE(f, nullptr);
            f->deselect();
            QTest::mouseClick(f, Qt::LeftButton, {}, QPoint(3, f->height() / 2));
            QTest::qWait(1);
            EXPECT_TRUE(f->hasFocus()) << name;
            EXPECT_EQ(f->selectedText(), f->text()) << name;
        }
        // By keyboard too: Tab from the first field to the second.
        QTest::mouseClick(field(d, "txtTimp"), Qt::LeftButton);
        QTest::keyClick(d.focusWidget(), Qt::Key_Tab);
        QTest::qWait(1);
        QLineEdit *next = field(d, "txtTint");
        ASSERT_NE(next, nullptr);
        EXPECT_TRUE(next->hasFocus());
        EXPECT_EQ(next->selectedText(), next->text());
    });
    EXPECT_EQ(v.SetTimeChar(nmFil), VeskStatus::Ok);
}

} // namespace
