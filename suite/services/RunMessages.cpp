#include "suite/services/RunMessages.h"

#include "suite/services/LocalText.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace perikon::suite {

namespace {

QStringList splitList(const QString &text)
{
    QStringList parts = text.split(QLatin1Char(','));
    for (QString &part : parts)
        part = part.trimmed();
    return parts;
}

} // namespace

RunMessages::RunMessages(const QString &fields, const QString &titles, QObject *parent)
    : QObject(parent)
    , m_fields(splitList(fields))
    , m_titles(splitList(titles))
{
    for (qsizetype i = m_titles.size(); i < m_fields.size(); ++i)
        m_titles.append(m_fields.at(i));
    m_titles.resize(m_fields.size());
}

void RunMessages::add(const QStringList &values)
{
    QStringList line = values.mid(0, m_fields.size());
    while (line.size() < m_fields.size())
        line.append(QString());
    m_lines.append(line);
}

QString RunMessages::text(const QString &title) const
{
    QStringList out{title};
    for (const QStringList &line : m_lines)
        out.append(line.join(QLatin1Char('\t')));
    return out.join(QLatin1Char('\n'));
}

RunMessagesDialog::RunMessagesDialog(const RunMessages &messages, const QString &title,
                                     QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmModifyMsg"));
    setWindowTitle(title);
    auto *layout = new QVBoxLayout(this);
    auto *table
        = new QTableWidget(int(messages.lines().size()), int(messages.fields().size()), this);
    table->setObjectName(QStringLiteral("GridMsg"));
    table->setHorizontalHeaderLabels(messages.titles());
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < messages.lines().size(); ++row) {
        const QStringList &line = messages.lines().at(row);
        for (int col = 0; col < line.size(); ++col)
            table->setItem(row, col, new QTableWidgetItem(line.at(col)));
    }
    table->resizeColumnsToContents();
    layout->addWidget(table);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Ok)
        ->setText(localText(QStringLiteral("确定"), QStringLiteral("OK")));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    resize(560, 360);
}

} // namespace perikon::suite
