#include "suite/portal/SuitePortal.h"

#include <QEventLoop>
#include <QTabWidget>

namespace perikon::suite {

SuiteProduct::SuiteProduct(QObject *parent)
    : QObject(parent)
    , Name(QStringLiteral("Perikon"))
    , Version(QStringLiteral("1.0"))
{}

SuiteFormManager::SuiteFormManager(QObject *parent)
    : QObject(parent)
{}

void SuiteFormManager::setWorkspace(QTabWidget *workspace)
{
    m_workspace = workspace;
}

void SuiteFormManager::AddForm(QWidget *form)
{
    if (!form)
        return;
    if (!m_workspace) {
        form->show();
        return;
    }
    const int page = m_workspace->addTab(form, form->windowTitle());
    m_workspace->setCurrentIndex(page);
    form->show();
    // The title is set while the window loads, after it became a page.
    connect(form, &QWidget::windowTitleChanged, m_workspace, [workspace = m_workspace, form] {
        const int index = workspace->indexOf(form);
        if (index >= 0)
            workspace->setTabText(index, form->windowTitle());
    });
    const int index = m_workspace->indexOf(form);
    if (index >= 0)
        m_workspace->setTabText(index, form->windowTitle());
}

void SuiteFormManager::ActivateForm(QWidget *form)
{
    if (m_workspace && form && m_workspace->indexOf(form) >= 0)
        m_workspace->setCurrentWidget(form);
}

SuiteViewManager::SuiteViewManager(QObject *parent)
    : QObject(parent)
{}

void SuiteViewManager::AddView(QWidget *view)
{
    if (!view)
        return;
    m_views.append(view);
    emit viewAdded(view);
}

QList<QWidget *> SuiteViewManager::views() const
{
    QList<QWidget *> open;
    for (const QPointer<QWidget> &view : m_views) {
        if (view)
            open.append(view);
    }
    return open;
}

SuiteBusiness::SuiteBusiness(QObject *parent)
    : QObject(parent)
{}

QObject *SuiteBusiness::CreateFormEnv(const QString &formKey, QWidget *&form)
{
    Q_UNUSED(form) // the window is shown as it comes
    auto *environment = new SuiteFormEnv(this);
    environment->FormKey = formKey;
    return environment;
}

void SuiteBusiness::ShowForm(QWidget *&form, const QString &module, const QString &formKey,
                             bool reserved, bool modal, QObject *environment)
{
    Q_UNUSED(reserved)
    Q_UNUSED(formKey)
    if (auto *env = qobject_cast<SuiteFormEnv *>(environment))
        env->Module = module;
    if (!form)
        return;
    auto *manager = qobject_cast<SuiteFormManager *>(m_formManager);
    if (modal || !manager) {
        showWindowModal(form);
        return;
    }
    manager->AddForm(form);
}

SuiteHelpIdProvider::SuiteHelpIdProvider(QObject *parent)
    : QObject(parent)
{}

int SuiteHelpIdProvider::GetHelpId(const QString &functionName) const
{
    static const QHash<QString, int> ids{{QStringLiteral("联系人管理"), 90100189}};
    return ids.value(functionName.trimmed(), 0);
}

void showWindowModal(QWidget *window)
{
    if (!window)
        return;
    QPointer<QWidget> shown = window;
    QEventLoop loop;
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    // Closed (hidden) or deleted, the wait is over.
    while (shown && shown->isVisible())
        loop.processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::DialogExec);
}

} // namespace perikon::suite
