#include "capture/videosource.h"

#include <QCamera>
#include <QCameraDevice>
#include <QCameraFormat>
#include <QFileInfo>
#include <QImageReader>
#include <QInputDialog>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoSink>

namespace warplon {

VideoSource::VideoSource(QObject *parent)
    : QObject(parent)
    , m_preview(new QTimer(this))
{
    m_preview->setInterval(66);
    connect(m_preview, &QTimer::timeout, this, [this] {
        if (!m_lastFrame.isNull())
            emit PreviewFrame(m_lastFrame);
    });
}

VideoSource::~VideoSource() = default;

void VideoSource::SetPreviewRate(int milliseconds)
{
    m_preview->setInterval(std::max(1, milliseconds));
}

void VideoSource::SetPreview(bool on)
{
    if (on == m_previewOn)
        return;
    m_previewOn = on;
    if (on) {
        StartFrames();
        m_preview->start();
    } else {
        m_preview->stop();
        StopFrames();
    }
}

void VideoSource::TakeFrame(const QVideoFrame &frame)
{
    if (frame.isValid())
        TakeImage(frame.toImage());
}

void VideoSource::TakeImage(const QImage &image)
{
    if (!image.isNull())
        m_lastFrame = image.convertToFormat(QImage::Format_BGR888);
}

namespace {

// A modal list to choose one entry from, starting at `current`; the index chosen, or -1 when
// the dialog was cancelled.
int chooseItem(QWidget *parent, const QString &title, const QStringList &names, int current)
{
    bool ok = false;
    const QString chosen
        = QInputDialog::getItem(parent, title, QString(), names, std::max(current, 0), false, &ok);
    return ok ? int(names.indexOf(chosen)) : -1;
}

// Frames of a QVideoSink, from a camera or a media player. The sink must be detached from its
// producer before either is destroyed: a player destroyed with its sink attached aborts the
// program at exit.
class SinkSource : public VideoSource
{
public:
    explicit SinkSource(QObject *parent)
        : VideoSource(parent)
        , m_sink(new QVideoSink(this))
    {
        connect(m_sink, &QVideoSink::videoFrameChanged, this,
                [this](const QVideoFrame &frame) { TakeFrame(frame); });
    }

protected:
    QVideoSink *m_sink;
};

// A camera or microscope through Qt Multimedia. Opening chooses the system's default device;
// the source dialog lists every device, the format dialog the picture formats of the chosen one.
class CameraSource : public SinkSource
{
public:
    CameraSource(const VideoSourceTexts &texts, QObject *parent)
        : SinkSource(parent)
        , m_texts(texts)
    {}
    ~CameraSource() override { Close(); }

    bool Open(QString &error) override
    {
        const QList<QCameraDevice> devices = QMediaDevices::videoInputs();
        if (devices.isEmpty()) {
            error = m_texts.noCamera;
            return false;
        }
        QCameraDevice device = QMediaDevices::defaultVideoInput();
        if (device.isNull())
            device = devices.front();
        m_camera = std::make_unique<QCamera>(device);
        m_session = std::make_unique<QMediaCaptureSession>();
        m_session->setCamera(m_camera.get());
        m_session->setVideoSink(m_sink);
        connect(m_camera.get(), &QCamera::errorOccurred, this,
                [this](QCamera::Error code, const QString &message) {
                    if (code != QCamera::NoError)
                        emit Failed(message);
                });
        return true;
    }

    void Close() override
    {
        SetPreview(false);
        if (m_session)
            m_session->setVideoSink(nullptr);
        m_session.reset();
        m_camera.reset();
    }

    bool HasSourceDialog() const override { return !QMediaDevices::videoInputs().isEmpty(); }
    bool HasFormatDialog() const override
    {
        return m_camera && !m_camera->cameraDevice().videoFormats().isEmpty();
    }

    void ShowSourceDialog(QWidget *parent) override
    {
        if (!m_camera)
            return;
        const QList<QCameraDevice> devices = QMediaDevices::videoInputs();
        QStringList names;
        for (const QCameraDevice &device : devices)
            names << device.description();
        const int chosen = chooseItem(parent, m_texts.sourceTitle, names,
                                      int(devices.indexOf(m_camera->cameraDevice())));
        if (chosen >= 0)
            m_camera->setCameraDevice(devices[chosen]);
    }

    void ShowFormatDialog(QWidget *parent) override
    {
        if (!m_camera)
            return;
        const QList<QCameraFormat> formats = m_camera->cameraDevice().videoFormats();
        QStringList names;
        for (const QCameraFormat &format : formats)
            names << QStringLiteral("%1 x %2, %3 fps")
                         .arg(format.resolution().width())
                         .arg(format.resolution().height())
                         .arg(double(format.maxFrameRate()), 0, 'g', 3);
        const int chosen = chooseItem(parent, m_texts.formatTitle, names,
                                      int(formats.indexOf(m_camera->cameraFormat())));
        if (chosen >= 0)
            m_camera->setCameraFormat(formats[chosen]);
    }

protected:
    void StartFrames() override
    {
        if (m_camera)
            m_camera->start();
    }
    void StopFrames() override
    {
        if (m_camera)
            m_camera->stop();
    }

private:
    VideoSourceTexts m_texts;
    std::unique_ptr<QCamera> m_camera;
    std::unique_ptr<QMediaCaptureSession> m_session;
};

// A video clip played in a loop, standing in for a camera: a recording of fabric under the
// microscope, or a test clip.
class ClipSource : public SinkSource
{
public:
    ClipSource(const QString &fileName, const VideoSourceTexts &texts, QObject *parent)
        : SinkSource(parent)
        , m_fileName(fileName)
        , m_texts(texts)
    {}
    ~ClipSource() override { Close(); }

    bool Open(QString &error) override
    {
        const QFileInfo file(m_fileName);
        if (!file.isFile() || !file.isReadable()) {
            error = m_texts.unreadable + QLatin1Char(' ') + m_fileName;
            return false;
        }
        m_player = std::make_unique<QMediaPlayer>();
        m_player->setVideoSink(m_sink);
        m_player->setLoops(QMediaPlayer::Infinite);
        connect(m_player.get(), &QMediaPlayer::errorOccurred, this,
                [this](QMediaPlayer::Error code, const QString &message) {
                    if (code != QMediaPlayer::NoError)
                        emit Failed(message);
                });
        m_player->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
        return true;
    }

    void Close() override
    {
        SetPreview(false);
        if (m_player)
            m_player->setVideoSink(nullptr);
        m_player.reset();
    }

protected:
    void StartFrames() override
    {
        if (m_player)
            m_player->play();
    }
    void StopFrames() override
    {
        if (m_player)
            m_player->pause();
    }

private:
    QString m_fileName;
    VideoSourceTexts m_texts;
    std::unique_ptr<QMediaPlayer> m_player;
};

// A picture file sent as every frame: a capture without any video device, for demonstrations
// and tests. It has no dialogs.
class StillSource : public VideoSource
{
public:
    StillSource(const QString &fileName, const VideoSourceTexts &texts, QObject *parent)
        : VideoSource(parent)
        , m_fileName(fileName)
        , m_texts(texts)
    {}

    bool Open(QString &error) override
    {
        QImageReader reader(m_fileName);
        const QImage image = reader.read();
        if (image.isNull()) {
            error = m_texts.unreadable + QLatin1Char(' ') + m_fileName;
            return false;
        }
        m_image = image;
        return true;
    }

    void Close() override { SetPreview(false); }

protected:
    void StartFrames() override { TakeImage(m_image); }
    void StopFrames() override {}

private:
    QString m_fileName;
    VideoSourceTexts m_texts;
    QImage m_image;
};

} // namespace

bool HasCamera()
{
    return !QMediaDevices::videoInputs().isEmpty();
}

std::unique_ptr<VideoSource> MakeVideoSource(const QString &source, const VideoSourceTexts &texts,
                                             QObject *parent)
{
    if (source.isEmpty())
        return std::make_unique<CameraSource>(texts, parent);
    if (QImageReader(source).canRead())
        return std::make_unique<StillSource>(source, texts, parent);
    return std::make_unique<ClipSource>(source, texts, parent);
}

} // namespace warplon
