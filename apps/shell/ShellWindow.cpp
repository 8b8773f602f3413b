#include "apps/shell/ShellWindow.h"

#include "apps/shell/CustomerPicker.h"
#include "suite/SuiteLogin.h"
#include "suite/portal/SuitePortal.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTabWidget>

namespace perikon::shell {

namespace {
using CreateObject = QObject *(*)(const char *);
}

ShellWindow::ShellWindow(std::unique_ptr<QObject> login, QWidget *parent)
    : QMainWindow(parent)
    , m_login(std::move(login))
{
    setObjectName(QStringLiteral("frmShell"));
    const bool en = english();
    setWindowTitle(en ? QStringLiteral("Perikon – Customer Relations")
                      : QStringLiteral("Perikon – 客户关系管理"));
    m_workspace = new QTabWidget(this);
    m_workspace->setObjectName(QStringLiteral("Workspace"));
    m_workspace->setDocumentMode(true);
    m_workspace->setTabsClosable(true);
    connect(m_workspace, &QTabWidget::tabCloseRequested, this, [this](int index) {
        if (QWidget *page = m_workspace->widget(index))
            page->close(); // the window's own close: locks and tasks are released
    });
    setCentralWidget(m_workspace);

    QMenu *contacts
        = menuBar()->addMenu(en ? QStringLiteral("&Contacts") : QStringLiteral("联系人(&C)"));
    contacts->setObjectName(QStringLiteral("mnuContacts"));
    QAction *list
        = contacts->addAction(en ? QStringLiteral("Contact list") : QStringLiteral("联系人列表"));
    list->setObjectName(QStringLiteral("mContactList"));
    connect(list, &QAction::triggered, this, &ShellWindow::openContactList);
    QAction *ofCustomer = contacts->addAction(en ? QStringLiteral("Contacts of a customer…")
                                                 : QStringLiteral("客户的联系人…"));
    ofCustomer->setObjectName(QStringLiteral("mCustomerContacts"));
    connect(ofCustomer, &QAction::triggered, this, &ShellWindow::openCustomerContacts);
    contacts->addSeparator();
    QAction *exit = contacts->addAction(en ? QStringLiteral("Exit") : QStringLiteral("退出"));
    exit->setObjectName(QStringLiteral("mExit"));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    const QString user = m_login ? m_login->property("cUserName").toString() : QString();
    statusBar()->showMessage(en ? QStringLiteral("Operator: %1").arg(user)
                                : QStringLiteral("操作员：%1").arg(user));

    m_product = new suite::SuiteProduct(this);
    m_formManager = new suite::SuiteFormManager(this);
    m_formManager->setWorkspace(m_workspace);
    m_viewManager = new suite::SuiteViewManager(this);
    m_business = new suite::SuiteBusiness(this);
    m_business->setLogin(m_login.get());
    m_business->setFormManager(m_formManager);
    resize(1180, 760);
}

ShellWindow::~ShellWindow()
{
    // The component's windows go before the component that made them.
    while (m_workspace->count() > 0)
        delete m_workspace->widget(0);
    m_contact.reset();
}

void ShellWindow::closeEvent(QCloseEvent *event)
{
    for (int index = m_workspace->count() - 1; index >= 0; --index) {
        QWidget *page = m_workspace->widget(index);
        if (page && !page->close()) {
            event->ignore();
            return;
        }
    }
    QMainWindow::closeEvent(event);
}

bool ShellWindow::english() const
{
    return m_login && m_login->property("LanguageRegion").toString() == QLatin1String("en-US");
}

bool ShellWindow::loadComponent(QString *error)
{
    const QString folder
        = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../lib"));
    m_library.setFileName(QDir(folder).absoluteFilePath(QStringLiteral("perikon")));
    if (!m_library.load()) {
        m_library.setFileName(QStringLiteral("perikon")); // the system's library path
        if (!m_library.load()) {
            *error = m_library.errorString();
            return false;
        }
    }
    const auto create = reinterpret_cast<CreateObject>(m_library.resolve("perikon_create_object"));
    if (!create) {
        *error = QStringLiteral("%1 has no perikon_create_object.").arg(m_library.fileName());
        return false;
    }
    m_contact.reset(create("Perikon.IContact"));
    if (!m_contact) {
        *error = QStringLiteral("The component does not publish Perikon.IContact.");
        return false;
    }
    return true;
}

void ShellWindow::openContactList()
{
    if (!m_contact)
        return;
    QMetaObject::invokeMethod(m_contact.get(), "Show", Qt::DirectConnection,
                              Q_ARG(QObject *, m_login.get()), Q_ARG(bool, true),
                              Q_ARG(QObject *, m_product), Q_ARG(QObject *, m_formManager),
                              Q_ARG(QObject *, m_viewManager), Q_ARG(QObject *, m_business));
}

void ShellWindow::openCustomerContacts()
{
    auto *login = qobject_cast<suite::SuiteLogin *>(m_login.get());
    if (!m_contact || !login)
        return;
    CustomerPicker picker(login->accountConnection(), english(), this);
    if (picker.exec() != QDialog::Accepted)
        return;
    QString code = picker.code();
    QString name = picker.name();
    // Outside the portal the list opens modally, for this customer alone.
    QMetaObject::invokeMethod(m_contact.get(), "showCalledByCusomterArchive", Qt::DirectConnection,
                              Q_ARG(QObject *, m_login.get()), Q_ARG(QString &, code),
                              Q_ARG(QString &, name), Q_ARG(bool, false), Q_ARG(QObject *, nullptr),
                              Q_ARG(QObject *, nullptr), Q_ARG(QObject *, nullptr));
}

} // namespace perikon::shell
