#pragma once

#include <QString>

// The folder of the program's data files: the help ("doc/help.htm"), the
// sounds and the examples. An installed program finds them under
// <prefix>/share/model; one run from the build folder finds them beside
// itself, where the build copies them.
QString ProgramDataFolder();
