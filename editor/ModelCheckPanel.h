#pragma once

#include "check/Finding.h"

#include <QWidget>

#include <vector>

class QLabel;
class QTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

// The findings of the model check under the editor's text: one row per
// finding; choosing a row puts the text cursor on its line and column.
class ModelCheckPanel : public QWidget
{
    Q_OBJECT

public:
    ModelCheckPanel(QTextEdit &text, QWidget *parent = nullptr);

    // Checks the text as it stands in the editor, as the model file
    // fileName (its timing file is the one beside it), and lists the findings.
    void check(const QString &fileName);

    const std::vector<Finding> &findings() const { return m_findings; }
    QTreeWidget *list() const { return m_list; }

    // Puts the text cursor on the finding's line and column and gives the
    // text the focus. Findings in another file (the timing file) stay put.
    void goTo(const Finding &finding);

private:
    void choose(QTreeWidgetItem *item);

    QTextEdit &m_text;
    QString m_fileName;
    std::vector<Finding> m_findings;
    QLabel *m_summary;
    QTreeWidget *m_list;
};

// The editor's "Проверить модель": checks the text of the editor and shows
// the panel at the bottom of the editor window, made on first use.
ModelCheckPanel &ShowModelCheck(QWidget &editor, QTextEdit &text, const QString &fileName);
