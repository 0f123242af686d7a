#include "about/frmAbout.h"

#include "platform/Prompts.h"

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
    , iconLabel(new QLabel(this))
    , titleLabel(wrappedLabel(QStringLiteral("lblTitle"), this))
    , versionLabel(wrappedLabel(QStringLiteral("lblVersion"), this))
    , descriptionLabel(wrappedLabel(QStringLiteral("lblDescription"), this))
    , disclaimerLabel(wrappedLabel(QStringLiteral("lblDisclaimer"), this))
    , okButton(new QPushButton(QStringLiteral("&OK"), this))
    , systemInfoButton(new QPushButton(QStringLiteral("О &системе..."), this))
{
    setObjectName(QStringLiteral("frmAbout"));
    iconLabel->setObjectName(QStringLiteral("Image1"));
    okButton->setObjectName(QStringLiteral("cmdOK"));
    systemInfoButton->setObjectName(QStringLiteral("cmdSysInfo"));

    QFont titleFont = titleLabel->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleLabel->setFont(titleFont);

    auto *texts = new QVBoxLayout;
    texts->addWidget(titleLabel);
    texts->addWidget(versionLabel);
    texts->addWidget(descriptionLabel);
    texts->addStretch();
    auto *top = new QHBoxLayout;
    top->addWidget(iconLabel, 0, Qt::AlignTop);
    top->addLayout(texts, 1);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(okButton);
    buttons->addWidget(systemInfoButton);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(disclaimerLabel, 1);
    bottom->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(separatorLine(QStringLiteral("Line1"), this));
    layout->addLayout(bottom);
    layout->addWidget(separatorLine(QStringLiteral("Line2"), this));

    // "&OK" answers both Enter and Esc; the dialog's own Esc handling closes
    // it the same way.
    okButton->setDefault(true);
    okButton->setAutoDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(systemInfoButton, &QPushButton::clicked, this, &frmAbout::ShowSystemInfo);

    iconLabel->setPixmap(iconOf(info, *this).pixmap(48, 48));
    Fill(info);
    setMinimumWidth(420);
}

void frmAbout::Fill(const AboutInfo &info)
{
    setWindowTitle(QStringLiteral("О программе ") + info.title);
    versionLabel->setText(QStringLiteral("Версия %1.%2.%3").arg(info.major).arg(info.minor).arg(info.revision));
    titleLabel->setText(info.title);
    descriptionLabel->setText(info.description);
    disclaimerLabel->setText(info.notice);
}

void frmAbout::ShowSystemInfo() { StartSysInfo(readKey); }

void showAboutBox(const AboutInfo &info, QWidget *parent)
{
    frmAbout box(info, parent);
    prompts().exec(box);
}
