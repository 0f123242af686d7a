#pragma once

#include "platform/PlatformExport.h"

#include <QString>

#include <cstdint>

class QPrinter;

// One file dialog object whose properties stay set from one user to the
// next: each user sets only what it needs and inherits the rest, which some
// commands rely on (the name proposed by one dialog is seen by the next).
// The dialogs themselves are shown through prompts().
class MODELPLATFORM_EXPORT CommonDialog
{
public:
    // Flag bits, numbered as the stored settings of the dialogs number them.
    static constexpr int32_t OverwritePrompt = 0x2;
    static constexpr int32_t HideReadOnly = 0x4;

    QString Filter;     // "description|pattern|description|pattern"
    QString FileName;   // proposed name in, chosen name out
    QString DefaultExt;
    QString InitDir;
    int32_t Flags = 0;

    // Show the open or save dialog. True when the user chose a file, which
    // is then in FileName; false when the user gave up, leaving FileName as
    // it was, so that a cancel never reads or writes the proposed file.
    bool ShowOpen();
    bool ShowSave();
    // The printer choice and set-up dialog; false on cancel.
    bool ShowPrinter(QPrinter &printer);

private:
    bool show(bool save);
};
