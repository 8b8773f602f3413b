#include "suite/services/CrmGeneralsWindow.h"

#include "suite/controls/HostGrid.h"
#include "suite/services/SuitePubService.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace perikon::suite {
namespace {

struct ColumnCaption
{
    const char16_t *chinese;
    const char16_t *english;
    int alignment; // host alignment code
};

// In the order of opportunityTexts().
constexpr int kLeft = 1;
constexpr int kRight = 7;
constexpr std::array<ColumnCaption, 7> kColumns{{
    {u"商机编号", u"Opportunity code", kLeft},
    {u"商机名称", u"Opportunity", kLeft},
    {u"客户编码", u"Customer code", kLeft},
    {u"预计成交日期", u"Expected date", kLeft},
    {u"预计金额", u"Expected amount", kRight},
    {u"阶段", u"Stage", kRight},
    {u"负责人", u"Principal", kLeft},
}};

constexpr int kCellPadding = 20;
constexpr int kWidestWindow = 1200;

} // namespace

CrmGeneralsWindow::CrmGeneralsWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_grid(new controls::HostGrid(this))
    , m_empty(new QLabel(m_grid->viewport()))
    , m_count(new QLabel(this))
{
    setObjectName(QStringLiteral("frmCrmGenerals"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_grid->setObjectName(QStringLiteral("GridOpportunities"));
    m_grid->setFixedCols(0);
    m_grid->setCols(int(kColumns.size()) + 1);
    m_grid->setRows(1);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_empty->setObjectName(QStringLiteral("lblNoOpportunities"));
    m_empty->setAlignment(Qt::AlignCenter);
    auto *emptyLayout = new QVBoxLayout(m_grid->viewport());
    emptyLayout->addWidget(m_empty);
    m_count->setObjectName(QStringLiteral("lblCount"));
    auto *close = new QPushButton(this);
    close->setObjectName(QStringLiteral("cmdClose"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_count);
    bottom->addStretch();
    bottom->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addLayout(bottom);

    SuitePubService().FrmUniteFont(this);
    resize(780, 360);
}

void CrmGeneralsWindow::showContact(const QString &code, const QString &name,
                                    const QList<Opportunity> &opportunities, bool english)
{
    m_code = code;
    const auto text = [english](const QString &chinese, const QString &englishText) {
        return english ? englishText : chinese;
    };
    const QString contact = name.trimmed().isEmpty() ? code : code + u' ' + name.trimmed();
    setWindowTitle(
        text(QStringLiteral("综合工作 - %1"), QStringLiteral("General work - %1")).arg(contact));
    findChild<QPushButton *>(QStringLiteral("cmdClose"))
        ->setText(text(QStringLiteral("关闭"), QStringLiteral("Close")));

    const QLocale locale(english ? QLocale::English : QLocale::Chinese,
                         english ? QLocale::UnitedStates : QLocale::China);
    const QFontMetrics metrics(m_grid->font());
    std::array<int, kColumns.size()> widths{};
    m_grid->setRedraw(false);
    m_grid->setRows(int(opportunities.size()) + 1);
    for (std::size_t c = 0; c < kColumns.size(); ++c) {
        const QString caption = text(QString::fromUtf16(kColumns[c].chinese),
                                     QString::fromUtf16(kColumns[c].english));
        m_grid->setTextMatrix(0, int(c) + 1, caption);
        m_grid->setColAlignment(int(c) + 1, kColumns[c].alignment);
        widths[c] = metrics.horizontalAdvance(caption);
    }
    for (int row = 0; row < opportunities.size(); ++row) {
        const QStringList texts = opportunityTexts(opportunities.at(row), locale);
        m_grid->setRowTexts(row + 1, texts);
        for (std::size_t c = 0; c < kColumns.size(); ++c)
            widths[c] = std::max(widths[c], metrics.horizontalAdvance(texts.at(qsizetype(c))));
    }
    m_grid->setRedraw(true);
    int total = 0;
    for (std::size_t c = 0; c < kColumns.size(); ++c) {
        m_grid->setColWidth(int(c) + 1, widths[c] + kCellPadding);
        total += widths[c] + kCellPadding;
    }
    // Wide enough that every column shows without scrolling, within reason.
    const QMargins margins = layout()->contentsMargins();
    const int needed = total + m_grid->verticalScrollBar()->sizeHint().width()
                       + 2 * m_grid->frameWidth() + margins.left() + margins.right();
    if (needed > width())
        resize(std::min(needed, kWidestWindow), height());

    m_empty->setText(text(QStringLiteral("该联系人没有商机"),
                          QStringLiteral("No opportunities name this contact")));
    m_empty->setVisible(opportunities.isEmpty());
    const qsizetype count = opportunities.size();
    m_count->setText(english ? (count == 1 ? QStringLiteral("1 opportunity")
                                           : QStringLiteral("%1 opportunities").arg(count))
                             : QStringLiteral("共 %1 个商机").arg(count));
}

} // namespace perikon::suite
