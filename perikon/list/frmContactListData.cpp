// The contact list window: the list statement, filling and formatting the grid, and paging.

#include "perikon/list/frmContactList.h"

#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/entry/IContact.h"
#include "perikon/host/HostSession.h"
#include "perikon/host/ResText.h"
#include "perikon/list/ListCellFormat.h"
#include "perikon/list/ListPaging.h"
#include "perikon/list/ListSession.h"
#include "perikon/list/ListStatement.h"
#include "perikon/list/ListWindows.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/controls/HostGrid.h"
#include "suite/controls/LinkLabel.h"
#include "suite/controls/NumericEdit.h"
#include "suite/controls/PanelStatusBar.h"
#include "suite/controls/SpinButtons.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>

namespace perikon {

using namespace controls;

namespace {

constexpr int kProgressRows = 200;
constexpr qint64 kPaintIntervalMs = 100;

// Painting and progress run during a long fill; input waits its turn, so no command or page
// flip starts inside a fill.
void letPaintingRun()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents
                                    | QEventLoop::ExcludeSocketNotifiers);
}

class BusyCursor
{
public:
    explicit BusyCursor(QWidget *grid)
        : m_grid(grid)
    {
        if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        if (m_grid)
            m_grid->setCursor(Qt::WaitCursor);
    }
    ~BusyCursor()
    {
        if (m_grid)
            m_grid->unsetCursor();
        if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
            QGuiApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

private:
    QWidget *m_grid;
};

int digitCount(int number)
{
    return int(QString::number(number).size());
}

} // namespace

void frmContactList::connectPaging()
{
    connect(m_pageSizeSpin, &SpinButtons::upClicked, this, [this] {
        m_pageSize->setValue(list::spinPageSize(pageSizeField(), true, gMaxPageSize));
    });
    connect(m_pageSizeSpin, &SpinButtons::downClicked, this, [this] {
        m_pageSize->setValue(list::spinPageSize(pageSizeField(), false, gMaxPageSize));
    });
    connect(m_pageSpin, &SpinButtons::upClicked, this,
            [this] { m_page->setValue(list::spinPage(pageField(), true, m_pageSpin->max())); });
    connect(m_pageSpin, &SpinButtons::downClicked, this,
            [this] { m_page->setValue(list::spinPage(pageField(), false, m_pageSpin->max())); });
    // textChanged, not textEdited: the page field keeps within the pages also when the program
    // sets it.
    connect(m_page, &QLineEdit::textChanged, this, [this] { onPageFieldEdited(); });
    connect(m_request, &QPushButton::clicked, this, [this] { onRequest(); });
    for (int i = 0; i < 4; ++i)
        connect(m_pageLinks[i], &LinkLabel::clicked, this, [this, i] { onPageLink(i); });
}

void frmContactList::initPaging()
{
    m_pageSizeSpin->setMax(gMaxPageSize);
    m_pageSizeSpin->setMin(list::kMinPageSize);
    m_pageSizeSpin->setIncrement(list::kPageSizeStep);
    m_pageSpin->setMin(1);
    m_pageSpin->setIncrement(1);
    m_pageSize->setMaxDigits(digitCount(gMaxPageSize));
    m_page->setMaxDigits(digitCount(gMaxPageSize * 100));

    QString stored;
    if (gPubService) {
        stored = gPubService->GetRegEdit(QStringLiteral("Crm_Contact"), QStringLiteral("PageSize"),
                                         false, gUserId);
        if (!gPubService->LastError().isEmpty()) {
            ShowMessage(gPubService->LastError());
            return;
        }
    }
    // The operator's own page size when one is stored and usable, else the list's default.
    bool numeric = false;
    const int storedSize = stored.trimmed().toInt(&numeric);
    m_pageSize->setValue(numeric && storedSize >= list::kMinPageSize && storedSize <= gMaxPageSize
                             ? storedSize
                             : list::kDefaultPageSize);
    gPageCount = 1;
    m_pageSpin->setMax(1);
    m_page->setValue(m_pageSpin->min());
}

int frmContactList::pageSizeField() const
{
    return m_pageSize->value();
}

int frmContactList::pageField() const
{
    return m_page->value();
}

void frmContactList::onPageFieldEdited()
{
    const QString text = m_page->text();
    const QString clamped = list::clampPageField(text, gPageCount);
    if (clamped != text)
        m_page->setText(clamped);
}

void frmContactList::LoadHead()
{
    if (gPubService) {
        gYesNoText[0] = gPubService->GetResString(QStringLiteral("K2.AA.ARCHIVE.COMMON.no"));
        gYesNoText[1] = gPubService->GetResString(QStringLiteral("K2.AA.ARCHIVE.COMMON.yes"));
    }
    if (m_grid->Rows() < 1)
        m_grid->setRows(1);
    if (m_grid->Cols() < 1)
        m_grid->setCols(1);
    m_grid->setTextMatrix(0, 0, GetResText(QStringLiteral("K2.CRM.COMMON.Title0001")));
    if (gListColInfoXml.trimmed().isEmpty() && gColumnSet)
        gListColInfoXml = gColumnSet->getColInfo(QStringLiteral("Crm_Contact"), 1);

    bool laidOut = false;
    if (gPubService) {
        int fixedCols = 0;
        int reserved = 0;
        QString message;
        laidOut = gPubService->getColSet(gListColInfoXml, gListSelectCols, fixedCols, m_orderText,
                                         reserved, m_grid, message);
    }
    if (!laidOut)
        ShowMessage(GetResText(QStringLiteral("K2.CRM.QZContact.frmcontactlist.00043")));
    for (int col = 0; col < m_grid->Cols(); ++col)
        m_grid->setCellAlignment(0, col, 4);
}

void frmContactList::DataRefresh(const QString &extra)
{
    if (m_filling)
        return; // a refresh asked for from inside a fill waits for the next request
    list::ListQuery query;
    query.selectCols = gListSelectCols;
    query.rowAuthRead = gRowAuthRead;
    query.archiveCusCode = gArchiveCusCode;
    query.extra = extra;
    query.filter = m_filterCondition;
    query.orderText = m_orderText;
    const QString statement = list::listStatement(query);

    db::Recordset *rows = nullptr;
    {
        BusyCursor busy(m_grid);
        int pageSize = pageSizeField();
        int page = pageField();
        int maxPage = 0;
        QString message;
        bool flag = false;
        bool ref = false;
        if (m_entry && !statement.isEmpty())
            m_entry->OpenPage(statement, pageSize, page, maxPage, rows, message, flag, ref);
    }
    std::unique_ptr<db::Recordset> result(rows);
    if (!result || result->state() != 1) {
        ShowMessage(GetResText(QStringLiteral("K2.CRM.QZContact.frmcontactlist.00051")));
        return;
    }
    if (result->recordCount() == 0 && !extra.trimmed().isEmpty())
        ShowMessage(GetResText(QStringLiteral("K2.CRM.QZContact.frmcontactlist.00052")));

    m_ready = false;
    m_result = std::move(result);
    flipPage();
    for (int panel : {1, 2, 3, 5})
        m_status->setPanelText(panel - 1, QString()); // panels count from 1
    m_ready = true;
}

void frmContactList::flipPage()
{
    if (!gPubService || !m_result)
        return;
    QObject *kept = m_result.get();
    gPubService->FlipPageFillGrid(this, m_grid, kept, pageSizeField(), pageField(), gPageCount);
    if (kept != m_result.get()) // the service handed back another recordset to keep
        m_result.reset(qobject_cast<db::Recordset *>(kept));
}

void frmContactList::FillGrid(QObject *rsObject)
{
    auto *rs = qobject_cast<db::Recordset *>(rsObject);
    const qint64 n = rs && rs->state() == 1 ? rs->recordCount() : 0;
    const int fields = rs && rs->state() == 1 ? rs->fieldCount() : 0;
    const QString countKey = QStringLiteral("K2.CRM.QZContact.frmcontactlist.00044");
    BusyCursor busy(m_grid);
    m_filling = true;
    m_status->setPanelText(0, GetResFormat(countKey, {QString::number(n)}));

    m_grid->setRedraw(false);
    m_grid->setRows(int(n) + 1);
    m_grid->setCols(fields + 1);
    m_grid->setRedraw(true);
    if (n > 0) {
        m_grid->setRedraw(false);
        // One fixed column again: the row numbers show beside the contacts.
        m_grid->setFixedCols(1);
        m_grid->setRow(0);
        std::vector<int> types(static_cast<std::size_t>(fields));
        for (int i = 0; i < fields; ++i)
            types[std::size_t(i)] = rs->columnInfo(i).type;
        rs->moveFirst();
        QElapsedTimer sincePaint;
        sincePaint.start();
        QStringList texts;
        texts.reserve(fields);
        for (int r = 1; r <= n && !rs->eof(); ++r) {
            texts.clear();
            for (int i = 0; i < fields; ++i)
                texts.append(list::cellText(rs->value(i), types[std::size_t(i)]));
            m_grid->setRowTexts(r, texts, 1);
            rs->moveNext();
            // Progress every 200 rows; the screen catches up only when the fill has run long
            // enough for a clerk to see it, since each repaint costs more than the rows.
            if (r % kProgressRows == 0 && sincePaint.elapsed() >= kPaintIntervalMs) {
                m_status->setPanelText(0, GetResFormat(countKey, {QString::number(r)}));
                m_grid->setRedraw(true);
                letPaintingRun();
                m_grid->setRedraw(false);
                sincePaint.restart();
            }
        }
        RepairGrid(rs, int(n), fields);
        m_grid->setRedraw(true);
    } else {
        m_grid->setRows(1);
    }
    m_status->setPanelText(0, GetResFormat(countKey, {QString::number(n)}));
    m_filling = false;
}

QString frmContactList::decimalsOfUserDefined(int item)
{
    if (!gClsCommon)
        return {};
    const QString statement
        = QStringLiteral("SELECT * FROM Userdef WHERE cClass=N'联系人' and cItem=N'自定义项%1' and "
                         "(cItemName <>N'' and cItemName is not null )")
              .arg(item);
    bool flag = false;
    QString message;
    std::unique_ptr<db::Recordset> definition(gClsCommon->OpenX(statement, flag, message));
    if (!definition || definition->state() != 1 || definition->recordCount() == 0
        || !definition->hasField(QStringLiteral("iDecimalDigits")))
        return {};
    definition->moveFirst();
    return definition->value(QStringLiteral("iDecimalDigits")).toString();
}

void frmContactList::RepairGrid(QObject *rsObject, int rowCount, int fieldCount)
{
    auto *rs = qobject_cast<db::Recordset *>(rsObject);
    if (!rs || rs->state() != 1)
        return;
    const list::CellTexts texts{GetResText(QStringLiteral("K2.CRM.COMMON.DispBoolTrue")),
                                GetResText(QStringLiteral("K2.CRM.COMMON.DispBoolFalse")),
                                gYesNoText[1]};
    const int fields = std::min(fieldCount, rs->fieldCount());
    for (int i = 0; i < fields; ++i) {
        const db::ColumnInfo &column = rs->columnInfo(i);
        QString digits;
        if (const int item = list::userDefinedDecimalsItem(column.name))
            digits = decimalsOfUserDefined(item);
        else if (gPubService)
            digits = gPubService->GetEleVal(column.name, m_numberSettings);
        bool numeric = false;
        const int decimals = digits.trimmed().toInt(&numeric);
        const list::CellFormat format = list::cellFormatOf(column.type, column.name, numeric);
        if (format == list::CellFormat::Plain)
            continue;
        const auto formatNumber = [decimals](const QString &cell) {
            return gPubService ? gPubService->FormatNum(cell, decimals) : cell;
        };
        for (int r = 1; r <= rowCount && r < m_grid->Rows(); ++r) {
            const QString cell = m_grid->TextMatrix(r, i + 1);
            const QString shown = list::formatCell(format, cell, texts, formatNumber);
            if (shown != cell)
                m_grid->setTextMatrix(r, i + 1, shown);
        }
    }
}

void frmContactList::LblPageEnabled(bool backward, bool forward)
{
    m_pageLinks[0]->setEnabled(backward);
    m_pageLinks[1]->setEnabled(backward);
    m_pageLinks[2]->setEnabled(forward);
    m_pageLinks[3]->setEnabled(forward);
}

void frmContactList::onRequest()
{
    if (!m_ready)
        return;
    m_ready = false;
    m_pageSize->setValue(list::clampRequestPageSize(pageSizeField(), gMaxPageSize));
    flipPage();
    m_ready = true;
    if (gPubService)
        gPubService->SaveRegEdit(QStringLiteral("Crm_Contact"), QStringLiteral("PageSize"),
                                 m_pageSize->text(), list::listWebMode(), gUserId);
}

void frmContactList::onPageLink(int index)
{
    if (!m_ready || index < 0 || index > 3)
        return;
    const auto link = static_cast<list::PageLink>(index);
    m_page->setValue(list::pageLinkTarget(link, pageField(), gPageCount));
    m_ready = false;
    flipPage();
    m_ready = true;
    const list::LinkStates states = list::linkStates(m_page->text(), gPageCount);
    LblPageEnabled(states.backward, states.forward);
}

bool frmContactList::eventFilter(QObject *watched, QEvent *event)
{
    // Leaving the links for the frame around them gives every link its plain look back.
    if (watched == m_frameWeb && event->type() == QEvent::MouseMove) {
        for (LinkLabel *link : m_pageLinks)
            link->setPlainLook();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace perikon
