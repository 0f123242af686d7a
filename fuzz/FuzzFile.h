#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

// The readers take file names, so each input is written to a file first: one
// per process, in a temporary folder (in memory where possible) removed at exit, named fileName.
QString WriteFuzzFile(const QString &fileName, const uint8_t *data, size_t size);
