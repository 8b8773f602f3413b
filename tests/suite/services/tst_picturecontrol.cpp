// The host picture control of the contact card: a file the operator chooses is shown and handed
// back byte for byte, files it cannot take are refused with a message and change nothing, and a
// stored picture is read from its recordset row.

#include "perikon/data/db/Recordset.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/host/contract/PictureControl.h"
#include "suite/MessageBoxScript.h"
#include "suite/SuiteLogin.h"
#include "suite/SuiteServices.h"
#include "support/FailOnWarnings.h"
#include "support/SuiteFixture.h"

#include <QBuffer>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace perikon;

namespace {

// A picture with some detail, encoded in `format`.
QByteArray pictureBytes(const char *format, int width = 48, int height = 32)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height, Qt::darkBlue);
    painter.drawEllipse(QRect(4, 4, width - 8, height - 8));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// Qt reads GIF but does not write it: the smallest GIF there is, one pixel.
QByteArray gifBytes()
{
    static const char gif[] = "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00"
                              "!\xf9\x04\x01\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00"
                              "\x01\x00\x00\x02\x02"
                              "D\x01\x00;";
    return QByteArray(gif, sizeof(gif) - 1);
}

// A PNG of random pixels: it does not compress, so its size follows its dimensions.
QByteArray noisePng(int side)
{
    QImage image(side, side, QImage::Format_RGB32);
    QRandomGenerator random(42);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x)
            image.setPixel(x, y, random.generate() | 0xff000000u);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray decodedContent(const PictureControl &control)
{
    QString content;
    bool isContent = false;
    if (!control.GetPicture(content, isContent) || !isContent)
        return QByteArray("<no change>");
    return QByteArray::fromBase64(content.toLatin1());
}

bool hasChange(const PictureControl &control)
{
    QString content;
    bool isContent = false;
    return control.GetPicture(content, isContent);
}

} // namespace

class tst_PictureControl : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startsEmptyWithClearDisabled();
    void chosenFileIsHandedBackByteForByte_data();
    void chosenFileIsHandedBackByteForByte();
    void refusedFileChangesNothing_data();
    void refusedFileChangesNothing();
    void sizeLimitIsInclusive_data();
    void sizeLimitIsInclusive();
    void operatorClearsThePicture();
    void clearingNothingIsNoChange();
    void programClearAndSaveForgetTheChange_data();
    void programClearAndSaveForgetTheChange();
    void loadsTheStoredPictureOfTheRow_data();
    void loadsTheStoredPictureOfTheRow();
    void fileDialogChoosesThroughTheSameChecks();
    void buttonsSpeakTheSessionLanguage_data();
    void buttonsSpeakTheSessionLanguage();

private:
    // A new control from the registry, as the card creates it.
    std::unique_ptr<PictureControl> newControl(const QString &sizeLimit = QStringLiteral("1024"));
    QString writeFile(const QString &name, const QByteArray &bytes);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_PictureControl::initTestCase()
{
    suite::registerServices();
}

void tst_PictureControl::init()
{
    testing::failOnUnexpectedWarnings();
    suite::setSessionLanguage(QStringLiteral("en-US"));
    suite::MessageBoxScript::takeShownMessages();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_PictureControl::cleanup()
{
    m_dir.reset();
}

std::unique_ptr<PictureControl> tst_PictureControl::newControl(const QString &sizeLimit)
{
    auto control = HostRegistry::createAs<PictureControl>(QStringLiteral("PictureControl"));
    if (control) {
        control->Init(nullptr, sizeLimit);
        control->resize(200, 240);
        control->show();
    }
    return control;
}

QString tst_PictureControl::writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

void tst_PictureControl::startsEmptyWithClearDisabled()
{
    const auto control = newControl();
    QVERIFY(control);
    QVERIFY(!control->HasPicture());
    QVERIFY(!hasChange(*control));
    QCOMPARE(control->PictureType(), QString());
    auto *choose = control->findChild<QPushButton *>(QStringLiteral("Command1_0"));
    auto *clear = control->findChild<QPushButton *>(QStringLiteral("Command1_1"));
    QVERIFY(choose && clear);
    QVERIFY(choose->isEnabled());
    QVERIFY(!clear->isEnabled());
}

void tst_PictureControl::chosenFileIsHandedBackByteForByte_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("type");

    QTest::newRow("png") << "me.png" << pictureBytes("PNG") << "png";
    QTest::newRow("jpeg") << "me.jpg" << pictureBytes("JPEG") << "jpeg";
    QTest::newRow("bmp") << "me.bmp" << pictureBytes("BMP") << "bmp";
    QTest::newRow("gif") << "me.gif" << gifBytes() << "gif";
    QTest::newRow("type by content, not by name") << "me.jpg" << pictureBytes("PNG") << "png";
    QTest::newRow("no extension") << "portrait" << pictureBytes("BMP") << "bmp";
    QTest::newRow("bytes after the image are kept")
        << "padded.png" << pictureBytes("PNG") + QByteArray(300, '\0') << "png";
}

void tst_PictureControl::chosenFileIsHandedBackByteForByte()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, type);
    QVERIFY2(!bytes.isEmpty(), "the image format is not available");
    const QString path = writeFile(fileName, bytes);
    QVERIFY(!path.isEmpty());

    const auto control = newControl();
    QSignalSpy changed(control.get(), &PictureControl::pictureChanged);
    QVERIFY(control->ChooseFile(path));
    QVERIFY(control->HasPicture());
    QString content;
    bool isContent = false;
    QVERIFY(control->GetPicture(content, isContent));
    QVERIFY(isContent);
    QCOMPARE(QByteArray::fromBase64(content.toLatin1()), bytes);
    QCOMPARE(control->PictureType(), type);
    QCOMPARE(changed.count(), 1);
    QVERIFY(control->findChild<QPushButton *>(QStringLiteral("Command1_1"))->isEnabled());
    QCOMPARE(suite::MessageBoxScript::takeShownMessages(), QStringList());
}

void tst_PictureControl::refusedFileChangesNothing_data()
{
    QTest::addColumn<QString>("file"); // "missing", "folder", or the name of a file written
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("sizeLimit");
    QTest::addColumn<bool>("savedBefore"); // the picture shown before is the stored one
    QTest::addColumn<QStringList>("messageParts");

    const QByteArray large = noisePng(40);
    QTest::newRow("too large") << "large.png" << large << "1" << true
                               << QStringList{"large.png", "1 KB"};
    QTest::newRow("too large, unsaved picture before")
        << "large.png" << large << "2" << false << QStringList{"large.png", "2 KB"};
    QTest::newRow("missing file") << "missing" << QByteArray() << "1024" << true
                                  << QStringList{"nothing-here.png", "cannot be read",
                                                 "does not exist"};
    QTest::newRow("folder") << "folder" << QByteArray() << "1024" << true
                            << QStringList{"a-folder", "cannot be read", "is a folder"};
    QTest::newRow("text file") << "notes.png" << QByteArray("not a picture at all\n") << "1024"
                               << true << QStringList{"notes.png", "not a picture"};
    QTest::newRow("empty file") << "empty.gif" << QByteArray() << "1024" << false
                                << QStringList{"empty.gif", "not a picture"};
    QTest::newRow("truncated picture") << "cut.png" << pictureBytes("PNG").left(40) << "1024"
                                       << true << QStringList{"cut.png", "not a picture"};
}

void tst_PictureControl::refusedFileChangesNothing()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, sizeLimit);
    QFETCH(bool, savedBefore);
    QFETCH(QStringList, messageParts);
    if (file == QLatin1String("large.png"))
        QVERIFY(bytes.size() > sizeLimit.toInt() * 1024);

    const QByteArray before = pictureBytes("PNG", 20, 20);
    const auto control = newControl(sizeLimit);
    QVERIFY(control->ChooseFile(writeFile(QStringLiteral("before.png"), before)));
    if (savedBefore)
        control->MarkSaved();

    QString path;
    if (file == QLatin1String("missing")) {
        path = m_dir->filePath(QStringLiteral("nothing-here.png"));
    } else if (file == QLatin1String("folder")) {
        path = m_dir->filePath(QStringLiteral("a-folder"));
        QVERIFY(QDir().mkdir(path));
    } else {
        path = writeFile(file, bytes);
        QVERIFY(!path.isEmpty());
    }
    suite::MessageBoxScript::takeShownMessages();
    QSignalSpy changed(control.get(), &PictureControl::pictureChanged);

    QVERIFY(!control->ChooseFile(path));
    const QStringList messages = suite::MessageBoxScript::takeShownMessages();
    QCOMPARE(messages.size(), 1);
    for (const QString &part : messageParts)
        QVERIFY2(messages.first().contains(part), qPrintable(messages.first()));
    QCOMPARE(changed.count(), 0);
    QVERIFY(control->HasPicture());
    QCOMPARE(control->PictureType(), QStringLiteral("png"));
    QCOMPARE(hasChange(*control), !savedBefore);
    if (!savedBefore)
        QCOMPARE(decodedContent(*control), before);
}

void tst_PictureControl::sizeLimitIsInclusive_data()
{
    QTest::addColumn<QString>("sizeLimit");
    QTest::addColumn<int>("fileSize");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("exactly the limit") << "1" << 1024 << true;
    QTest::newRow("one byte over") << "1" << 1025 << false;
    QTest::newRow("blanks around the limit") << " 2 " << 2048 << true;
    QTest::newRow("over a larger limit") << "2" << 2049 << false;
    QTest::newRow("no limit given") << "" << 50000 << true;
    QTest::newRow("zero sets no limit") << "0" << 50000 << true;
    QTest::newRow("text sets no limit") << "none" << 50000 << true;
}

void tst_PictureControl::sizeLimitIsInclusive()
{
    QFETCH(QString, sizeLimit);
    QFETCH(int, fileSize);
    QFETCH(bool, accepted);
    // A small picture padded to the size wanted: readers stop at the image's end.
    QByteArray bytes = pictureBytes("PNG", 8, 8);
    QVERIFY(bytes.size() < fileSize);
    bytes.append(QByteArray(fileSize - bytes.size(), '\0'));
    const auto control = newControl(sizeLimit);
    QCOMPARE(control->ChooseFile(writeFile(QStringLiteral("sized.png"), bytes)), accepted);
    QCOMPARE(control->HasPicture(), accepted);
    QCOMPARE(suite::MessageBoxScript::takeShownMessages().size(), accepted ? 0 : 1);
    if (accepted)
        QCOMPARE(decodedContent(*control), bytes);
}

void tst_PictureControl::operatorClearsThePicture()
{
    const auto control = newControl();
    QVERIFY(control->ChooseFile(writeFile(QStringLiteral("a.png"), pictureBytes("PNG"))));
    control->MarkSaved();
    QSignalSpy changed(control.get(), &PictureControl::pictureChanged);
    auto *clear = control->findChild<QPushButton *>(QStringLiteral("Command1_1"));
    QVERIFY(clear->isEnabled());

    QTest::mouseClick(clear, Qt::LeftButton);
    QCOMPARE(changed.count(), 1);
    QVERIFY(!control->HasPicture());
    QCOMPARE(control->PictureType(), QString());
    QVERIFY(!clear->isEnabled());
    QString content = QStringLiteral("stale");
    bool isContent = false;
    QVERIFY(control->GetPicture(content, isContent));
    QVERIFY(isContent);
    QCOMPARE(content, QString());

    control->MarkSaved();
    QVERIFY(!hasChange(*control));
    QVERIFY(!control->HasPicture());
}

void tst_PictureControl::clearingNothingIsNoChange()
{
    const auto control = newControl();
    QSignalSpy changed(control.get(), &PictureControl::pictureChanged);
    control->ClearByOperator();
    QCOMPARE(changed.count(), 0);
    QVERIFY(!hasChange(*control));
}

void tst_PictureControl::programClearAndSaveForgetTheChange_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("shown");

    QTest::newRow("saved") << "MarkSaved" << true;
    QTest::newRow("cleared") << "Clear" << false;
    QTest::newRow("loaded from nothing") << "LoadFromRecordset" << false;
}

void tst_PictureControl::programClearAndSaveForgetTheChange()
{
    QFETCH(QString, step);
    QFETCH(bool, shown);
    const auto control = newControl();
    QVERIFY(control->ChooseFile(writeFile(QStringLiteral("a.gif"), gifBytes())));
    QVERIFY(hasChange(*control));
    QSignalSpy changed(control.get(), &PictureControl::pictureChanged);
    if (step == QLatin1String("MarkSaved"))
        control->MarkSaved();
    else if (step == QLatin1String("Clear"))
        control->Clear();
    else
        QVERIFY(!control->LoadFromRecordset(nullptr));
    QVERIFY(!hasChange(*control));
    QCOMPARE(control->HasPicture(), shown);
    QCOMPARE(control->PictureType(), shown ? QStringLiteral("gif") : QString());
    QCOMPARE(control->findChild<QPushButton *>(QStringLiteral("Command1_1"))->isEnabled(), shown);
    QCOMPARE(changed.count(), 0);
}

void tst_PictureControl::loadsTheStoredPictureOfTheRow_data()
{
    QTest::addColumn<QString>("select");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QString>("type");

    QTest::newRow("stored picture")
        << "select Picture from AA_Picture where cGUID=N'png'" << true << "png";
    QTest::newRow("stored jpeg, all columns")
        << "select * from AA_Picture where cGUID=N'jpeg'" << true << "jpeg";
    QTest::newRow("no picture") << "select Picture from AA_Picture where cGUID=N'null'" << false
                                << "";
    QTest::newRow("bytes that are no picture")
        << "select Picture from AA_Picture where cGUID=N'junk'" << false << "";
    QTest::newRow("no row") << "select Picture from AA_Picture where cGUID=N'none'" << false << "";
    QTest::newRow("no picture column")
        << "select cGUID from AA_Picture where cGUID=N'png'" << false << "";
    QTest::newRow("not a recordset") << "" << false << "";
}

void tst_PictureControl::loadsTheStoredPictureOfTheRow()
{
    QFETCH(QString, select);
    QFETCH(bool, loaded);
    QFETCH(QString, type);

    SuiteFixture fixture;
    const QString error = fixture.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const QMap<QString, QVariant> rows{{QStringLiteral("png"), pictureBytes("PNG")},
                                       {QStringLiteral("jpeg"), pictureBytes("JPEG")},
                                       {QStringLiteral("junk"), QByteArray("\x01\x02junk", 6)},
                                       {QStringLiteral("null"), QVariant()}};
    {
        // Written as the save steps store a picture, so the column holds what they write.
        db::Recordset rs;
        rs.setCursorLocation(db::Recordset::UseClient);
        rs.open(QStringLiteral("SELECT top 0 * FROM AA_Picture"), &fixture.connection(),
                db::Recordset::OpenKeyset, db::Recordset::LockOptimistic);
        for (auto it = rows.cbegin(); it != rows.cend(); ++it) {
            rs.addNew();
            rs.setValue(QStringLiteral("cGUID"), it.key());
            rs.setValue(QStringLiteral("Picture"), it.value());
            rs.setValue(QStringLiteral("cTableName"), QStringLiteral("crm_contact"));
            rs.update();
        }
    }

    // A chosen picture not yet saved: loading a row replaces it and forgets the change.
    const auto control = newControl();
    QVERIFY(control->ChooseFile(writeFile(QStringLiteral("a.bmp"), pictureBytes("BMP"))));
    QSignalSpy changed(control.get(), &PictureControl::pictureChanged);

    db::Recordset rs;
    QObject notARecordset;
    QObject *source = &notARecordset;
    if (!select.isEmpty()) {
        rs.open(select, &fixture.connection(), db::Recordset::OpenStatic,
                db::Recordset::LockReadOnly);
        source = &rs;
    }
    QCOMPARE(control->LoadFromRecordset(source), loaded);
    QCOMPARE(control->HasPicture(), loaded);
    QCOMPARE(control->PictureType(), type);
    QVERIFY(!hasChange(*control));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(control->findChild<QPushButton *>(QStringLiteral("Command1_1"))->isEnabled(), loaded);
    QCOMPARE(suite::MessageBoxScript::takeShownMessages(), QStringList());

    // The operator clears the loaded picture: the change is an empty picture.
    if (loaded) {
        control->ClearByOperator();
        QCOMPARE(decodedContent(*control), QByteArray());
    }
}

void tst_PictureControl::fileDialogChoosesThroughTheSameChecks()
{
    const QByteArray bytes = pictureBytes("PNG");
    const QString picture = writeFile(QStringLiteral("chosen.png"), bytes);
    const QString text = writeFile(QStringLiteral("chosen.txt"), QByteArray("text"));
    const auto control = newControl();
    QSignalSpy changed(control.get(), &PictureControl::pictureChanged);

    const auto choose = [&control](const QString &path) -> QFileDialog * {
        QTest::mouseClick(control->findChild<QPushButton *>(QStringLiteral("Command1_0")),
                          Qt::LeftButton);
        auto *dialog = control->findChild<QFileDialog *>(QStringLiteral("PicFileDialog"));
        if (!dialog || !dialog->isVisible())
            return nullptr;
        dialog->selectFile(path);
        static_cast<QDialog *>(dialog)->accept(); // as its Open button does
        return dialog;
    };

    QFileDialog *dialog = choose(text);
    QVERIFY(dialog);
    // Nobody sits at an offscreen screen: the dialog is Qt's own, which a script can answer.
    QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
    QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(suite::MessageBoxScript::takeShownMessages().size(), 1);
    QVERIFY(!control->HasPicture());

    QCOMPARE(choose(picture), dialog);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(decodedContent(*control), bytes);
    QCOMPARE(suite::MessageBoxScript::takeShownMessages(), QStringList());
}

void tst_PictureControl::buttonsSpeakTheSessionLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("choose");
    QTest::addColumn<QString>("clear");

    QTest::newRow("en-US") << "en-US"
                           << "Choose..."
                           << "Clear";
    QTest::newRow("zh-CN") << "zh-CN" << QStringLiteral("选择…") << QStringLiteral("清除");
}

void tst_PictureControl::buttonsSpeakTheSessionLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, choose);
    QFETCH(QString, clear);
    suite::setSessionLanguage(language);
    const auto control = newControl();
    QCOMPARE(control->findChild<QPushButton *>(QStringLiteral("Command1_0"))->text(), choose);
    QCOMPARE(control->findChild<QPushButton *>(QStringLiteral("Command1_1"))->text(), clear);
}

QTEST_MAIN(tst_PictureControl)
#include "tst_picturecontrol.moc"
