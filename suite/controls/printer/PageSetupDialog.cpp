#include "suite/controls/printer/PageSetupDialog.h"

#include "suite/controls/printer/HostTexts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace perikon::suite::printer {
namespace {

QDoubleSpinBox *spinBox(const char *name, double low, double high, double value, QWidget *parent)
{
    auto *spin = new QDoubleSpinBox(parent);
    spin->setObjectName(QLatin1String(name));
    spin->setRange(low, high);
    spin->setDecimals(1);
    spin->setSingleStep(1);
    spin->setValue(value);
    return spin;
}

} // namespace

PageSetupDialog::PageSetupDialog(const PrintStyle &style, const HostTexts &texts, QWidget *parent)
    : QDialog(parent)
    , m_texts(texts)
    , m_paper(new QComboBox(this))
    , m_portrait(new QRadioButton(texts.text("K2.Suite.Print.PageSetup.Portrait"), this))
    , m_landscape(new QRadioButton(texts.text("K2.Suite.Print.PageSetup.Landscape"), this))
    , m_top(spinBox("spnMarginTop", 0, 100, style.marginTop, this))
    , m_bottom(spinBox("spnMarginBottom", 0, 100, style.marginBottom, this))
    , m_left(spinBox("spnMarginLeft", 0, 100, style.marginLeft, this))
    , m_right(spinBox("spnMarginRight", 0, 100, style.marginRight, this))
    , m_fontSize(spinBox("spnFontSize", 4, 72, style.fontSize, this))
    , m_message(new QLabel(this))
{
    setObjectName(QStringLiteral("PrnPageSetup"));
    setWindowTitle(texts.text("K2.Suite.Print.PageSetup.Title"));
    setModal(true);

    m_paper->setObjectName(QStringLiteral("cboPaper"));
    m_paper->addItems(PrintStyle::paperNames());
    m_paper->setCurrentText(style.paper);
    m_portrait->setObjectName(QStringLiteral("optPortrait"));
    m_landscape->setObjectName(QStringLiteral("optLandscape"));
    (style.orientation == QPageLayout::Landscape ? m_landscape : m_portrait)->setChecked(true);
    m_message->setObjectName(QStringLiteral("lblMessage"));
    m_message->setWordWrap(true);
    m_message->hide();

    auto *paper = new QFormLayout;
    auto *paperLabel = new QLabel(texts.text("K2.Suite.Print.PageSetup.Paper"), this);
    paperLabel->setBuddy(m_paper);
    paper->addRow(paperLabel, m_paper);

    auto *orientation = new QGroupBox(texts.text("K2.Suite.Print.PageSetup.Orientation"), this);
    auto *orientationLayout = new QHBoxLayout(orientation);
    orientationLayout->addWidget(m_portrait);
    orientationLayout->addWidget(m_landscape);

    auto *margins = new QGroupBox(texts.text("K2.Suite.Print.PageSetup.Margins"), this);
    auto *marginLayout = new QFormLayout(margins);
    const auto addRow = [&](QFormLayout *layout, const char *key, QWidget *field) {
        auto *label = new QLabel(texts.text(key), this);
        label->setBuddy(field);
        layout->addRow(label, field);
    };
    addRow(marginLayout, "K2.Suite.Print.PageSetup.Top", m_top);
    addRow(marginLayout, "K2.Suite.Print.PageSetup.Bottom", m_bottom);
    addRow(marginLayout, "K2.Suite.Print.PageSetup.Left", m_left);
    addRow(marginLayout, "K2.Suite.Print.PageSetup.Right", m_right);
    addRow(paper, "K2.Suite.Print.PageSetup.FontSize", m_fontSize);

    QPushButton *ok = nullptr;
    QDialogButtonBox *buttons = okCancelButtons(*this, texts, ok);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(paper);
    layout->addWidget(orientation);
    layout->addWidget(margins);
    layout->addWidget(m_message);
    layout->addWidget(buttons);
}

PrintStyle PageSetupDialog::style() const
{
    PrintStyle style;
    style.paper = m_paper->currentText();
    style.orientation = m_landscape->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait;
    style.marginTop = m_top->value();
    style.marginBottom = m_bottom->value();
    style.marginLeft = m_left->value();
    style.marginRight = m_right->value();
    style.fontSize = m_fontSize->value();
    return style;
}

void PageSetupDialog::accept()
{
    // A style the parser would throw away would print with the default: say so now instead.
    const PrintStyle chosen = style();
    if (!(PrintStyle::parse(chosen.toXml()) == chosen)) {
        m_message->setText(m_texts.text("K2.Suite.Print.PageSetup.NoRoom"));
        m_message->show();
        return;
    }
    QDialog::accept();
}

} // namespace perikon::suite::printer
