#pragma once

#include <QString>
#include <QWidget>

namespace perikon {

// A host widget that shows one picture and lets the operator choose or clear it
// ("PictureControl").
class PictureControl : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

    // pubService: the host's PubService (may be null); sizeLimit: the largest file accepted, in
    // KB, as text ("1024").
    virtual void Init(QObject *pubService, const QString &sizeLimit) = 0;
    // Shows nothing; the operator has changed nothing since.
    virtual void Clear() = 0;
    // Shows the bytes of column "Picture" of the current row of `recordset` (a
    // perikon::db::Recordset*); false when the row has no readable picture (the control is then
    // empty). The operator has changed nothing since.
    virtual bool LoadFromRecordset(QObject *recordset) = 0;
    // Whether a picture is shown.
    virtual bool HasPicture() const = 0;
    // Only after the operator chose or cleared a picture since the last Clear/Load/MarkSaved:
    // true, with `content` = base64 of the file's bytes (empty after a clear) and `isContent` =
    // true. Otherwise false.
    virtual bool GetPicture(QString &content, bool &isContent) const = 0;
    // The type of the chosen picture: the image format in lower case ("png", "jpeg", "bmp",
    // "gif"); empty when none.
    virtual QString PictureType() const = 0;
    // After a save: what is shown becomes the stored state (GetPicture answers false again).
    virtual void MarkSaved() = 0;
    // What the operator's choose button does after the file dialog: read `path`, check it, show
    // it. False (with the message shown to the operator and nothing changed) for a file that
    // cannot be read, is larger than the limit, or is not an image Qt can decode.
    virtual bool ChooseFile(const QString &path) = 0;
    // What the operator's clear button does.
    virtual void ClearByOperator() = 0;

signals:
    // The operator chose or cleared a picture.
    void pictureChanged();
};

} // namespace perikon
