#pragma once

#include "capture/calibration.h"
#include "capture/captureoverlay.h"
#include "capture/measuresession.h"
#include "capture/stitchgrid.h"
#include "knit/records.h"
#include "text/stringtable.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QScrollArea;
class QToolButton;

namespace warplon {

class DesignHost;
class TFloatingWindow;
class VideoSource;

// The capture window: takes a still picture of real fabric from a camera or microscope,
// calibrates it in micrometres per pixel, measures points, lengths, heights and areas on it, or
// lays a grid of stitch points over it and draws the current bar's lapping through the grid.
class TCaptureForm : public QWidget
{
    Q_OBJECT

public:
    // Loads the texts of section "Capture" and the calibration of "Main.ini".
    explicit TCaptureForm(DesignHost &host, QWidget *parent = nullptr);
    // Ends a running capture and writes the calibration back.
    ~TCaptureForm() override;

    // Takes a fresh copy of the current bar's lapping and draws the picture again, so the path
    // follows the design.
    void RefreshLapping();

    // Where the video of a capture comes from: a camera for an empty name, else a clip or
    // picture file. Starts as key "Source" of section "Capture".
    void SetVideoSourceName(const QString &name) { m_sourceName = name; }
    const QString &videoSourceName() const { return m_sourceName; }

    // The two presses of sbCapture: start the live preview, freeze the last frame.
    void StartCapture();
    void FreezeCapture();
    bool capturing() const { return m_video != nullptr; }
    // The preview widget while capturing, else none, and the frame it shows last.
    QWidget *captureWindow() const { return m_captureWindow; }
    const QImage &previewFrame() const { return m_preview; }

    // The pop-up menu's commands without their dialogs: a picture file read into the window
    // (false, after a message, when it cannot be read), and the picture to the clipboard.
    bool LoadPicture(const QString &fileName);
    void CopyPicture();

    const QImage &picture() const { return m_picture; }
    // The picture with the current mode's overlay, as shown.
    const QImage &displayed() const { return m_displayed; }
    const CaptureCalibration &calibration() const { return m_calibration; }
    const MeasureSession &measures() const { return m_measures; }
    const StitchGrid &grid() const { return m_grid; }
    const std::vector<ChainLink> &lapping() const { return m_lapping; }

    // Controls, named as the program has always named them.
    QToolButton *sbCapture = nullptr;
    QToolButton *sbMeasure = nullptr;
    QToolButton *sbGrid = nullptr;
    QToolButton *sbUndo = nullptr;
    QToolButton *sbSet = nullptr;
    QToolButton *sbGridMove = nullptr;
    QToolButton *sbPath = nullptr;
    QComboBox *comboObjectType = nullptr;
    QComboBox *comboMagnification = nullptr;
    QLabel *lbMagnification = nullptr;
    QLineEdit *edWale = nullptr;
    QLineEdit *edCourse = nullptr;
    QLineEdit *edSize = nullptr;
    QLabel *spGridColor = nullptr;
    QLabel *lbInfo = nullptr;
    QScrollArea *ScrollBox = nullptr;
    QWidget *Image = nullptr;
    QMenu *pmImage = nullptr;

signals:
    // The window's close button: the main window minimises it and remembers it closed.
    void CloseRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void buildMenu();
    QWidget *controlRow(std::initializer_list<QWidget *> widgets);

    // Draws the picture with the overlay of the current mode (measure objects, or grid and
    // path) and shows it; the info label follows.
    void redraw();
    void showImage(const QImage &image);
    void updateInfo();
    OverlayStyle overlayStyle() const;

    void endCapture(const QString &failure);
    // Ends a capture whose source reported an error (m_failure).
    void endFailedCapture();
    void setControlsEnabled(bool enabled);

    void buildGrid();
    void resetGrid();
    bool readGridSize(GridSize &size);
    void chooseOverlayColor();
    void magnificationEntered(const QString &text);
    void askTuning();
    void calibrationChanged();
    void loadWithDialog();
    void saveWithDialog();
    void showWholeViewer();

    bool imageMouseEvent(QEvent *event);

    DesignHost &m_host;
    TStringTable m_texts;
    CaptureCalibration m_calibration;
    QString m_sourceName;

    QImage m_picture;   // the captured or loaded picture, 24 bits, without overlays
    QImage m_displayed; // what the picture area shows
    MeasureSession m_measures;
    StitchGrid m_grid;
    std::vector<ChainLink> m_lapping; // copy of the current bar's lapping
    QRgb m_overlayColor = 0xffff0000;
    int32_t m_markSize = 5;
    GridHit m_dragged;

    std::unique_ptr<VideoSource> m_video;
    QWidget *m_captureWindow = nullptr;
    QImage m_preview;        // the latest preview frame the capture window paints
    QString m_failure;       // why the source stopped, while the capture is being torn down
    bool m_inDialog = false; // the source's dialogs are open: a failure waits for them
    TFloatingWindow *m_floating = nullptr;
    std::vector<QAction *> m_pictureActions; // Whole Viewer, Save and Copy: need a picture
    std::vector<QAction *> m_menuActions;    // every command of the pop-up menu
};

} // namespace warplon
