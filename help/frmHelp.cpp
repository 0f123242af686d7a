#include "help/frmHelp.h"

#include "platform/DataFolder.h"
#include "platform/Prompts.h"
#include "platform/Settings.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>

namespace {

const QString kPlacePrefix = QStringLiteral("Help");

// The button row, in twips: each button 1095 x 255, top 0, at these lefts.
constexpr double kButtonWidth = 1095;
constexpr double kButtonHeight = 255;
constexpr double kButtonLefts[] = {0, 1080, 2280, 3480};
constexpr double kTwipsPerInch = 1440;

QPointer<frmHelp> &theViewer()
{
    static QPointer<frmHelp> viewer;
    return viewer;
}

bool documentExists(const QUrl &address)
{
    return address.isLocalFile() && QFileInfo(address.toLocalFile()).isFile();
}

} // namespace

QUrl frmHelp::HelpAddress(const QString &anchor)
{
    QUrl address = QUrl::fromLocalFile(ProgramDataFolder() + QLatin1String("/doc/help.htm"));
    if (!anchor.isEmpty())
        address.setFragment(anchor);
    return address;
}

bool frmHelp::ShowHelp(const QUrl &address)
{
    if (!documentExists(address))
        return false;
    if (!theViewer())
        theViewer() = new frmHelp;
    frmHelp &viewer = *theViewer();
    viewer.Navigate(address);
    viewer.show();
    viewer.raise();
    viewer.activateWindow();
    return true;
}

frmHelp *frmHelp::Instance() { return theViewer(); }

frmHelp::frmHelp()
    : QWidget(nullptr, Qt::Window)
    , backButton(new QPushButton(QStringLiteral("&Назад"), this))
    , forwardButton(new QPushButton(QStringLiteral("&Вперед"), this))
    , homeButton(new QPushButton(QStringLiteral("&Содержание"), this))
    , exitButton(new QPushButton(QStringLiteral("В&ыход"), this))
    , browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("frmHelp"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Помощь"));
    backButton->setObjectName(QStringLiteral("cmdBack"));
    forwardButton->setObjectName(QStringLiteral("cmdForward"));
    homeButton->setObjectName(QStringLiteral("cmdHome"));
    exitButton->setObjectName(QStringLiteral("cmdExit"));
    browser->setObjectName(QStringLiteral("WB"));
    connect(backButton, &QPushButton::clicked, this, &frmHelp::GoBack);
    connect(forwardButton, &QPushButton::clicked, this, &frmHelp::GoForward);
    connect(homeButton, &QPushButton::clicked, this, &frmHelp::GoHome);
    connect(exitButton, &QPushButton::clicked, this, &QWidget::close);
    LoadWindow();
}

void frmHelp::LoadWindow()
{
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    const QList<QPushButton *> buttons = {backButton, forwardButton, homeButton, exitButton};
    // The row keeps its proportions but grows until every caption fits in
    // the desktop's font, which is larger than the one the sizes were made for.
    double scaleX = 1;
    double scaleY = 1;
    for (const QPushButton *button : buttons) {
        scaleX = std::max(scaleX, button->sizeHint().width() / (kButtonWidth * dpiX / kTwipsPerInch));
        scaleY = std::max(scaleY, button->sizeHint().height() / (kButtonHeight * dpiY / kTwipsPerInch));
    }
    for (qsizetype i = 0; i < buttons.size(); ++i)
        buttons[i]->setGeometry(Settings::twipsToPixels(kButtonLefts[i] * scaleX, dpiX), 0,
                                Settings::twipsToPixels(kButtonWidth * scaleX, dpiX),
                                Settings::twipsToPixels(kButtonHeight * scaleY, dpiY));
    Settings::RestoreWindowPlace(*this, kPlacePrefix);
    LayOutBrowser();
}

bool frmHelp::Navigate(const QUrl &address)
{
    if (!documentExists(address))
        return false;
    browser->setSource(address);
    return true;
}

void frmHelp::GoBack()
{
    if (browser->isBackwardAvailable())
        browser->backward();
    else
        prompts().beep();
}

void frmHelp::GoForward()
{
    if (browser->isForwardAvailable())
        browser->forward();
    else
        prompts().beep();
}

void frmHelp::GoHome()
{
    if (!Navigate(HelpAddress(QStringLiteral("home"))))
        prompts().message({QStringLiteral("Для корректной работы справки установите Internet Explorer 4.0 или выше"),
                           QString(), Prompt::Buttons::Ok, Prompt::Icon::Information, std::nullopt});
}

void frmHelp::LayOutBrowser()
{
    const int top = backButton->height();
    browser->setGeometry(0, top, width(), std::max(0, height() - top));
}

void frmHelp::UnloadWindow()
{
    Settings::SaveWindowPlace(*this, kPlacePrefix);
    if (theViewer() == this)
        theViewer() = nullptr;
}

void frmHelp::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    LayOutBrowser();
}

void frmHelp::closeEvent(QCloseEvent *event)
{
    UnloadWindow();
    event->accept();
}
