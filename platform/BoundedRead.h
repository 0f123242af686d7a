#pragma once

#include "platform/FileResult.h"

#include <QByteArray>
#include <QFile>

// The text files a user writes (a model, a timing file, a bench) hold some
// kilobytes; a file past this size is not one of them, and a device such as
// /dev/zero never ends at all.
inline constexpr qint64 MaxUserFileBytes = 16 * 1024 * 1024;

// All of the open file, or a Russian message naming it when it holds more
// than limit bytes; nothing beyond limit + 1 bytes is read. A read error is
// left in file.error() for the caller's own message.
FileResult<QByteArray> ReadAllBounded(QFile &file, qint64 limit = MaxUserFileBytes);
