#pragma once

#include "platform/Prompts.h"

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

    // The name filters of a QFileDialog that hides their details: the shown
    // caption, then the patterns in parentheses. "Файлы модели (*.mod)|*.mod"
    // becomes "Файлы модели (*.mod) (*.mod)", "Файлы mod |*.mod" becomes
    // "Файлы mod (*.mod) (*.mod)" and "Все (*.*)|*.*" "Все (*.*) (*)".
    static QStringList qtNameFilters(const QString &filter);
};
