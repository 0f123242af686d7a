#pragma once

#include <QString>

#include <expected>

// Reads a text file the user wrote: UTF-8 (with or without a byte order mark)
// or Windows-1251. An empty file, a file in UTF-16 and one that cannot be
// opened each give a Russian message that names the file.
std::expected<QString, QString> ReadUserTextFile(const QString &fileName);
