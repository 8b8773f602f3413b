#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace perikon {
class UiHelper;
}

namespace perikon::suite::batch {

// The batch control's words and messages through the host's UI helper: resource texts in the
// session language, and the host's message box (which scripts answer when nobody is at the
// screen). Without a UI helper in the host registry a text reads as its key.
class BatchTexts
{
public:
    BatchTexts();
    ~BatchTexts();

    QString text(const char *key) const;
    QString format(const char *key, const QStringList &args) const;
    // Tells the operator why nothing happened (an OK box with a warning sign).
    void tell(const QString &message) const;

private:
    std::unique_ptr<UiHelper> m_helper;
    QString m_language;
};

} // namespace perikon::suite::batch
