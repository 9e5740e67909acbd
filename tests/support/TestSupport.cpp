#include "TestSupport.h"

#include "app/FormRegistry.h"
#include "app/Module1.h"
#include "security/PasswordStore.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QLocale>
#include <QMouseEvent>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QWidget>
#include <QtEndian>

QByteArray EncodedImage(const QImage &image, const char *format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QByteArray PngClaiming(quint32 width, quint32 height) {
    QByteArray png = EncodedImage(QImage(1, 1, QImage::Format_RGB32), "PNG");
    qToBigEndian(width, png.data() + 16); // IHDR: length, type, width, height, ..., CRC
    qToBigEndian(height, png.data() + 20);
    quint32 crc = 0xFFFFFFFF;
    for (const char byte : QByteArrayView(png).sliced(12, 17)) {
        crc ^= uchar(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    qToBigEndian(~crc, png.data() + 29);
    return png;
}

QList<QTextImageFormat> Pictures(const QTextDocument &document) {
    QList<QTextImageFormat> pictures;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                pictures << it.fragment().charFormat().toImageFormat();
    return pictures;
}

void RecordingCuePlayer::Play(const QString &path) {
    m_played->append(path);
}

void RecordingMessageBox::ShowCritical(const QString &title, const QString &text) {
    m_shown->append(title + QLatin1Char('|') + text);
}

TestRun::TestRun() {
    Module1::Reset();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Module1::SetAppPath(m_folder.path());
    Module1::SetCuePlayer(std::make_unique<RecordingCuePlayer>(&m_played));
    Module1::SetMessageBox(std::make_unique<RecordingMessageBox>(&m_messages));
    auto dialogs = std::make_unique<ScriptedDialogs>();
    m_dialogs = dialogs.get();
    CommonDialog::SetPresenter(std::move(dialogs));
    QObject::connect(&Module1::Forms(), &FormRegistry::LastUnloaded, &Module1::Forms(),
                     [this](int code) {
                         m_ended = true;
                         m_exitCode = code;
                     });
}

TestRun::~TestRun() {
    QObject::disconnect(&Module1::Forms(), &FormRegistry::LastUnloaded, nullptr, nullptr);
    Module1::Reset();
    ProcessEvents();
    CommonDialog::SetPresenter(nullptr);
}

QString TestRun::FilePath(const QString &name) const {
    return m_folder.filePath(name);
}

void TestRun::WriteFile(const QString &name, const QByteArray &bytes) const {
    QFile file(FilePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray TestRun::ReadFile(const QString &name) const {
    QFile file(FilePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void TestRun::SetPasswords(const QString &first, const QString &second) const {
    PasswordStore::WriteStoredPassword(FilePath(QLatin1String(PasswordStore::kFirstFile)), first);
    PasswordStore::WriteStoredPassword(FilePath(QLatin1String(PasswordStore::kSecondFile)), second);
}

QStringList TestRun::Cues() const {
    QStringList texts;
    for (const QString &path : m_played) {
        QString text = path.mid(m_folder.path().size());
        texts.append(text.replace(QLatin1Char('/'), QLatin1Char('\\')));
    }
    return texts;
}

void TestRun::ProcessEvents() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void TestRun::MovePointerOver(QWidget *control, QPoint at) {
    const QPoint point = at == QPoint(-1, -1) ? control->rect().center() : at;
    QMouseEvent move(QEvent::MouseMove, point, control->mapToGlobal(point), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(control, &move);
}
