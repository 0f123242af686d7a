#pragma once

#include "check/Bench.h"

#include <expected>

// Reads the text of the bench file fileName (see doc/bench.htm for the
// grammar). Paths in it are taken relative to the bench file's folder.
std::expected<Bench, BenchError> ParseBench(const QString &fileName, const QString &text);

// Reads and parses a bench file; empty and UTF-16 files are errors.
std::expected<Bench, BenchError> ReadBenchFile(const QString &fileName);
