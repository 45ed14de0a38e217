#pragma once

#include "print/printsettings.h"
#include "print/propertyrecord.h"
#include "text/stringtable.h"

#include <QDialog>
#include <QImage>
#include <QSize>

#include <array>
#include <functional>
#include <vector>

class QGroupBox;
class QLabel;
class QPagedPaintDevice;
class QPushButton;
class QRadioButton;

namespace warplon {

class DesignHost;
class THiddenPrintDataForm;
struct ReportInput;
struct ReportOptions;
struct ReportTexts;

// What the main window hands the print window besides the design: the production properties
// with the property window's edits in them, the simulation window's picture (null: the sheet
// runs a simulation), the design window's background choice and the edition.
struct PrintContext
{
    const PropertyRecord &properties;
    QImage picture;
    int32_t chartBackground = 0;
    bool ombra = false;
    QSize view{800, 600}; // the view a simulation for the sheet covers
};

// The print window: the sheet style, for the standard style the kind of data, for design images
// which layer, and the chain display; then a preview, a print, or the printer set-up. Created
// for one print command; its choices are kept in "Environment.ini".
class TPrintForm : public QDialog
{
    Q_OBJECT

public:
    TPrintForm(DesignHost &host, THiddenPrintDataForm &holder, const PrintContext &context,
               QWidget *parent = nullptr);
    // Writes the choices, whichever button closed the window.
    ~TPrintForm() override;

    // The choices as the controls show them.
    PrintSettings settings() const;

    // OK and Preview without their buttons: the chosen sheet printed (or written as PDF when
    // the system has no printer), or shown in the preview. False when nothing was printed.
    bool PrintSheet();
    void PreviewSheet();

    // Asks for the PDF file when there is no printer; tests answer in place of the dialog.
    void SetPdfFileChooser(std::function<QString()> chooser) { m_pdfChooser = std::move(chooser); }

    // Controls, named as the program has always named them.
    QGroupBox *rgMode = nullptr;
    QGroupBox *rgData = nullptr;
    QGroupBox *rgChain = nullptr;
    QGroupBox *gbOption = nullptr;
    std::vector<QRadioButton *> modeItems;
    std::vector<QRadioButton *> dataItems;
    std::vector<QRadioButton *> chainItems;
    std::vector<QRadioButton *> optionItems; // Design Window, All Layer Separately, Layer1..4
    QLabel *lbPrinter = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnPreview = nullptr;
    QPushButton *btnCancel = nullptr;
    QPushButton *btnSetup = nullptr;

private:
    QGroupBox *radioGroup(const char *name, const QString &title, const std::vector<int> &texts,
                          std::vector<QRadioButton *> &items);
    void updateEnabling();
    void updatePrinterLabel();
    void showSettings(const PrintSettings &settings);
    // The sheet the choices select, with the method asked for picture sheets; false when the
    // choice cannot be printed (after Message 76) or the method dialog was cancelled.
    bool chooseSheet(ReportOptions &options);
    bool askMethod(ReportOptions &options);
    bool paint(QPagedPaintDevice &device, const ReportOptions &options);

    DesignHost &m_host;
    THiddenPrintDataForm &m_holder;
    const PrintContext &m_context;
    TStringTable m_texts;
    int32_t m_barCount = 0;
    int32_t m_method = 0;
    std::function<QString()> m_pdfChooser;
};

} // namespace warplon
