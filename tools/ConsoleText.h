#pragma once

#include <QString>

#include <cstdio>

// Writes text and a line end to stream in UTF-8.
void WriteLine(std::FILE *stream, const QString &text);
