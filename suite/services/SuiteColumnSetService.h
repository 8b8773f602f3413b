#pragma once

#include "perikon/host/contract/ColumnSetService.h"
#include "suite/services/ColumnLayout.h"

#include <QHash>
#include <QPointer>

#include <memory>

namespace perikon::db {
class Connection;
}

namespace perikon::suite {

// The suite's column-set service ("ColumnSetService"): columns and captions from the meta
// database's column dictionary, the suite's default layout, and each operator's stored layout
// (host table qz_ColumnLayout). The column information it gives is kept per archive and mode until
// a layout is saved or the service is bound elsewhere.
class SuiteColumnSetService : public ColumnSetService
{
    Q_OBJECT
public:
    explicit SuiteColumnSetService(QObject *parent = nullptr);
    ~SuiteColumnSetService() override;

    // Opens a connection of the service's own.
    bool Init(const QString &connectionString, const QString &userId) override;
    bool Init(db::Connection &connection, const QString &userId) override;
    // Mode 1: the shown columns in order; mode 2: the suite's default layout; mode 15: every
    // column shown; any other mode: every column. Empty text before a successful Init or when the
    // databases cannot be read.
    using ColumnSetService::getColInfo;
    QString getColInfo(const QString &key, int mode) override;

    // Stores the operator's layout of `key` from column information XML (ColSet elements as
    // getColInfo gives them), replacing what was stored before. False, with lastError(), when the
    // XML is not column information or the database refuses.
    Q_INVOKABLE bool SaveColInfo(const QString &key, const QString &xml);
    // The column-settings control's form: the key comes from the root's cKey. On failure the
    // argument becomes lastError().
    Q_INVOKABLE bool Save(QString &colInfo) override;

    // One column of a list grid as the operator left it.
    struct GridColumn
    {
        QString field;
        int width = 0;
    };
    // Stores the widths and the order of the columns a list grid shows (`shown`, left to right)
    // in the operator's layout of `key`: the shown columns take the places the shown columns had,
    // so hidden columns keep theirs. Stored captions, show and must-input flags stay; a column
    // not stored yet gets a row. All or nothing: false, with lastError(), when the database
    // refuses.
    bool SaveWidthsAndOrder(const QString &key, const QList<GridColumn> &shown);

    QString lastError() const { return m_lastError; }

private:
    bool saveColInfo(const QString &xml);
    db::Connection *connection() const;
    void forgetColumnInfo();
    QList<ColumnLayout::DictionaryColumn> dictionary(const QString &key);
    QList<StoredColumn> storedLayout(const QString &key);

    std::unique_ptr<db::Connection> m_ownConnection;
    QPointer<db::Connection> m_connection; // the caller's or m_ownConnection
    QString m_connectionString;
    QString m_userId;
    // (archive, mode, language) -> column information, valid for one layout generation.
    QHash<QString, QString> m_columnInfo;
    quint64 m_layoutGeneration = 0;
    QString m_metaDatabase;
    QString m_lastError;
};

} // namespace perikon::suite
