#include "editor/ModelCheckPanel.h"

#include "check/ModelCheck.h"

#include <QBoxLayout>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>

namespace {

// A text not yet saved is checked under this name.
const QString kUnsavedName = QStringLiteral("без имени.mod");

QString summaryOf(const std::vector<Finding> &findings)
{
    if (findings.empty())
        return QStringLiteral("Проверка модели: замечаний нет.");
    int errors = 0, warnings = 0;
    for (const Finding &f : findings) {
        errors += f.severity == Severity::Error;
        warnings += f.severity == Severity::Warning;
    }
    return QStringLiteral("Проверка модели: ошибок %1, предупреждений %2, примечаний %3. "
                          "Выберите строку, чтобы перейти к месту.")
        .arg(errors)
        .arg(warnings)
        .arg(int(findings.size()) - errors - warnings);
}

} // namespace

ModelCheckPanel::ModelCheckPanel(QTextEdit &text, QWidget *parent)
    : QWidget(parent), m_text(text), m_summary(new QLabel(this)), m_list(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("ModelCheckPanel"));
    auto *close = new QToolButton(this);
    close->setText(QStringLiteral("×"));
    close->setToolTip(QStringLiteral("Закрыть"));
    connect(close, &QToolButton::clicked, this, &QWidget::hide);
    auto *top = new QHBoxLayout;
    top->addWidget(m_summary, 1);
    top->addWidget(close);

    m_list->setHeaderLabels({QStringLiteral("Строка"), QStringLiteral("Столбец"), QStringLiteral("Важность"),
                             QStringLiteral("Сообщение")});
    m_list->setRootIsDecorated(false);
    m_list->setAlternatingRowColors(true);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setStretchLastSection(true);
    connect(m_list, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) { choose(item); });
    connect(m_list, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) { choose(item); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->addLayout(top);
    layout->addWidget(m_list);
}

void ModelCheckPanel::check(const QString &fileName)
{
    m_fileName = fileName.isEmpty() ? kUnsavedName : fileName;
    m_findings = CheckModelText(m_fileName, m_text.toPlainText(), TimingFileBeside(m_fileName));
    m_summary->setText(summaryOf(m_findings));
    m_list->clear();
    for (size_t k = 0; k < m_findings.size(); ++k) {
        const Finding &f = m_findings[k];
        const bool elsewhere = f.file != m_fileName;
        const QString message = elsewhere ? QStringLiteral("%1: %2").arg(QFileInfo(f.file).fileName(), f.message) : f.message;
        auto *item = new QTreeWidgetItem(m_list, {f.line > 0 ? QString::number(f.line) : QString(),
                                                  f.column > 0 ? QString::number(f.column) : QString(),
                                                  SeverityWord(f.severity), message});
        item->setData(0, Qt::UserRole, qulonglong(k));
        item->setToolTip(3, message);
    }
}

void ModelCheckPanel::choose(QTreeWidgetItem *item)
{
    const size_t k = size_t(item->data(0, Qt::UserRole).toULongLong());
    if (k < m_findings.size())
        goTo(m_findings[k]);
}

void ModelCheckPanel::goTo(const Finding &finding)
{
    if (finding.file != m_fileName || finding.line <= 0)
        return;
    const QTextBlock block = m_text.document()->findBlockByNumber(finding.line - 1);
    if (!block.isValid())
        return;
    QTextCursor cursor(block);
    const int column = std::clamp(finding.column - 1, 0, block.length() - 1);
    cursor.setPosition(block.position() + column);
    m_text.setTextCursor(cursor);
    m_text.ensureCursorVisible();
    m_text.setFocus();
}

ModelCheckPanel &ShowModelCheck(QWidget &editor, QTextEdit &text, const QString &fileName)
{
    auto *panel = editor.findChild<ModelCheckPanel *>(QString(), Qt::FindDirectChildrenOnly);
    if (!panel) {
        panel = new ModelCheckPanel(text, &editor);
        if (auto *layout = qobject_cast<QBoxLayout *>(editor.layout()))
            layout->addWidget(panel);
        else
            panel->setWindowFlags(Qt::Tool);
    }
    panel->check(fileName);
    panel->show();
    return *panel;
}
