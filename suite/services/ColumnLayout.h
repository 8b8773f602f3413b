#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace perikon::suite {

// One column of an archive as the column-set service describes it.
struct ColumnSetting
{
    QString field;
    QString originalCaption; // the dictionary caption in the session language
    QString caption;         // what the operator sees; the original unless renamed
    bool mustInput = false;
    bool show = false;
    int width = 100;
    int order = 0;
    bool stored = false; // set from the operator's layout; goes before a default of equal order
};

// What an operator stored for one column; a missing part keeps the default.
struct StoredColumn
{
    QString field;
    std::optional<QString> caption;
    bool show = true;
    int width = 100;
    int order = 0;
    bool mustInput = false;
};

// The columns of an archive: dictionary captions, the suite's default layout, and an operator's
// stored layout over them. Plain logic, so it is the same for the list, the card and the
// column-settings window.
class ColumnLayout
{
public:
    struct DictionaryColumn
    {
        QString field;
        QString caption;
    };

    // `dictionary` in dictionary order. Columns get the default layout.
    ColumnLayout(const QString &key, const QList<DictionaryColumn> &dictionary);

    // Applies an operator's stored settings; columns the dictionary lacks are ignored.
    void apply(const QList<StoredColumn> &stored);

    // Shows every column, each where it is.
    void showAll();

    // Every column, or with showOnly the shown ones, in display order.
    QList<ColumnSetting> columns(bool showOnly) const;
    // <ColInfo cKey='…'><ColSet cFld='…' …/>…</ColInfo>
    QString toXml(bool showOnly) const;

    // The ColSet elements of column information XML; an error text when it is not such XML.
    static std::optional<QList<StoredColumn>> parse(const QString &xml, QString *error);

    // Columns every layout must keep required: a contact needs its name and its customer.
    static bool alwaysRequired(const QString &field);
    // Columns every layout shows: the list's commands find a row's contact by its code column.
    static bool alwaysShown(const QString &field);

private:
    QString m_key;
    QList<ColumnSetting> m_columns;
};

} // namespace perikon::suite
