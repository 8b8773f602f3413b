#include "suite/services/locate/LocateDialogs.h"

#include "suite/ResourceTexts.h"
#include "suite/SuiteLogin.h"
#include "suite/controls/HostGrid.h"
#include "suite/services/SuiteUiHelper.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace perikon::suite::locate {
namespace {

QString text(const char *key)
{
    return ResourceTexts::text(sessionLanguage(),
                               QStringLiteral("K2.Suite.Locate.") + QLatin1String(key));
}

QString matchCaption(LocateMatch match)
{
    switch (match) {
    case LocateMatch::StartsWith:
        return text("StartsWith");
    case LocateMatch::Equals:
        return text("Equals");
    case LocateMatch::Contains:
        break;
    }
    return text("Contains");
}

} // namespace

QStringList locatableCaptions(const controls::HostGrid &grid)
{
    QStringList captions;
    for (int col = 2; col < grid.Cols(); ++col) {
        const QString caption = grid.TextMatrix(0, col).trimmed();
        if (!caption.isEmpty() && grid.ColWidth(col) > 0 && !captions.contains(caption))
            captions.append(caption);
    }
    return captions;
}

int columnOfCaption(const controls::HostGrid &grid, const QString &caption)
{
    for (int col = 1; col < grid.Cols(); ++col) {
        if (grid.TextMatrix(0, col).trimmed() == caption.trimmed())
            return col;
    }
    return -1;
}

LocateSetDialog::LocateSetDialog(const QStringList &captions, const LocateSettings &current,
                                 QWidget *parent)
    : QDialog(parent)
    , m_column(new QComboBox(this))
    , m_match(new QComboBox(this))
{
    setObjectName(QStringLiteral("LocateSetDialog"));
    setWindowTitle(text("SetTitle"));
    setModal(true);
    m_column->setObjectName(QStringLiteral("cboColumn"));
    m_column->addItems(captions);
    m_column->setCurrentIndex(std::max(0, int(captions.indexOf(current.columnCaption))));
    m_match->setObjectName(QStringLiteral("cboMatch"));
    for (LocateMatch match : {LocateMatch::Contains, LocateMatch::StartsWith, LocateMatch::Equals})
        m_match->addItem(matchCaption(match), int(match));
    m_match->setCurrentIndex(m_match->findData(int(current.match)));

    auto *form = new QFormLayout;
    form->addRow(text("Column"), m_column);
    form->addRow(text("Match"), m_match);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(text("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    ok->setEnabled(!captions.isEmpty());
    buttons->addButton(text("Cancel"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(320);
}

LocateSettings LocateSetDialog::settings() const
{
    return {m_column->currentText(), LocateMatch(m_match->currentData().toInt())};
}

LocateDialog::LocateDialog(controls::HostGrid &grid, int column, const LocateSettings &settings,
                           QWidget *parent)
    : QDialog(parent)
    , m_grid(grid)
    , m_column(column)
    , m_settings(settings)
    , m_text(new QLineEdit(this))
{
    setObjectName(QStringLiteral("LocateDialog"));
    setWindowTitle(text("Title"));
    setModal(true);
    m_text->setObjectName(QStringLiteral("txtFind"));
    auto *label
        = new QLabel(text("Find").arg(settings.columnCaption, matchCaption(settings.match)), this);
    label->setBuddy(m_text);
    m_next = new QPushButton(text("FindNext"), this);
    m_next->setObjectName(QStringLiteral("cmdFindNext"));
    m_next->setDefault(true);
    auto *close = new QPushButton(text("Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    close->setAutoDefault(false);
    connect(m_next, &QPushButton::clicked, this, [this] { findNext(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_text, &QLineEdit::textChanged, this,
            [this](const QString &typed) { m_next->setEnabled(!typed.trimmed().isEmpty()); });
    m_next->setEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_next);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
    setMinimumWidth(360);
}

bool LocateDialog::findNext()
{
    const std::optional<int> row
        = nextMatchingRow([this](int r) { return m_grid.TextMatrix(r, m_column); }, m_grid.Rows(),
                          m_grid.Row(), m_text->text(), m_settings.match);
    if (!row) {
        const QString language = sessionLanguage();
        SuiteUiHelper().ShowMsgBox(
            ResourceTexts::format(language, QStringLiteral("K2.Suite.Locate.NotFound"),
                                  {m_text->text().trimmed()}),
            MsgBoxStyle::OKOnly | MsgBoxStyle::Information, windowTitle(), language, 0, 0);
        return false;
    }
    // The row becomes current in the column it was found in, and shows.
    m_grid.setRow(*row);
    m_grid.setCol(m_column);
    return true;
}

} // namespace perikon::suite::locate
