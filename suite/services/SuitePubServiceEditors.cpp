// The public service's card editors: input rules of the card's edits, caption widths and looks,
// and the card window's stored geometry.

#include "suite/services/SuitePubService.h"

#include "perikon/host/contract/HostLogin.h"
#include "suite/controls/HostEdit.h"
#include "suite/controls/LinkLabel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPointer>

#include <algorithm>

namespace perikon::suite {

namespace {

constexpr int kDefaultLength = 10;

const QString kGeometryName = QStringLiteral("geometry");
const QString kKeeperName = QStringLiteral("FrmOptInitKeeper");

QString geometryKey(const QWidget *window)
{
    return window->objectName() + QStringLiteral(".frmoptinit");
}

// Stores the window's geometry for its operator each time the window hides (closing hides it).
class GeometryKeeper : public QObject
{
public:
    GeometryKeeper(QWidget *window, SuitePubService *service, const QString &userId)
        : QObject(window)
        , m_service(service)
        , m_userId(userId)
    {
        setObjectName(kKeeperName);
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Hide && watched == parent())
            store(static_cast<QWidget *>(watched));
        return QObject::eventFilter(watched, event);
    }

    void store(QWidget *window)
    {
        // A failed store keeps the earlier geometry; the service's LastError says why.
        if (m_service)
            m_service->SaveRegEdit(geometryKey(window), kGeometryName,
                                   QString::fromLatin1(window->saveGeometry().toBase64()), false,
                                   m_userId);
    }

private:
    QPointer<SuitePubService> m_service;
    QString m_userId;
};

} // namespace

void SuitePubService::SetIntLen(QWidget *edit, int length)
{
    auto *hostEdit = qobject_cast<controls::HostEdit *>(edit);
    if (!hostEdit)
        return;
    hostEdit->setInputRule(controls::HostEdit::InputRule::Integer);
    hostEdit->setIntegerDigits(length > 0 ? length : kDefaultLength);
}

void SuitePubService::SetDblLen(QWidget *edit, int length, int decimals)
{
    auto *hostEdit = qobject_cast<controls::HostEdit *>(edit);
    if (!hostEdit)
        return;
    const int all = length > 0 ? length : kDefaultLength;
    const int after = std::max(decimals, 0);
    hostEdit->setInputRule(controls::HostEdit::InputRule::Decimal);
    hostEdit->setDecimalDigits(after);
    hostEdit->setIntegerDigits(all - (after > 0 ? after + 1 : 0));
}

bool SuitePubService::EdtSetVal(QWidget *edit, const QString &value)
{
    auto *hostEdit = qobject_cast<controls::HostEdit *>(edit);
    if (!hostEdit)
        return false;
    QString text = value;
    if (hostEdit->inputRule() != controls::HostEdit::InputRule::Text
        && !value.trimmed().isEmpty()) {
        bool ok = false;
        const double number = value.trimmed().toDouble(&ok);
        if (!ok)
            return false;
        const int decimals = hostEdit->inputRule() == controls::HostEdit::InputRule::Decimal
                                 ? hostEdit->decimalDigits()
                                 : 0;
        text = QString::number(number, 'f', decimals);
        const QString digits = text.section(u'.', 0, 0).remove(u'-');
        if (digits.size() > hostEdit->integerDigits())
            return false;
    }
    if (hostEdit->maxLength() > 0 && text.size() > hostEdit->maxLength())
        return false;
    if (text == hostEdit->text())
        return true;
    hostEdit->setText(text);
    emit hostEdit->edited();
    return true;
}

void SuitePubService::SetBadStrException(QWidget *edit)
{
    if (auto *hostEdit = qobject_cast<controls::HostEdit *>(edit))
        hostEdit->setForbiddenCharacters(QString());
}

int SuitePubService::GetStrLen(const QString &text, QWidget *label)
{
    const QFontMetrics metrics = label ? label->fontMetrics() : QFontMetrics(QFont());
    int width = metrics.horizontalAdvance(text);
    if (label) {
        const QMargins margins = label->contentsMargins();
        width += margins.left() + margins.right();
        if (auto *qlabel = qobject_cast<QLabel *>(label))
            width += 2 * qlabel->margin() + std::max(qlabel->indent(), 0);
    }
    // The margin: a caption that just fits gets no elided last pixel on another font hinting.
    return width + metrics.averageCharWidth();
}

void SuitePubService::MustInputColor(QWidget *label)
{
    if (!label)
        return;
    QPalette look = label->palette();
    look.setColor(QPalette::Active, QPalette::WindowText, controls::LinkLabel::linkColor());
    look.setColor(QPalette::Inactive, QPalette::WindowText, controls::LinkLabel::linkColor());
    label->setPalette(look);
}

void SuitePubService::SetUserDefEle(const QList<QWidget *> &labels, const QList<QWidget *> &editors)
{
    for (qsizetype i = 0; i < std::min(labels.size(), editors.size()); ++i) {
        auto *label = qobject_cast<QLabel *>(labels.at(i));
        QWidget *editor = editors.at(i);
        if (!label || !editor)
            continue;
        label->setBuddy(editor);
        // The caption as read out: a mnemonic's "&" is no part of it, "&&" stands for "&".
        QString name;
        const QString caption = label->text();
        for (qsizetype c = 0; c < caption.size(); ++c) {
            if (caption.at(c) == u'&' && ++c >= caption.size())
                break;
            name += caption.at(c);
        }
        editor->setAccessibleName(name);
    }
}

void SuitePubService::FrmOptInit(QWidget *window, QObject *login)
{
    if (!window || window->objectName().isEmpty())
        return;
    const QString userId = hostlogin::text(login, "cUserId");
    if (userId.isEmpty())
        return;
    const QString stored = GetRegEdit(geometryKey(window), kGeometryName, false, userId);
    if (!stored.isEmpty())
        window->restoreGeometry(QByteArray::fromBase64(stored.toLatin1()));
    // A window set up twice keeps its geometry once, for the operator named first.
    if (!window->findChild<QObject *>(kKeeperName, Qt::FindDirectChildrenOnly))
        new GeometryKeeper(window, this, userId); // owned by the window
}

void SuitePubService::keepGeometryNow(QWidget *window)
{
    auto *keeper = dynamic_cast<GeometryKeeper *>(
        window->findChild<QObject *>(kKeeperName, Qt::FindDirectChildrenOnly));
    if (!keeper)
        return;
    keeper->store(window);
    delete keeper; // the window is going: nothing is kept for it any longer
}

} // namespace perikon::suite
