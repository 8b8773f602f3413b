#pragma once

// The result list of a run over several records (a delete run): one line per record with its
// code and what became of it, shown together at the end.

#include <QDialog>
#include <QList>
#include <QObject>
#include <QStringList>

namespace perikon::suite {

class RunMessages : public QObject
{
    Q_OBJECT
public:
    // Field names and column titles, comma-separated; a missing title takes the field name.
    RunMessages(const QString &fields, const QString &titles, QObject *parent = nullptr);

    const QStringList &fields() const { return m_fields; }
    const QStringList &titles() const { return m_titles; }
    const QList<QStringList> &lines() const { return m_lines; }
    // Values beyond the fields are dropped, missing ones are empty.
    void add(const QStringList &values);
    // The title, then one line per record with its values separated by tabs.
    QString text(const QString &title) const;

private:
    QStringList m_fields;
    QStringList m_titles;
    QList<QStringList> m_lines;
};

// The result list as a window: a read-only table and an OK button.
class RunMessagesDialog : public QDialog
{
    Q_OBJECT
public:
    RunMessagesDialog(const RunMessages &messages, const QString &title, QWidget *parent = nullptr);
};

} // namespace perikon::suite
