#pragma once

#include "text/stringtable.h"

#include <QCursor>
#include <QDialog>
#include <QImage>
#include <QPoint>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QScrollBar;

namespace warplon {

// The image viewer: a stay-on-top window showing one picture at full size. The scroll bars
// count in per cent of what does not fit; the picture can be dragged with the left button and
// moved with the arrow keys; a double-click closes the viewer; the pop-up menu copies the
// picture to the clipboard or saves it as a bitmap or JPEG file. The simulation and capture
// windows fill it.
class TViewer_F : public QDialog
{
    Q_OBJECT

public:
    // Loads the texts of section "Viewer" of the language file; pictures are saved by default
    // into the "bmp" folder of the program directory.
    TViewer_F(const QString &programDirectory, const QString &language, QWidget *parent = nullptr);

    // Shows `picture` from its top left: the client area takes the picture's size (as far as the
    // screen allows), the viewer is shown and repainted.
    void Fill(const QImage &picture);
    const QImage &picture() const { return m_picture; }

    // The pop-up menu's commands: the picture as a 24-bit image on the clipboard, and the save
    // dialog followed by writing the chosen file.
    void CopyToClipboard();
    void SaveWithDialog();

    // Controls, named as the program has always named them.
    QLabel *Image = nullptr;
    QScrollBar *scHori = nullptr;
    QScrollBar *scVert = nullptr;
    QFrame *pnCorner = nullptr;
    QLineEdit *focusEater = nullptr;
    QMenu *pmViewer = nullptr;
    QAction *pmvToClipBoard = nullptr;
    QAction *pmvSave = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void layOut();
    void updateBars();
    void placeImage();
    void dragTo(QPoint globalPosition);
    bool imageEvent(QEvent *event);
    bool keyEvent(QEvent *event);

    QString m_programDirectory;
    TStringTable m_texts;
    QImage m_picture;
    QWidget *m_view = nullptr; // clips the picture to the part of the client the bars leave

    bool m_dragging = false;
    QPoint m_downPosition; // global mouse position when the button went down
    QPoint m_downOffset;   // picture's top left then
    QPoint m_downBars;     // bar positions then
    QCursor m_restoreCursor;
};

} // namespace warplon
