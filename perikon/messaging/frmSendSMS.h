#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace perikon {

namespace controls {
class RefEdit;
}

// The SMS window the list opens for its current contact: recipients (typed, or chosen from the
// contacts the operator may write), the sender's name and one line of text, handed to
// Common::sendSMS with the gateway configuration of the UI helper.
class frmSendSMS : public QDialog
{
    Q_OBJECT
public:
    explicit frmSendSMS(QWidget *parent = nullptr);
    ~frmSendSMS() override;

    // What the window last read from its fields, trimmed.
    QString recipients() const { return m_recipients; }
    QString sender() const { return m_sender; }
    QString text() const { return m_text; }

    // Appends mobile numbers to the recipients box and rebuilds it without repeats.
    void appendNumbers(const QStringList &numbers);

    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildUi();
    void load();
    void pickFromLookup();
    void pickOneContact();
    void send();
    void unload();

    controls::RefEdit *m_mobile = nullptr;
    QToolButton *m_pick = nullptr;
    QLineEdit *m_senderEdit = nullptr;
    QPlainTextEdit *m_opinion = nullptr;
    QPushButton *m_send = nullptr;
    QPushButton *m_exit = nullptr;
    QPushButton *m_help = nullptr;
    QString m_recipients;
    QString m_sender;
    QString m_text;
    bool m_sending = false;
    bool m_unloaded = false;
};

} // namespace perikon
