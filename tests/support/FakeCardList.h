#pragma once

#include "perikon/list/ListWindows.h"
#include "suite/controls/HostGrid.h"

#include <QStringList>

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
    QString listFilter() const override { return {}; }
    QString lastSavedCode() const override { return m_saved; }
    void setLastSavedCode(const QString &code) override { m_saved = code; }

    int refreshes = 0;

private:
    mutable controls::HostGrid m_grid;
    QString m_saved;
};

} // namespace perikon::testing
