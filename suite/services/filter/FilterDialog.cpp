#include "suite/services/filter/FilterDialog.h"

#include "suite/ResourceTexts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace perikon::suite::filter {
namespace {

constexpr FilterOperator kAllOperators[]
    = {FilterOperator::Equals,    FilterOperator::NotEqual,   FilterOperator::Greater,
       FilterOperator::AtLeast,   FilterOperator::Less,       FilterOperator::AtMost,
       FilterOperator::Contains,  FilterOperator::StartsWith, FilterOperator::IsEmpty,
       FilterOperator::IsNotEmpty};

} // namespace

FilterDialog::FilterDialog(QList<FilterField> fields, const QList<FilterRow> &rows,
                           const QString &language, QWidget *parent)
    : QDialog(parent)
    , m_fields(std::move(fields))
    , m_language(language)
    , m_grid(new QGridLayout)
    , m_message(new QLabel(this))
{
    const auto text = [&language](const char *key) {
        return ResourceTexts::text(language,
                                   QStringLiteral("K2.Suite.Filter.") + QLatin1String(key));
    };
    setObjectName(QStringLiteral("FilterDialog"));
    setWindowTitle(text("Title"));
    setModal(true);

    auto *rowsPage = new QWidget;
    auto *rowsLayout = new QVBoxLayout(rowsPage);
    m_grid->setHorizontalSpacing(6);
    m_grid->addWidget(new QLabel(text("Field")), 0, 0);
    m_grid->addWidget(new QLabel(text("Operator")), 0, 1);
    m_grid->addWidget(new QLabel(text("Value")), 0, 2);
    m_grid->setColumnStretch(2, 1);
    rowsLayout->addLayout(m_grid);
    rowsLayout->addStretch();
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setWidget(rowsPage);

    auto *add = new QPushButton(text("AddRow"), this);
    add->setObjectName(QStringLiteral("cmdAddRow"));
    add->setAutoDefault(false);
    m_remove = new QPushButton(text("RemoveRow"), this);
    m_remove->setObjectName(QStringLiteral("cmdRemoveRow"));
    m_remove->setAutoDefault(false);
    auto *clear = new QPushButton(text("Clear"), this);
    clear->setObjectName(QStringLiteral("cmdClear"));
    clear->setAutoDefault(false);
    connect(add, &QPushButton::clicked, this, [this] {
        addRow({defaultColumn(), FilterOperator::Equals, {}, false});
    });
    connect(m_remove, &QPushButton::clicked, this, &FilterDialog::removeRow);
    connect(clear, &QPushButton::clicked, this, &FilterDialog::clearRows);

    m_message->setObjectName(QStringLiteral("lblMessage"));
    m_message->setWordWrap(true);
    QPalette warning = m_message->palette();
    warning.setColor(QPalette::WindowText, QColor(0xc0, 0x20, 0x20));
    m_message->setPalette(warning);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(text("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    buttons->addButton(text("Cancel"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &FilterDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FilterDialog::reject);

    auto *rowButtons = new QHBoxLayout;
    rowButtons->addWidget(add);
    rowButtons->addWidget(m_remove);
    rowButtons->addWidget(clear);
    rowButtons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(scroll, 1);
    layout->addLayout(rowButtons);
    layout->addWidget(m_message);
    layout->addWidget(buttons);

    for (const FilterRow &row : rows)
        addRow(row);
    // A new filter starts with one row to fill in.
    if (m_rows.isEmpty())
        addRow({defaultColumn(), FilterOperator::Equals, {}, false});
    resize(640, 360);
}

FilterDialog::~FilterDialog() = default;

QString FilterDialog::defaultColumn() const
{
    // A new row starts on the contact's name: what a clerk filters by most.
    for (const FilterField &field : m_fields) {
        if (field.column.compare(QLatin1String("cContactName"), Qt::CaseInsensitive) == 0)
            return field.column;
    }
    return m_fields.value(0).column;
}

const FilterField *FilterDialog::fieldOf(const RowWidgets &row) const
{
    const int index = row.field->currentIndex();
    return index >= 0 && index < m_fields.size() ? &m_fields.at(index) : nullptr;
}

void FilterDialog::fillOperators(RowWidgets &row, FilterOperator wanted)
{
    const FilterField *field = fieldOf(row);
    row.op->clear();
    if (!field)
        return;
    for (FilterOperator op : operatorsFor(field->type))
        row.op->addItem(operatorCaption(op, m_language), int(op));
    const int index = row.op->findData(int(wanted));
    row.op->setCurrentIndex(index >= 0 ? index : 0);
}

void FilterDialog::updateValue(RowWidgets &row)
{
    const bool takesValue = row.op->currentIndex() >= 0
                            && operatorTakesValue(FilterOperator(row.op->currentData().toInt()));
    row.value->setEnabled(takesValue);
    if (!takesValue)
        row.value->clear();
}

void FilterDialog::addRow(const FilterRow &filterRow)
{
    const int i = int(m_rows.size());
    RowWidgets row;
    row.field = new QComboBox(this);
    row.field->setObjectName(QStringLiteral("cboField_%1").arg(i));
    for (const FilterField &field : std::as_const(m_fields))
        row.field->addItem(field.caption, field.column);
    const int field = row.field->findData(filterRow.column, Qt::UserRole, Qt::MatchFixedString);
    row.field->setCurrentIndex(field >= 0 ? field : 0);
    row.op = new QComboBox(this);
    row.op->setObjectName(QStringLiteral("cboOperator_%1").arg(i));
    row.value = new QLineEdit(this);
    row.value->setObjectName(QStringLiteral("txtValue_%1").arg(i));
    row.value->setText(filterRow.value);
    row.join = new QComboBox(this);
    row.join->setObjectName(QStringLiteral("cboJoin_%1").arg(i));
    row.join->addItem(ResourceTexts::text(m_language, QStringLiteral("K2.Suite.Filter.And")),
                      false);
    row.join->addItem(ResourceTexts::text(m_language, QStringLiteral("K2.Suite.Filter.Or")), true);
    row.join->setCurrentIndex(filterRow.orWithNext ? 1 : 0);
    m_rows.append(row);
    RowWidgets &kept = m_rows.last();
    fillOperators(kept, filterRow.op);
    updateValue(kept);
    kept.value->setText(operatorTakesValue(filterRow.op) ? filterRow.value : QString());
    connect(kept.field, &QComboBox::currentIndexChanged, this, [this, i] {
        RowWidgets &changed = m_rows[i];
        fillOperators(changed, FilterOperator(changed.op->currentData().toInt()));
        updateValue(changed);
        m_message->clear();
    });
    connect(kept.op, &QComboBox::currentIndexChanged, this, [this, i] {
        updateValue(m_rows[i]);
        m_message->clear();
    });
    connect(kept.value, &QLineEdit::textEdited, m_message, &QLabel::clear);
    for (QWidget *widget : {static_cast<QWidget *>(kept.field), static_cast<QWidget *>(kept.op),
                            static_cast<QWidget *>(kept.value), static_cast<QWidget *>(kept.join)})
        widget->installEventFilter(this);
    relayout();
    kept.value->setFocus();
}

void FilterDialog::removeRow()
{
    if (m_rows.isEmpty())
        return;
    // The row the operator was last in (the button took the focus from it), else the last one.
    const qsizetype index
        = m_lastRow >= 0 && m_lastRow < m_rows.size() ? m_lastRow : m_rows.size() - 1;
    // Later rows take the removed one's place; their names follow their places.
    const QList<FilterRow> kept = [this, index] {
        QList<FilterRow> rows;
        for (qsizetype i = 0; i < m_rows.size(); ++i) {
            if (i == index)
                continue;
            const RowWidgets &row = m_rows.at(i);
            rows.append({row.field->currentData().toString(),
                         FilterOperator(row.op->currentData().toInt()), row.value->text(),
                         row.join->currentData().toBool()});
        }
        return rows;
    }();
    clearRows();
    for (const FilterRow &row : kept)
        addRow(row);
}

void FilterDialog::clearRows()
{
    for (const RowWidgets &row : std::as_const(m_rows)) {
        delete row.field;
        delete row.op;
        delete row.value;
        delete row.join;
    }
    m_rows.clear();
    m_lastRow = -1;
    m_message->clear();
    relayout();
}

void FilterDialog::relayout()
{
    for (int i = 0; i < m_rows.size(); ++i) {
        const RowWidgets &row = m_rows.at(i);
        m_grid->addWidget(row.field, i + 1, 0);
        m_grid->addWidget(row.op, i + 1, 1);
        m_grid->addWidget(row.value, i + 1, 2);
        m_grid->addWidget(row.join, i + 1, 3);
        // Widgets put into a shown page show only when told to.
        row.field->show();
        row.op->show();
        row.value->show();
        // The last row is joined to nothing.
        row.join->setVisible(i + 1 < m_rows.size());
    }
    m_remove->setEnabled(!m_rows.isEmpty());
}

bool FilterDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        for (int i = 0; i < m_rows.size(); ++i) {
            const RowWidgets &row = m_rows.at(i);
            if (watched == row.field || watched == row.op || watched == row.value
                || watched == row.join)
                m_lastRow = i;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QList<FilterRow> FilterDialog::filterRows() const
{
    QList<FilterRow> rows;
    for (const RowWidgets &row : m_rows) {
        if (const std::optional<CountedRow> counted = countedRow(row))
            rows.append({counted->field->column, counted->op, row.value->text(),
                         row.join->currentData().toBool()});
    }
    return rows;
}

std::optional<FilterDialog::CountedRow> FilterDialog::countedRow(const RowWidgets &row) const
{
    const FilterField *field = fieldOf(row);
    if (!field || row.op->currentIndex() < 0)
        return std::nullopt;
    const auto op = FilterOperator(row.op->currentData().toInt());
    // A row still waiting for its value is no condition.
    if (operatorTakesValue(op) && row.value->text().trimmed().isEmpty())
        return std::nullopt;
    return CountedRow{field, op};
}

void FilterDialog::accept()
{
    for (const RowWidgets &row : std::as_const(m_rows)) {
        const std::optional<CountedRow> counted = countedRow(row);
        if (!counted)
            continue;
        if (const std::optional<QString> problem
            = checkValue(*counted->field, counted->op, row.value->text(), m_language)) {
            m_message->setText(*problem);
            row.value->setFocus();
            row.value->selectAll();
            return;
        }
    }
    QDialog::accept();
}

} // namespace perikon::suite::filter
