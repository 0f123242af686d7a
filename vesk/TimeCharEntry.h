#pragma once

#include <QString>

#include <memory>

class CodeTransmitter;
class CommonDialog;

namespace Vesk {

class frmInpWhd;

// The dialogue that gives a transmitter new code timing: the choice of the
// source, keyboard entry, the ".whd" file and the standard sets, the zero
// check, and saving typed times. Every question goes through prompts().
class TimeCharEntry
{
public:
    explicit TimeCharEntry(CodeTransmitter &transmitter);
    ~TimeCharEntry();

    // nmFil proposes the file name; on the file path it receives the chosen
    // file's path. Giving up restores it and keeps times and LastFile.
    void SetTimeChar(QString &nmFil);

private:
    enum class Outcome { Done, GaveUp, AskAgain };

    int askSource();
    Outcome enterFromKeyboard();
    bool readFields(frmInpWhd &window);
    Outcome readFile(QString &nmFil);
    bool AskOpenFile(QString &N, const QString &E); // false: cancelled
    void SaveTimeChar();
    CommonDialog &commonDialog();

    CodeTransmitter &m_transmitter;
    QString LastFile;
    std::unique_ptr<CommonDialog> m_commonDialog; // made on first use
};

} // namespace Vesk
