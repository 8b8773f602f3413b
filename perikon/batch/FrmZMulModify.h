#pragma once

#include "perikon/batch/BatchModify.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QProgressBar;

namespace perikon {

class BatchModifyControl;

namespace list {
class ListAccess;
}

// The batch modification window: the host's batch control ("Find") over the contacts marked in
// the list. Each modify the control raises is one BatchModifyEvent; when the window goes after a
// change, the list is refreshed once.
class FrmZMulModify : public QDialog
{
    Q_OBJECT
public:
    FrmZMulModify(list::ListAccess &list, QWidget *parent = nullptr);
    ~FrmZMulModify() override;

    // The contacts handed to the control: grid row (as text) and code of every marked row.
    static QList<QPair<QString, QString>> markedContacts(const QWidget *listGrid);

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void load();
    void firstActivation();
    void onModify(const QString &where, const QString &field, const QString &value);
    void showProgress(qint64 done, qint64 total);
    void unload();

    list::ListAccess &m_list;
    QLabel *m_title = nullptr;
    QProgressBar *m_progress = nullptr;
    BatchModifyControl *m_find = nullptr;
    batch::BatchModifyEvent m_event;
    bool m_firstActivation = false;
    bool m_activationQueued = false;
    bool m_unloaded = false;
    bool m_running = false;
};

} // namespace perikon
