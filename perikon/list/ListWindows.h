#pragma once

// The windows and actions the list's commands open, registered by name by the parts of the
// component that build them. A command whose window is not registered is not offered.

#include <QString>

#include <functional>
#include <memory>

class QDialog;
class QWidget;

namespace perikon {

class IContact;

namespace controls {
class HostGrid;
}

namespace list {

// What a window opened from the list sees of it.
class ListAccess
{
public:
    virtual ~ListAccess() = default;
    virtual controls::HostGrid *listGrid() const = 0;
    // The IContact that opened the list.
    virtual IContact *listEntry() const = 0;
    // Runs the list statement again with an extra condition and shows the first page.
    virtual void refreshList(const QString &extra) = 0;
    // Lays the grid out again from the list's column information (gListColInfoXml), then reads
    // the rows again as the Refresh command does; marks start over.
    virtual void reloadHeadAndRows() = 0;
    // The filter condition in force, empty when none.
    virtual QString listFilter() const = 0;
    // The code of the contact a window saved last; the list puts its cursor back on it.
    virtual QString lastSavedCode() const = 0;
    virtual void setLastSavedCode(const QString &code) = 0;
};

// The contact card as the list's Add and Modify drive it.
class ContactCard
{
public:
    virtual ~ContactCard() = default;
    virtual QDialog *dialog() = 0;
    // The customer a card opened from a customer's archive starts with: shown name, stored code.
    virtual void presetCustomer(const QString &name, const QString &code) = 0;
    // Mode 1 adds, mode 2 modifies the contact of grid row `row`, whose code is in `codeColumn`.
    virtual void InitData(int mode, int codeColumn, int row) = 0;
};

using ContactCardFactory
    = std::function<std::unique_ptr<ContactCard>(ListAccess &list, QWidget *parent)>;
// A window the list shows modally; the factory hands it what it needs from the list.
using ListDialogFactory
    = std::function<std::unique_ptr<QDialog>(ListAccess &list, QWidget *parent)>;
// Work the list hands on (e-mail to a code list, the chart of a row): `argument` as the command
// gives it.
using ListAction = std::function<void(ListAccess &list, const QString &argument)>;

// Registering an empty function removes the name.
void registerContactCard(const QString &name, ContactCardFactory factory);
void registerListDialog(const QString &name, ListDialogFactory factory);
void registerListAction(const QString &name, ListAction action);

// Names compare without regard to case. nullptr / an empty function when not registered.
std::unique_ptr<ContactCard> createContactCard(const QString &name, ListAccess &list,
                                               QWidget *parent);
std::unique_ptr<QDialog> createListDialog(const QString &name, ListAccess &list, QWidget *parent);
ListAction listAction(const QString &name);
bool isRegistered(const QString &name);

// The help topic of the list and the windows it opens: the portal's topic for contact
// management when the list runs in the portal, else the trade-class family (the window is
// attached to it through the public service).
int listHelpContextId(QWidget *window);
// The same for a window with a portal topic of its own (`portalTopic`, e.g. "发送短信").
int helpContextId(QWidget *window, const QString &portalTopic);

// Whether the host runs the list in its web portal (the UI helper's run mode 1).
bool listWebMode();

// The names the list's commands use.
inline const QString kCardWindow = QStringLiteral("frmContactEdit");
inline const QString kBatchWindow = QStringLiteral("FrmZMulModify");
inline const QString kColumnSettingsWindow = QStringLiteral("frmItemSet");
inline const QString kSmsWindow = QStringLiteral("frmSendSMS");
inline const QString kMailAction = QStringLiteral("clsContact.GetContact");
inline const QString kChartAction = QStringLiteral("Report");

} // namespace list
} // namespace perikon
