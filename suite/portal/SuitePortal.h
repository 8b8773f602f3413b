#pragma once

// The suite's portal: the objects a component receives when the shell opens it inside its own
// window (product, form manager, view manager, business object), and the help-id provider.

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <QTabWidget>

namespace perikon::suite {

// The running product: its name and version, for components that show them.
class SuiteProduct : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Name MEMBER Name)
    Q_PROPERTY(QString Version MEMBER Version)
public:
    Q_INVOKABLE explicit SuiteProduct(QObject *parent = nullptr);
    QString Name;
    QString Version;
};

// The shell's form manager: embeds component windows as pages of the shell's workspace. Without
// a workspace a window opens on its own.
class SuiteFormManager : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE explicit SuiteFormManager(QObject *parent = nullptr);

    void setWorkspace(QTabWidget *workspace);
    QTabWidget *workspace() const { return m_workspace; }

    // Shows `form` as a page named after its title; the page goes when the window closes.
    Q_INVOKABLE void AddForm(QWidget *form);
    // Brings the page of `form` to the front.
    Q_INVOKABLE void ActivateForm(QWidget *form);

private:
    QPointer<QTabWidget> m_workspace;
};

// The shell's view manager: the component windows open in the shell, for its Window menu.
class SuiteViewManager : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE explicit SuiteViewManager(QObject *parent = nullptr);

    Q_INVOKABLE void AddView(QWidget *view);
    // The views still open, oldest first.
    QList<QWidget *> views() const;

signals:
    void viewAdded(QWidget *view);

private:
    QList<QPointer<QWidget>> m_views;
};

// A window's environment in the portal: which module and key it was opened under.
class SuiteFormEnv : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString FormKey MEMBER FormKey)
    Q_PROPERTY(QString Module MEMBER Module)
public:
    using QObject::QObject;
    QString FormKey;
    QString Module;
};

// The portal's business object ("Suite.Business"): hands a component its login and shows its
// windows through the form manager, or modally.
class SuiteBusiness : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QObject *Login READ login WRITE setLogin)
    Q_PROPERTY(QObject *FormManager READ formManager WRITE setFormManager)
public:
    Q_INVOKABLE explicit SuiteBusiness(QObject *parent = nullptr);

    QObject *login() const { return m_login; }
    void setLogin(QObject *login) { m_login = login; }
    QObject *formManager() const { return m_formManager; }
    void setFormManager(QObject *manager) { m_formManager = manager; }

    Q_INVOKABLE QObject *GetVBclsLogin() const { return m_login; }
    // The environment a window is shown with; owned by the business object.
    Q_INVOKABLE QObject *CreateFormEnv(const QString &formKey, QWidget *&form);
    // Shows `form`: modally (returning when it has closed) when `modal` is set or there is no
    // form manager, else as a page of the shell.
    Q_INVOKABLE void ShowForm(QWidget *&form, const QString &module, const QString &formKey,
                              bool reserved, bool modal, QObject *environment);

private:
    QPointer<QObject> m_login;
    QPointer<QObject> m_formManager;
};

// Help context ids of the suite's functions by their function name ("HelpIdProvider").
class SuiteHelpIdProvider : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE explicit SuiteHelpIdProvider(QObject *parent = nullptr);
    // 0 for a function without help.
    Q_INVOKABLE int GetHelpId(const QString &functionName) const;
};

// Shows a top-level window modally and returns when it has closed (or been deleted).
void showWindowModal(QWidget *window);

} // namespace perikon::suite
