#pragma once

#include <QIcon>
#include <QString>

// What the About window shows. The program and the transmitter library each
// fill one from their own version information.
struct AboutInfo
{
    QString title; // the caption reads "О программе " + title
    int major = 0;
    int minor = 0;
    int revision = 0;
    QString description;
    QString notice; // the owner's or company's notice
    QIcon icon;     // null: the application's window icon
};
