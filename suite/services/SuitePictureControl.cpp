#include "suite/services/SuitePictureControl.h"

#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/host/contract/UiHelper.h"
#include "suite/MessageBoxScript.h"
#include "suite/ResourceTexts.h"
#include "suite/SuiteLogin.h"
#include "suite/services/SuiteUiHelper.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>

namespace perikon::suite {
namespace {

QString text(const char *key)
{
    return ResourceTexts::text(sessionLanguage(), QString::fromLatin1(key));
}

QString formatted(const char *key, const QStringList &args)
{
    return ResourceTexts::format(sessionLanguage(), QString::fromLatin1(key), args);
}

struct DecodedPicture
{
    QImage image;
    QString type;
};

// The image in `bytes` and its format, judged by the content rather than a file name.
std::optional<DecodedPicture> decode(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return std::nullopt;
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    DecodedPicture picture;
    // Asked before reading: afterwards the reader no longer knows what it read.
    picture.type = QString::fromLatin1(reader.format()).toLower();
    picture.image = reader.read();
    if (picture.image.isNull())
        return std::nullopt;
    return picture;
}

QString imageFilter()
{
    QStringList patterns;
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        patterns.append(QStringLiteral("*.") + QString::fromLatin1(format).toLower());
    patterns.removeDuplicates();
    return formatted("K2.Suite.Picture.Filter", {patterns.join(QLatin1Char(' '))});
}

} // namespace

namespace internal {

// The picture scaled to the frame, its aspect kept, or the placeholder text when there is none.
class PictureView : public QFrame
{
public:
    explicit PictureView(QWidget *parent)
        : QFrame(parent)
    {
        setFrameShape(QFrame::StyledPanel);
        setFrameShadow(QFrame::Sunken);
        setMinimumSize(80, 80);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

    void setPicture(const QImage &image)
    {
        m_picture = QPixmap::fromImage(image);
        m_scaled = {};
        update();
    }

    QSize sizeHint() const override { return {160, 160}; }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QFrame::paintEvent(event);
        QPainter painter(this);
        const QRect area = contentsRect().adjusted(2, 2, -2, -2);
        if (m_picture.isNull()) {
            painter.setPen(palette().color(QPalette::PlaceholderText));
            painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap,
                             text("K2.Suite.Picture.Empty"));
            return;
        }
        // Scaled once per size: a large photo would otherwise be scaled on every repaint.
        const QSize fitted = m_picture.size().scaled(area.size(), Qt::KeepAspectRatio);
        if (m_scaled.size() != fitted)
            m_scaled = m_picture.scaled(fitted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QRect target(QPoint(), m_scaled.size());
        target.moveCenter(area.center());
        painter.drawPixmap(target, m_scaled);
    }

private:
    QPixmap m_picture;
    QPixmap m_scaled;
};

} // namespace internal

SuitePictureControl::SuitePictureControl(QWidget *parent)
    : PictureControl(parent)
    , m_view(new internal::PictureView(this))
    , m_choose(new QPushButton(text("K2.Suite.Picture.Choose"), this))
    , m_clear(new QPushButton(text("K2.Suite.Picture.Clear"), this))
{
    m_choose->setObjectName(QStringLiteral("Command1_0"));
    m_clear->setObjectName(QStringLiteral("Command1_1"));
    connect(m_choose, &QPushButton::clicked, this, &SuitePictureControl::openFileDialog);
    connect(m_clear, &QPushButton::clicked, this, &SuitePictureControl::ClearByOperator);

    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(m_choose);
    buttons->addWidget(m_clear);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);

    showEmpty();
}

SuitePictureControl::~SuitePictureControl() = default;

void SuitePictureControl::Init(QObject *, const QString &sizeLimit)
{
    // The suite's control asks the public service for nothing; only the limit matters here.
    bool ok = false;
    const qint64 limit = sizeLimit.trimmed().toLongLong(&ok);
    m_sizeLimitKb = ok && limit > 0 ? limit : 0;
}

void SuitePictureControl::Clear()
{
    showEmpty();
    m_changedByOperator = false;
}

bool SuitePictureControl::LoadFromRecordset(QObject *recordset)
{
    Clear();
    auto *rs = qobject_cast<db::Recordset *>(recordset);
    if (!rs || rs->state() == 0)
        return false;
    try {
        if (rs->bof() || rs->eof() || !rs->hasField(QStringLiteral("Picture")))
            return false;
        const QVariant value = rs->value(QStringLiteral("Picture"));
        if (value.isNull())
            return false;
        const QByteArray bytes = value.toByteArray();
        const std::optional<DecodedPicture> picture = decode(bytes);
        if (!picture)
            return false;
        display(bytes, picture->image, picture->type);
        return true;
    } catch (const db::DbError &) {
        return false; // a row whose picture cannot be read shows none, as a row without one
    }
}

bool SuitePictureControl::HasPicture() const
{
    return !m_bytes.isEmpty();
}

bool SuitePictureControl::GetPicture(QString &content, bool &isContent) const
{
    if (!m_changedByOperator)
        return false;
    content = QString::fromLatin1(m_bytes.toBase64());
    isContent = true;
    return true;
}

QString SuitePictureControl::PictureType() const
{
    return m_type;
}

void SuitePictureControl::MarkSaved()
{
    m_changedByOperator = false;
}

bool SuitePictureControl::ChooseFile(const QString &path)
{
    const QString shownPath = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const QFileInfo info(path);
        QString reason = file.errorString();
        if (!info.exists())
            reason = text("K2.Suite.Picture.NoSuchFile");
        else if (info.isDir())
            reason = text("K2.Suite.Picture.IsFolder");
        tell(formatted("K2.Suite.Picture.Unreadable", {shownPath, reason}));
        return false;
    }
    if (m_sizeLimitKb > 0 && file.size() > m_sizeLimitKb * 1024) {
        tell(formatted("K2.Suite.Picture.TooLarge", {shownPath, QString::number(m_sizeLimitKb)}));
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        tell(formatted("K2.Suite.Picture.Unreadable", {shownPath, file.errorString()}));
        return false;
    }
    const std::optional<DecodedPicture> picture = decode(bytes);
    if (!picture) {
        tell(formatted("K2.Suite.Picture.NotImage", {shownPath}));
        return false;
    }
    display(bytes, picture->image, picture->type);
    m_changedByOperator = true;
    emit pictureChanged();
    return true;
}

void SuitePictureControl::ClearByOperator()
{
    if (!HasPicture())
        return;
    showEmpty();
    m_changedByOperator = true;
    emit pictureChanged();
}

void SuitePictureControl::openFileDialog()
{
    if (!m_fileDialog) {
        m_fileDialog = new QFileDialog(this, text("K2.Suite.Picture.DialogTitle"));
        m_fileDialog->setObjectName(QStringLiteral("PicFileDialog"));
        m_fileDialog->setFileMode(QFileDialog::ExistingFile);
        m_fileDialog->setAcceptMode(QFileDialog::AcceptOpen);
        m_fileDialog->setNameFilters({imageFilter(), text("K2.Suite.Picture.AllFiles")});
        connect(m_fileDialog, &QFileDialog::fileSelected, this, &SuitePictureControl::ChooseFile);
    }
    // Nobody at the screen: Qt's own dialog, which a script can answer; never the platform's.
    m_fileDialog->setOption(QFileDialog::DontUseNativeDialog, !MessageBoxScript::interactive());
    // Window-modal and without a nested event loop, so the caller's loop keeps running.
    m_fileDialog->open();
}

void SuitePictureControl::display(const QByteArray &bytes, const QImage &image, const QString &type)
{
    m_bytes = bytes;
    m_type = type;
    m_view->setPicture(image);
    m_clear->setEnabled(true);
}

void SuitePictureControl::showEmpty()
{
    m_bytes.clear();
    m_type.clear();
    m_view->setPicture({});
    m_clear->setEnabled(false);
}

void SuitePictureControl::tell(const QString &message) const
{
    SuiteUiHelper().ShowMsgBox(message, MsgBoxStyle::OKOnly | MsgBoxStyle::Exclamation,
                               text("K2.Suite.Picture.Title"), sessionLanguage(), 0, 0);
}

} // namespace perikon::suite
