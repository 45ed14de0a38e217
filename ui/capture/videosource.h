#pragma once

// The live video of the capture window: a camera or microscope, a video clip played in a loop,
// or a still picture sent again and again. The window asks of it only what a capture needs:
// connecting, the source and format dialogs when the source offers them, a preview at a rate,
// the frame size, the last frame as a 24-bit picture, and word of a failure.

#include <QImage>
#include <QObject>
#include <QString>

#include <memory>

class QTimer;
class QVideoFrame;
class QVideoSink;
class QWidget;

namespace warplon {

class VideoSource : public QObject
{
    Q_OBJECT

public:
    ~VideoSource() override;

    // Connects to the source. False, with the reason in `error`, when there is none to connect
    // to (no camera, a file that cannot be read).
    virtual bool Open(QString &error) = 0;
    // Stops the preview and lets the source go; the last frame is kept.
    virtual void Close() = 0;

    // Whether the source has a dialog to choose the device, and one to choose its picture
    // format; the dialogs are modal and keep the current choice when cancelled.
    virtual bool HasSourceDialog() const { return false; }
    virtual bool HasFormatDialog() const { return false; }
    virtual void ShowSourceDialog(QWidget *parent) { Q_UNUSED(parent); }
    virtual void ShowFormatDialog(QWidget *parent) { Q_UNUSED(parent); }

    // The preview: while it is on, PreviewFrame brings the last frame every `milliseconds`.
    void SetPreviewRate(int milliseconds);
    void SetPreview(bool on);
    bool previewOn() const { return m_previewOn; }

    // The last frame that came (24 bits, Format_BGR888), null before the first; its size is
    // the frame size of the video format.
    const QImage &lastFrame() const { return m_lastFrame; }
    QSize frameSize() const { return m_lastFrame.size(); }

signals:
    void PreviewFrame(const QImage &frame);
    // The source stopped with an error after it was opened (a device lost, a clip that is no
    // video); the capture is over.
    void Failed(const QString &message);

protected:
    explicit VideoSource(QObject *parent);

    // Starts or stops the frames of the source itself.
    virtual void StartFrames() = 0;
    virtual void StopFrames() = 0;

    // Keeps a frame as the last frame. Invalid frames, which a sink sends when it is detached,
    // are ignored so that the last picture survives the end of a capture.
    void TakeFrame(const QVideoFrame &frame);
    void TakeImage(const QImage &image);

private:
    QTimer *m_preview = nullptr;
    bool m_previewOn = false;
    QImage m_lastFrame;
};

// The texts a source shows: its failures and the titles of its dialogs.
struct VideoSourceTexts
{
    QString noCamera;    // no video device is connected
    QString unreadable;  // the file is missing or cannot be read; the file name follows
    QString sourceTitle; // title of the device dialog
    QString formatTitle; // title of the format dialog
};

// Whether a camera or microscope is connected.
bool HasCamera();

// The source a capture uses: a camera for an empty name; a still picture for a file Qt reads as
// an image; a video clip for any other file.
std::unique_ptr<VideoSource> MakeVideoSource(const QString &source, const VideoSourceTexts &texts,
                                             QObject *parent = nullptr);

} // namespace warplon
