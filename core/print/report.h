#pragma once

// The technical sheets of a design: one call paints a whole sheet onto a paged device (a PDF
// writer or a printer), the same pages for the print window's preview and print and for the
// command-line tool.

#include "bitmap/designwindowdata.h"
#include "knit/records.h"
#include "knit/treatmentdata.h"
#include "print/propertyrecord.h"
#include "simulation/costdata.h"
#include "simulation/simulationsettings.h"
#include "text/stringtable.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

class QPagedPaintDevice;

namespace warplon {

// Entries of the "Print" texts: the print window's captions (0-26), then the sheets' labels.
enum PrintLabel : int32_t {
    LabelCaption = 0,
    LabelStyle = 1,
    LabelSimple = 2,
    LabelSimpleLandscape = 3,
    LabelStandard = 4,
    LabelData = 5,
    LabelSimulationData = 6,
    LabelDesignData = 7,
    LabelDesignImage = 8,
    LabelYarnData = 9,
    LabelYarnDataOmbra = 10,
    LabelCostData = 11,
    LabelChainOption = 12,
    LabelTwoSteps = 13,
    LabelThreeSteps = 14,
    LabelImageOption = 15,
    LabelDesignWindow = 16,
    LabelAllLayers = 17,
    LabelLayer1 = 18, // "Layer1" .. "Layer4" are 18 .. 21
    LabelOk = 22,
    LabelPreview = 23,
    LabelCancel = 24,
    LabelSetup = 25,
    LabelPrinter = 26,
    LabelMachine = 27,
    LabelBars = 28,
    LabelCourses = 29,
    LabelGauge = 30,
    LabelMachineCpc = 31,
    LabelFinishedCpc = 32,
    LabelWalesPerInch = 33,
    LabelMachineWidth = 34,
    LabelFinishedWidth = 35,
    LabelRepeat = 36,
    LabelRepeatCm = 37,
    LabelChain = 38,
    LabelThreading = 39,
    LabelRunIn = 40,
    LabelYarns = 41,
    LabelName = 42,
    LabelCode = 43,
    LabelComposition = 44,
    LabelTotal = 45,
    LabelProperty = 46,
    LabelGramsPerSquareMetre = 47,
    LabelMetresPerDay = 48,
    LabelApproval = 49,
    LabelDesigned = 50,
    LabelChecked = 51,
    LabelApproved = 52,
    LabelScaleBar = 53,
    LabelZoom = 54,
    LabelBackView = 55,
    LabelColorOnColor = 56,
    LabelScatter = 57,
    LabelBackground = 58,
    LabelEffect = 59,
    LabelEffectPower = 60,
    LabelInvertShade = 61,
    LabelOptimize = 62,
    LabelRepeats = 63,
    LabelPitches = 64,
    LabelTreatment = 65,
    LabelNone = 66,
    LabelShearing = 67,
    LabelLoopRaising = 68,
    LabelSolid = 69,
    LabelWave = 70,
    LabelYes = 71,
    LabelNo = 72,
    LabelThreadingStart = 73,
    LabelDescription = 74,
    LabelRunInFormula = 75,
    LabelNoTension = 76,
    LabelRunInBrightness = 77,
    LabelAverageRunIn = 78,
    LabelFormulaRunIn = 79,
    LabelTreatedCourses = 80,
    LabelSimulationSettings = 81,
    LabelYarnNumber = 82,
    LabelHidden = 83,
    LabelKilogramsPerCut = 84,
    LabelCostParameters = 85,
    LabelMethod1 = 86,
    LabelMethod2 = 87,
    LabelPages = 88,
    LabelGramsPerYard = 89,
    LabelCutYard = 90,
    LabelDetails = 91,
    LabelNotPrinted = 92,     // the printer or file could not be opened or written
    LabelNoPagesInRange = 93, // %1: the pages of the whole sheet
};

enum class ReportKind {
    Simple,       // picture, machine, bars, yarns, composition, property, approval
    Landscape,    // the same with the picture on the left, always landscape
    Simulation,   // the largest picture, scale bar, settings, treatment, repeat
    DesignData,   // per bar chain, threading, switches and the merged course table
    DesignWindow, // the design window's chart
    DesignLayers, // one chart per bar
    DesignLayer,  // the chart of one bar
    Yarn,         // the yarn list and the composition
    YarnPartner,  // the yarn sheet with the kilograms per cut
    Cost,         // the cost sheet and its parameters
};

// The kinds' names as the command-line tool takes them ("simple", "design-layer", ...), in the
// order above.
QStringList ReportKindNames();
QString ReportKindName(ReportKind kind);
std::optional<ReportKind> ReportKindFromName(const QString &name);

// The sheet the print window's choices select: style 0 simple, 1 landscape, 2 standard; data 0
// simulation, 1 design data, 2 design image, 3 yarn, then in the partner edition 4 partner yarn
// and 5 cost, otherwise 4 cost; option 1 design window, 2 all layers, 3 .. 6 layer 1 .. 4 (the
// layer goes to *layer). Nothing for a choice outside the lists.
std::optional<ReportKind> ReportKindForChoice(int style, int data, int option, bool ombra,
                                              int *layer);

// The texts the sheets print, from the language file's sections.
struct ReportTexts
{
    TStringTable print;
    TStringTable cost;
    TStringTable composition;
    TStringTable metaData;
    TStringTable yarnList;
    TStringTable simulation;
    TStringTable guideBar;
    TStringTable message;
    TStringTable main; // "Layer"
};
ReportTexts LoadReportTexts(const QString &programDirectory, const QString &language);

// Everything a sheet reads. The references must outlive the call.
struct ReportInput
{
    const MainData &header;
    const TexLayer &document;
    const GuideBarData &guideBars;
    const TreatmentData &treatment;
    const SimulationSettings &simulation;
    const CostData &cost;
    const PropertyRecord &properties; // with the property window's edits applied
    const ReportTexts &texts;
    // The simulation window's picture; a null picture makes the sheet run a simulation with the
    // stored settings (a picture for a view of viewSize pixels).
    QImage picture;
    int32_t chartBackground = ChartBlack; // the design window's background choice
    QString programDirectory;             // cell pictures of the chart
    bool ombra = false;                   // partner edition
    QString fileName;                     // the design's file, shown in the page header
    QString printDate;
    QSize viewSize{800, 600}; // the view a simulation run for the sheet covers
};

struct ReportOptions
{
    ReportKind kind = ReportKind::Simple;
    int layer = 1;           // the bar of DesignLayer, from 1
    bool threeSteps = false; // chain display: false "2 Step", true "3 Step"
    int method = 1;          // 1 fit one page, 2 fabric scale over pages (simulation, design image)
    int firstPage = 1;       // the pages painted, from 1
    int lastPage = 0;        // 0: to the end
};

// The number of pages the sheet takes on the device (its page layout as set up; margins become
// 15 mm and the landscape sheet turns landscape). 0 with an error for a sheet that cannot be
// made (a layer the design does not have: message 76).
int CountReportPages(QPagedPaintDevice &device, const ReportInput &input,
                     const ReportOptions &options, QString *error = nullptr);

// Paints the sheet onto the device: sets the margins (and landscape for the landscape sheet),
// begins a painter on the device, paints the pages of the chosen range and ends the painter.
// False with an error when the sheet cannot be made, the range holds no page, or the painter
// cannot begin on the device. *pages gets the count of the whole sheet.
bool PaintReport(QPagedPaintDevice &device, const ReportInput &input, const ReportOptions &options,
                 QString *error = nullptr, int *pages = nullptr);

} // namespace warplon
