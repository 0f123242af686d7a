#include "frmAbout.h"

#include "Prompts.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

QFrame *separatorLine(const QString &name, QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QLabel *wrappedLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    return label;
}

QIcon iconOf(const AboutInfo &info, const QWidget &window)
{
    if (!info.icon.isNull())
        return info.icon;
    if (!QApplication::windowIcon().isNull())
        return QApplication::windowIcon();
    return window.style()->standardIcon(QStyle::SP_ComputerIcon);
}

} // namespace

frmAbout::frmAbout(const AboutInfo &info, QWidget *parent)
    : QDialog(parent)
    , Image1(new QLabel(this))
    , lblTitle(wrappedLabel(QStringLiteral("lblTitle"), this))
    , lblVersion(wrappedLabel(QStringLiteral("lblVersion"), this))
    , lblDescription(wrappedLabel(QStringLiteral("lblDescription"), this))
    , lblDisclaimer(wrappedLabel(QStringLiteral("lblDisclaimer"), this))
    , cmdOK(new QPushButton(QStringLiteral("&OK"), this))
    , cmdSysInfo(new QPushButton(QStringLiteral("О &системе..."), this))
{
    setObjectName(QStringLiteral("frmAbout"));
    Image1->setObjectName(QStringLiteral("Image1"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));

    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    lblTitle->setFont(titleFont);

    auto *texts = new QVBoxLayout;
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addWidget(lblDescription);
    texts->addStretch();
    auto *top = new QHBoxLayout;
    top->addWidget(Image1, 0, Qt::AlignTop);
    top->addLayout(texts, 1);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(lblDisclaimer, 1);
    bottom->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(separatorLine(QStringLiteral("Line1"), this));
    layout->addLayout(bottom);
    layout->addWidget(separatorLine(QStringLiteral("Line2"), this));

    // "&OK" answers both Enter and Esc; the dialog's own Esc handling closes
    // it the same way.
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    Image1->setPixmap(iconOf(info, *this).pixmap(48, 48));
    Form_Load(info);
    setMinimumWidth(420);
}

void frmAbout::Form_Load(const AboutInfo &info)
{
    setWindowTitle(QStringLiteral("О программе ") + info.title);
    lblVersion->setText(QStringLiteral("Версия %1.%2.%3").arg(info.major).arg(info.minor).arg(info.revision));
    lblTitle->setText(info.title);
    lblDescription->setText(info.description);
    lblDisclaimer->setText(info.notice);
}

void frmAbout::cmdOK_Click() { accept(); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(readKey); }

void showAboutBox(const AboutInfo &info, QWidget *parent)
{
    frmAbout box(info, parent);
    prompts().exec(box);
}
