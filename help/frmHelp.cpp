#include "frmHelp.h"

#include "DataFolder.h"
#include "Prompts.h"
#include "Settings.h"

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
    , cmdBack(new QPushButton(QStringLiteral("&Назад"), this))
    , cmdForward(new QPushButton(QStringLiteral("&Вперед"), this))
    , cmdHome(new QPushButton(QStringLiteral("&Содержание"), this))
    , cmdExit(new QPushButton(QStringLiteral("В&ыход"), this))
    , WB(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("frmHelp"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Помощь"));
    cmdBack->setObjectName(QStringLiteral("cmdBack"));
    cmdForward->setObjectName(QStringLiteral("cmdForward"));
    cmdHome->setObjectName(QStringLiteral("cmdHome"));
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    WB->setObjectName(QStringLiteral("WB"));
    connect(cmdBack, &QPushButton::clicked, this, &frmHelp::cmdBack_Click);
    connect(cmdForward, &QPushButton::clicked, this, &frmHelp::cmdForward_Click);
    connect(cmdHome, &QPushButton::clicked, this, &frmHelp::cmdHome_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmHelp::cmdExit_Click);
    Form_Load();
}

void frmHelp::Form_Load()
{
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    const QList<QPushButton *> buttons = {cmdBack, cmdForward, cmdHome, cmdExit};
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
    Form_Resize();
}

bool frmHelp::Navigate(const QUrl &address)
{
    if (!documentExists(address))
        return false;
    WB->setSource(address);
    return true;
}

void frmHelp::cmdBack_Click()
{
    if (WB->isBackwardAvailable())
        WB->backward();
    else
        prompts().beep();
}

void frmHelp::cmdForward_Click()
{
    if (WB->isForwardAvailable())
        WB->forward();
    else
        prompts().beep();
}

void frmHelp::cmdHome_Click()
{
    if (!Navigate(HelpAddress(QStringLiteral("home"))))
        prompts().message({QStringLiteral("Для корректной работы справки установите Internet Explorer 4.0 или выше"),
                           QString(), Prompt::Buttons::Ok, Prompt::Icon::Information, std::nullopt});
}

void frmHelp::cmdExit_Click() { close(); }

void frmHelp::Form_Resize()
{
    const int top = cmdBack->height();
    WB->setGeometry(0, top, width(), std::max(0, height() - top));
}

void frmHelp::Form_Unload()
{
    Settings::SaveWindowPlace(*this, kPlacePrefix);
    if (theViewer() == this)
        theViewer() = nullptr;
}

void frmHelp::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmHelp::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}
