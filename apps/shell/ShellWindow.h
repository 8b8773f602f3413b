#pragma once

#include <QLibrary>
#include <QMainWindow>

#include <memory>

class QTabWidget;

namespace perikon::suite {
class SuiteBusiness;
class SuiteFormManager;
class SuiteProduct;
class SuiteViewManager;
} // namespace perikon::suite

namespace perikon::shell {

// The suite's main window: loads the contact component by name and shows its list as a page of
// the workspace, through the portal objects a component receives inside the suite.
class ShellWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit ShellWindow(std::unique_ptr<QObject> login, QWidget *parent = nullptr);
    ~ShellWindow() override;

    // Loads the component; false with `error` set when its library or class is missing.
    bool loadComponent(QString *error);
    void openContactList();
    void openCustomerContacts();

    QTabWidget *workspace() const { return m_workspace; }
    QObject *login() const { return m_login.get(); }

protected:
    // The component's windows close first, so they release their locks and tasks.
    void closeEvent(QCloseEvent *event) override;

private:
    bool english() const;

    std::unique_ptr<QObject> m_login;
    QLibrary m_library;
    std::unique_ptr<QObject> m_contact;
    QTabWidget *m_workspace = nullptr;
    suite::SuiteProduct *m_product = nullptr;
    suite::SuiteFormManager *m_formManager = nullptr;
    suite::SuiteViewManager *m_viewManager = nullptr;
    suite::SuiteBusiness *m_business = nullptr;
};

} // namespace perikon::shell
