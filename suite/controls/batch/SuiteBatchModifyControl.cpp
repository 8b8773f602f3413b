#include "suite/controls/batch/SuiteBatchModifyControl.h"

#include "perikon/data/db/ColumnType.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Recordset.h"
#include "suite/controls/HostEdit.h"
#include "suite/controls/batch/BatchCondition.h"
#include "suite/controls/batch/BatchLookup.h"
#include "suite/controls/batch/BatchTexts.h"
#include "suite/controls/batch/BatchValue.h"
#include "suite/controls/batch/CalendarPopup.h"

#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>

namespace perikon::suite {

using batch::BatchField;
using batch::BatchValueKind;

namespace {

const QString kIsoDate = QStringLiteral("yyyy-MM-dd");

// Enough for any int with its sign, and for the digits a double keeps before the point.
constexpr int kIntegerDigits = 10;
constexpr int kDecimalWholeDigits = 15;

// The longest value a column of the template takes; none for a column without a size limit.
std::optional<int> maxLengthOf(db::Recordset &templateRs, const QString &name)
{
    if (!templateRs.state() || !templateRs.hasField(name))
        return std::nullopt;
    const db::Field column = templateRs.field(name);
    if (!db::ColumnType::isText(column.type()) || !db::ColumnType::hasSizeLimit(column.type()))
        return std::nullopt;
    const qint64 size = column.definedSize();
    if (size <= 0 || size >= db::ColumnType::LongWideTextSize)
        return std::nullopt;
    return int(std::min<qint64>(size, 32767));
}

} // namespace

SuiteBatchModifyControl::SuiteBatchModifyControl(QWidget *parent)
    : BatchModifyControl(parent)
    , m_texts(std::make_unique<batch::BatchTexts>())
    , m_lookup(std::make_unique<batch::BatchLookup>(*m_texts))
    , m_fieldLabel(new QLabel(this))
    , m_field(new QComboBox(this))
    , m_valueLabel(new QLabel(this))
    , m_value(new controls::HostEdit(this))
    , m_choice(new QComboBox(this))
    , m_reference(new QToolButton(this))
    , m_date(new QToolButton(this))
    , m_calendar(new batch::CalendarPopup(this))
    , m_count(new QLabel(this))
    , m_modify(new QPushButton(this))
    , m_close(new QPushButton(this))
{
    setObjectName(QStringLiteral("Find"));
    m_fieldLabel->setObjectName(QStringLiteral("lblField"));
    m_field->setObjectName(QStringLiteral("cboField"));
    m_valueLabel->setObjectName(QStringLiteral("lblValue"));
    m_value->setObjectName(QStringLiteral("EdtValue"));
    m_choice->setObjectName(QStringLiteral("cboValue"));
    m_reference->setObjectName(QStringLiteral("cmdRef"));
    m_date->setObjectName(QStringLiteral("cmdDate"));
    m_count->setObjectName(QStringLiteral("lblCount"));
    m_modify->setObjectName(QStringLiteral("cmdModify"));
    m_close->setObjectName(QStringLiteral("cmdClose"));

    m_fieldLabel->setText(m_texts->text("K2.Suite.Batch.Field"));
    m_fieldLabel->setBuddy(m_field);
    m_valueLabel->setText(m_texts->text("K2.Suite.Batch.Value"));
    m_valueLabel->setBuddy(m_value);
    m_reference->setText(QStringLiteral("..."));
    m_reference->setToolTip(m_texts->text("K2.Suite.Batch.LookUp"));
    m_date->setArrowType(Qt::DownArrow);
    m_date->setToolTip(m_texts->text("K2.Suite.Batch.PickDate"));
    m_modify->setText(m_texts->text("K2.AA.ARCHIVE.COMMON.modify") + QStringLiteral("(F8)"));
    m_close->setText(m_texts->text("K2.Suite.Batch.Close"));
    layOut();

    connect(m_field, &QComboBox::currentIndexChanged, this, &SuiteBatchModifyControl::showField);
    connect(m_reference, &QToolButton::clicked, this, &SuiteBatchModifyControl::lookUpReference);
    connect(m_date, &QToolButton::clicked, this, &SuiteBatchModifyControl::openCalendar);
    connect(m_calendar, &batch::CalendarPopup::picked, this, [this](QDate date) {
        m_value->setText(date.toString(kIsoDate));
        m_value->setFocus(Qt::PopupFocusReason);
    });
    connect(m_value, &controls::HostEdit::refused, this, [this](const QString &reason) {
        QToolTip::showText(m_value->mapToGlobal(QPoint(0, m_value->height())), reason, m_value);
    });
    connect(m_modify, &QPushButton::clicked, this, &SuiteBatchModifyControl::modifySelection);
    connect(m_close, &QPushButton::clicked, this, &BatchModifyControl::closeRequested);
    auto *hotKey = new QShortcut(QKeySequence(Qt::Key_F8), this);
    hotKey->setContext(Qt::WindowShortcut);
    connect(hotKey, &QShortcut::activated, this, &SuiteBatchModifyControl::modifySelection);

    showField(-1);
    updateCount();
    updateModifyEnabled();
}

SuiteBatchModifyControl::~SuiteBatchModifyControl() = default;

void SuiteBatchModifyControl::layOut()
{
    m_field->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_field->setMinimumContentsLength(16);
    m_choice->setMinimumContentsLength(12);
    m_value->setMinimumWidth(m_value->fontMetrics().averageCharWidth() * 28);
    for (QToolButton *button : {m_reference, m_date}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedHeight(m_value->sizeHint().height());
    }

    auto *editors = new QHBoxLayout;
    editors->setSpacing(2);
    editors->addWidget(m_value, 1);
    editors->addWidget(m_choice, 1);
    editors->addWidget(m_reference);
    editors->addWidget(m_date);

    auto *form = new QGridLayout;
    form->setHorizontalSpacing(8);
    form->addWidget(m_fieldLabel, 0, 0);
    form->addWidget(m_field, 0, 1);
    form->addWidget(m_valueLabel, 1, 0);
    form->addLayout(editors, 1, 1);
    form->addWidget(m_count, 2, 1);
    form->setColumnStretch(1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_modify);
    buttons->addWidget(m_close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch(1);
    layout->addLayout(buttons);
}

bool SuiteBatchModifyControl::Initialize(QObject *login, const QString &catalogXml,
                                         db::Recordset *templateRs, QString &error,
                                         const QString &modifyCaption, const QString &hotKeyText)
{
    const batch::BatchCatalog catalog = batch::BatchCatalog::read(catalogXml);
    m_fields = catalog.fields();
    if (!catalog.ok()) {
        error = catalog.problem() == batch::BatchCatalogProblem::NotXml
                    ? m_texts->format("K2.Suite.Batch.NotXml", {catalog.detail()})
                    : m_texts->text("K2.Suite.Batch.NoField");
        m_field->clear();
        updateModifyEnabled();
        return false;
    }
    error.clear();
    m_login = login;
    m_maxLengths.clear();
    if (templateRs) {
        try {
            for (const BatchField &field : std::as_const(m_fields)) {
                if (const std::optional<int> length = maxLengthOf(*templateRs, field.name))
                    m_maxLengths.insert(field.name.toLower(), *length);
            }
        } catch (const db::DbError &) {
            // A template that cannot be read leaves the lengths to the window's own checks.
            m_maxLengths.clear();
        }
    }
    if (!modifyCaption.isEmpty())
        m_modify->setText(modifyCaption + hotKeyText);
    {
        const QSignalBlocker quiet(m_field);
        m_field->clear();
        for (const BatchField &field : std::as_const(m_fields))
            m_field->addItem(field.caption, field.name);
        m_field->setCurrentIndex(0);
    }
    showField(0);
    updateModifyEnabled();
    return true;
}

void SuiteBatchModifyControl::SetSelection(const QString &keyField, const Selection &selection,
                                           const QString &table)
{
    // The condition names the key column alone: the host runs it against its own table.
    Q_UNUSED(table)
    m_keyField = keyField;
    m_selection = selection;
    updateCount();
}

void SuiteBatchModifyControl::setMode(int mode)
{
    m_mode = mode;
    updateModifyEnabled();
}

void SuiteBatchModifyControl::showField(int index)
{
    const BatchField *field = index >= 0 && index < m_fields.size() ? &m_fields.at(index) : nullptr;
    const BatchValueKind kind = field ? field->kind : BatchValueKind::Text;
    m_calendar->hide();
    m_value->clear();
    m_value->setEnabled(field != nullptr);
    m_value->setVisible(kind != BatchValueKind::Choice);
    m_choice->setVisible(kind == BatchValueKind::Choice);
    m_reference->setVisible(field && batch::BatchLookup::offers(*field));
    m_date->setVisible(kind == BatchValueKind::Date);
    m_choice->clear();
    if (!field)
        return;
    if (kind == BatchValueKind::Choice) {
        m_choice->addItem(m_texts->text("K2.Suite.Batch.Blank"), QString());
        for (const batch::BatchChoice &choice : field->choices)
            m_choice->addItem(choice.name, choice.code);
        m_valueLabel->setBuddy(m_choice);
    } else {
        setUpValueEdit(*field);
        m_valueLabel->setBuddy(m_value);
    }
}

void SuiteBatchModifyControl::setUpValueEdit(const BatchField &field)
{
    using Rule = controls::HostEdit::InputRule;
    m_value->setForbiddenCharacters(field.anyCharacterAllowed ? QString() : QStringLiteral("<"));
    m_value->setAllowNegative(true);
    int maxLength = m_maxLengths.value(field.name.toLower(), 32767);
    switch (field.kind) {
    case BatchValueKind::Integer:
        m_value->setInputRule(Rule::Integer);
        m_value->setIntegerDigits(kIntegerDigits);
        break;
    case BatchValueKind::Decimal:
        m_value->setInputRule(Rule::Decimal);
        m_value->setIntegerDigits(kDecimalWholeDigits);
        m_value->setDecimalDigits(field.decimals);
        break;
    case BatchValueKind::Date:
        m_value->setInputRule(Rule::Text);
        maxLength = int(kIsoDate.size());
        break;
    case BatchValueKind::Text:
    case BatchValueKind::Reference:
    case BatchValueKind::Choice:
        m_value->setInputRule(Rule::Text);
        break;
    }
    m_value->setMaxLength(maxLength);
    m_value->setPlaceholderText(field.kind == BatchValueKind::Date ? kIsoDate : QString());
}

void SuiteBatchModifyControl::modifySelection()
{
    const int index = m_field->currentIndex();
    if (m_mode != 2 || index < 0 || index >= m_fields.size())
        return;
    const BatchField &field = m_fields.at(index);
    if (m_selection.isEmpty()) {
        m_texts->tell(m_texts->text("K2.Suite.Batch.NoSelection"));
        return;
    }
    const QString entered = field.kind == BatchValueKind::Choice
                                ? m_choice->currentData().toString()
                                : m_value->text();
    const std::optional<QString> value = batch::batchValue(field, entered);
    if (!value) {
        m_texts->tell(m_texts->format(field.kind == BatchValueKind::Date
                                          ? "K2.Suite.Batch.BadDate"
                                          : "K2.Suite.Batch.BadNumber",
                                      {entered.trimmed(), field.caption}));
        m_value->setFocus();
        m_value->selectAll();
        return;
    }
    emit modify(batch::selectionCondition(m_keyField, m_selection), field.name, *value);
}

void SuiteBatchModifyControl::lookUpReference()
{
    const int index = m_field->currentIndex();
    if (index < 0 || index >= m_fields.size())
        return;
    QString error;
    const std::optional<QString> chosen
        = m_lookup->choose(m_fields.at(index), m_login, m_value->text().trimmed(), window(), error);
    if (chosen) {
        m_value->setText(*chosen);
        m_value->setFocus();
    } else if (!error.isEmpty()) {
        m_texts->tell(m_texts->format("K2.Suite.Batch.NoLookup", {error}));
    }
}

void SuiteBatchModifyControl::openCalendar()
{
    m_calendar->popUp(m_value, QDate::fromString(m_value->text().trimmed(), kIsoDate));
}

void SuiteBatchModifyControl::updateCount()
{
    m_count->setText(
        m_texts->format("K2.Suite.Batch.Count", {QString::number(m_selection.size())}));
}

void SuiteBatchModifyControl::updateModifyEnabled()
{
    m_modify->setEnabled(m_mode == 2 && !m_fields.isEmpty());
}

} // namespace perikon::suite
