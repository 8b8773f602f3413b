#pragma once

#include "perikon/card/frmContactEdit.h"
#include "perikon/list/ListWindows.h"
#include "suite/controls/HostGrid.h"

#include <QApplication>
#include <QStringList>
#include <QTest>

#include <memory>

namespace perikon::testing {

// The list as the card sees it: a grid whose column 1 holds contact codes. Each test decides the
// rows the card moves over.
class FakeCardList : public list::ListAccess
{
public:
    explicit FakeCardList(const QStringList &codes)
    {
        m_grid.setCols(3);
        setCodes(codes);
    }
    void setCodes(const QStringList &codes)
    {
        m_grid.setRows(1 + int(codes.size()));
        for (int i = 0; i < codes.size(); ++i)
            m_grid.setTextMatrix(i + 1, 1, codes[i]);
    }
    controls::HostGrid *listGrid() const override { return &m_grid; }
    IContact *listEntry() const override { return nullptr; }
    void refreshList(const QString &) override { ++refreshes; }
    void reloadHeadAndRows() override { ++reloads; }
    QString listFilter() const override { return {}; }
    QString lastSavedCode() const override { return m_saved; }
    void setLastSavedCode(const QString &code) override { m_saved = code; }

    int refreshes = 0;
    int reloads = 0;

private:
    mutable controls::HostGrid m_grid;
    QString m_saved;
};

// A card over `list` in `mode` on `row`, shown and active: matching and the key hook follow the
// focus, which only an active window has.
inline std::unique_ptr<frmContactEdit> openCard(FakeCardList &list, int mode, int row = 1)
{
    auto card = std::make_unique<frmContactEdit>(list);
    card->InitData(mode, 1, row);
    card->show();
    QApplication::setActiveWindow(card.get());
    if (!QTest::qWaitForWindowActive(card.get()))
        qWarning("the card did not become active");
    return card;
}

} // namespace perikon::testing
