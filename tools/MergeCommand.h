#pragma once

#include <QStringList>

#include <cstdio>

// "modelrun merge FILES... [--format text|json|csv]": joins the shard files
// of a fault campaign (modelrun faults --shard K/N) into the report the
// campaign gives unsharded. Returns the exit status of the runner.
int RunMergeCommand(const QStringList &arguments, std::FILE *out, std::FILE *err);
