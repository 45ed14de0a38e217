#pragma once

#include "color/usercolorlib.h"
#include "text/stringtable.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;
class QStackedWidget;
class QToolButton;

namespace warplon {

class DesignHost;
class TColorGauge;
class TColorShape;
class THlsCircle;
struct ColorCatalogs;

// The user colour data window: defines one user colour of a collection. The colour comes from a
// colour book (a catalogue code looked up as it is typed) or from the CMY and HLS pickers, which
// make it a free colour; the name fits the collection file's 22-byte field. OK accepts the
// dialog; Cancel, Escape and the close box leave the colour undefined.
class TUserColorDataForm : public QDialog
{
    Q_OBJECT

public:
    // The catalogues must outlive the window.
    TUserColorDataForm(DesignHost &host, const ColorCatalogs &catalogs, QWidget *parent = nullptr);

    // Shows a colour: its name, book, code and colour. A name too long for the field is cut.
    void SetColor(const UserColor &color);
    // Shows a colour under the name "Undefined": the start of a new user colour.
    void NewColor(const UserColor &color);
    // The colour defined: the found catalogue colour, or the pickers' free colour, with the name.
    UserColor Color() const;
    UserColorBook Book() const;
    // Chooses a book as a click in the list does.
    void SetBook(UserColorBook book);

    // The text shown in place of a code search where the Pantone catalogues are missing.
    QString PantoneNotice() const;

    // Controls, named as the program has always named them.
    QLineEdit *edName = nullptr;
    QListWidget *lstColorBook = nullptr;
    QLineEdit *edCode = nullptr;
    QLabel *lbCodeResult = nullptr;
    QLabel *lbNotice = nullptr;
    QToolButton *lbHLS = nullptr;
    QStackedWidget *PickerStack = nullptr;
    QWidget *KvCMY = nullptr;
    QSpinBox *PSEditCyan = nullptr;
    QSpinBox *PSEditMagenta = nullptr;
    QSpinBox *PSEditYellow = nullptr;
    TColorGauge *PGaugeCyan = nullptr;
    TColorGauge *PGaugeMagenta = nullptr;
    TColorGauge *PGaugeYellow = nullptr;
    QWidget *KvHLS = nullptr;
    THlsCircle *ImgCircle = nullptr;
    QSpinBox *PSHlsH = nullptr;
    QSpinBox *PSHlsL = nullptr;
    QSpinBox *PSHlsS = nullptr;
    TColorShape *ShapeColor = nullptr;
    QLabel *lbRGB = nullptr;
    QToolButton *sbOK = nullptr;
    QToolButton *sbCancel = nullptr;

private:
    QWidget *buildCmy();
    QWidget *buildHls();
    QSpinBox *makeSpin(QWidget *parent, const char *name, int high);

    void bookChosen();
    void lookUp();
    // The pickers and the swatch show a colour, reporting nothing.
    void showColor(RGBQUAD rgb);
    // The designer changed a picker: the colour becomes the pickers' free colour.
    void picked(RGBQUAD rgb);
    void cmyEdited();
    void hlsEdited();

    const ColorCatalogs &m_catalogs;
    TStringTable m_texts;
    QString m_pantoneNotice;
    // The colour as defined so far (its name lives in the edit).
    UserColor m_color;
    bool m_showing = false;
};

} // namespace warplon
