#include "help/frmHelp.h"
#include "tests/support/ScriptedPrompts.h"

#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class HelpTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        if (frmHelp *viewer = frmHelp::Instance())
            viewer->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(frmHelp::Instance(), nullptr);
    }
    static QString shownAnchor() { return frmHelp::Instance()->browser->source().fragment(); }

    ScriptedPrompts script;
};

TEST_F(HelpTest, BackAndForwardBeepWhenThereIsNowhereToGo)
{
    ASSERT_TRUE(frmHelp::ShowHelp(frmHelp::HelpAddress(QStringLiteral("edit"))));
    frmHelp &viewer = *frmHelp::Instance();
    EXPECT_EQ(viewer.windowTitle(), QStringLiteral("Помощь"));
    viewer.backButton->click();
    EXPECT_EQ(script.beeps(), 1);
    EXPECT_EQ(shownAnchor(), QStringLiteral("edit"));
    viewer.forwardButton->click();
    EXPECT_EQ(script.beeps(), 2);
}

TEST_F(HelpTest, ContentsAndHistory)
{
    ASSERT_TRUE(frmHelp::ShowHelp(frmHelp::HelpAddress(QStringLiteral("edit"))));
    frmHelp &viewer = *frmHelp::Instance();
    viewer.homeButton->click();
    EXPECT_EQ(shownAnchor(), QStringLiteral("home"));
    viewer.backButton->click();
    EXPECT_EQ(shownAnchor(), QStringLiteral("edit"));
    viewer.forwardButton->click();
    EXPECT_EQ(shownAnchor(), QStringLiteral("home"));
    EXPECT_EQ(script.beeps(), 0);

    // A second request navigates the same viewer.
    ASSERT_TRUE(frmHelp::ShowHelp(frmHelp::HelpAddress(QStringLiteral("keys"))));
    EXPECT_EQ(frmHelp::Instance(), &viewer);
    EXPECT_EQ(shownAnchor(), QStringLiteral("keys"));

    viewer.exitButton->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmHelp::Instance(), nullptr);
}

TEST_F(HelpTest, MissingDocumentShowsNothing)
{
    QTemporaryDir dir;
    EXPECT_FALSE(frmHelp::ShowHelp(QUrl::fromLocalFile(dir.filePath(QStringLiteral("doc/help.htm")))));
    EXPECT_EQ(frmHelp::Instance(), nullptr);
}

TEST_F(HelpTest, BrowserFillsTheWindowBelowTheButtons)
{
    ASSERT_TRUE(frmHelp::ShowHelp(frmHelp::HelpAddress()));
    frmHelp &viewer = *frmHelp::Instance();
    struct Case { QSize window; int browserHeight; };
    const int buttons = viewer.backButton->height();
    for (const Case &c : {Case{{500, 400}, 400 - buttons}, Case{{200, buttons / 2}, 0}}) {
        viewer.resize(c.window);
        EXPECT_EQ(viewer.browser->geometry(), QRect(0, buttons, c.window.width(), c.browserHeight));
    }
    // Every caption fits, and the row keeps the proportions of its lefts
    // 0, 1080, 2280 and 3480.
    for (const QPushButton *button : {viewer.backButton, viewer.forwardButton, viewer.homeButton, viewer.exitButton}) {
        EXPECT_GE(button->width(), button->sizeHint().width());
        EXPECT_EQ(button->y(), 0);
    }
    EXPECT_EQ(viewer.backButton->x(), 0);
    EXPECT_NEAR(double(viewer.exitButton->x()) / viewer.forwardButton->x(), 3480.0 / 1080, 0.02);
    EXPECT_NEAR(double(viewer.homeButton->x()) / viewer.forwardButton->x(), 2280.0 / 1080, 0.02);
}

// Every anchor the program opens, and every link inside the document, leads
// to an anchor the browser knows.
TEST_F(HelpTest, DocumentHasTheAnchorsItIsOpenedAt)
{
    ASSERT_TRUE(frmHelp::ShowHelp(frmHelp::HelpAddress()));
    const QTextDocument &document = *frmHelp::Instance()->browser->document();
    QSet<QString> anchors;
    QSet<QString> links;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            for (const QString &name : format.anchorNames())
                anchors << name;
            if (format.anchorHref().startsWith(QLatin1Char('#')))
                links << format.anchorHref().mid(1);
        }
    for (const char *needed : {"home", "edit", "keys"})
        EXPECT_TRUE(anchors.contains(QLatin1String(needed))) << needed;
    for (const QString &link : std::as_const(links))
        EXPECT_TRUE(anchors.contains(link)) << link.toStdString();
}

} // namespace
