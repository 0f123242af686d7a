#pragma once

#include "Prompts.h"

// The real dialogs: QMessageBox, QInputDialog, QFileDialog, QPrintDialog,
// QFontDialog.
class MODELPLATFORM_EXPORT QtPrompts : public Prompts
{
public:
    Prompt::Answer message(const MessageRequest &request) override;
    QString input(const InputRequest &request) override;
    QString fileName(const FileRequest &request) override;
    bool printerSetup(QPrinter &printer) override;
    std::optional<QFont> font(const QFont &initial) override;
    void exec(QDialog &dialog) override;
    void beep() override;

    // "Файлы модели (*.mod)|*.mod" becomes "Файлы модели (*.mod)", and
    // "Файлы mod |*.mod" becomes "Файлы mod (*.mod)".
    static QStringList qtNameFilters(const QString &filter);
};
