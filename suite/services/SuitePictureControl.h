#pragma once

#include "perikon/host/contract/PictureControl.h"

#include <QByteArray>
#include <QString>

class QFileDialog;
class QImage;
class QPushButton;

namespace perikon::suite {

namespace internal {
class PictureView;
}

// The suite's picture control ("PictureControl"): the picture scaled to fit, and under it the
// buttons "Command1_0" (choose a file in the dialog "PicFileDialog") and "Command1_1" (clear).
// It keeps the chosen file's bytes as they are, so what is saved is the file itself. A size
// limit that is not a positive number of KB sets none.
class SuitePictureControl : public PictureControl
{
    Q_OBJECT
public:
    explicit SuitePictureControl(QWidget *parent = nullptr);
    ~SuitePictureControl() override;

    void Init(QObject *pubService, const QString &sizeLimit) override;
    void Clear() override;
    bool LoadFromRecordset(QObject *recordset) override;
    bool HasPicture() const override;
    bool GetPicture(QString &content, bool &isContent) const override;
    QString PictureType() const override;
    void MarkSaved() override;
    bool ChooseFile(const QString &path) override;
    void ClearByOperator() override;

private:
    void openFileDialog();
    // Shows a decoded picture and keeps the bytes it came from.
    void display(const QByteArray &bytes, const QImage &image, const QString &type);
    void showEmpty();
    void tell(const QString &message) const;

    internal::PictureView *m_view;
    QPushButton *m_choose;
    QPushButton *m_clear;
    QFileDialog *m_fileDialog = nullptr;
    qint64 m_sizeLimitKb = 0; // 0: no limit
    QByteArray m_bytes;
    QString m_type;
    bool m_changedByOperator = false;
};

} // namespace perikon::suite
