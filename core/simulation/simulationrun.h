#pragma once

// A simulation run: the settings checked and completed from the design, the picture sizes and
// pitches worked out, then the fixed order of stages from the stitch model to the finishing
// pass. Pure of any window: the simulation window, the command-line tool, saving (for the
// preview) and the tests share it.

#include "bitmap/corvexbitmap.h"
#include "knit/records.h"
#include "knit/treatmentdata.h"
#include "simulation/simulationsettings.h"

#include <QSize>
#include <QString>

#include <array>
#include <memory>
#include <optional>

namespace warplon {

class Progress;
class RandomSource;
struct DirectionMemory;

// The relaxed stitch model of the last run, kept so that a run which changes only how the fabric
// is drawn (zoom, yarn colours, gloss and translucency, scatter, background, the view) neither
// builds nor relaxes the model again. Its key holds everything the model is made of: the
// lapping, threading and yarn counts of every bar, the run-in brightness and tension switches,
// the treatment, the back view, optimize and effect switches, and the direction memory the
// build starts from. Used by one run at a time.
class SimulationModelCache
{
public:
    SimulationModelCache();
    ~SimulationModelCache();
    void Clear();
    bool empty() const { return m_entry == nullptr; }

    struct Entry;
    std::shared_ptr<const Entry> m_entry;
};

// The texts of the simulation window's edits, corrected in place the way the window shows them.
struct SimulationEdits
{
    QString zoom;    // "4.0"
    QString width;   // finished width, inches
    QString density; // finished courses per cm
    QString fuzz;    // scatter 0..99
};

// Reads the edits into the settings, correcting them as the window does (an empty zoom becomes
// "4.0", a width below 1 "1", a density below 5 "5" and from 100 on "100", a zoom below 1 "1.0"
// and above 100 "100"; the scatter is limited to 0..99 when clampFuzz). Returns false with a
// message when a text is not a number; the settings are then unchanged.
bool ReadSimulationEdits(SimulationEdits &edits, SimulationSettings &settings, bool clampFuzz,
                         QString *error = nullptr);

// The edit texts that show the settings.
SimulationEdits EditsFromSettings(const SimulationSettings &settings);

// Sizes of one run.
struct SimulationGeometry
{
    int32_t wales = 0;        // of one repeat
    int32_t courses = 0;      // of one repeat
    double zoom = 1.0;        // units + tenths / 10
    int32_t repeatWidth = 0;  // pixels of one repeat: floor(wales * pxPerWale)
    int32_t repeatHeight = 0; // floor(courses * pxPerCourse)
    double xPitch = 0.0;      // pixels per wale after the repeat was rounded
    double yPitch = 0.0;
    int32_t pictureWidth = 0; // repeatWidth * repeatsAcross
    int32_t pictureHeight = 0;
};

// Completes the settings from the design (finished wales per inch, pixels per wale and course,
// repeats across and down so the picture covers `view`) and works out the sizes. Returns
// nothing, with a message, when the design or settings give no picture that can be made (no
// courses, a zero gauge, a picture beyond the memory the program allows).
std::optional<SimulationGeometry> PrepareSimulation(SimulationSettings &settings,
                                                    const MainData &header,
                                                    const TexLayer &document, QSize view,
                                                    QString *error = nullptr);

// Times of the stages of a run, in milliseconds.
struct StageTimings
{
    double build = 0;
    double relax = 0;
    double segments = 0;
    double paint = 0;
    double passes = 0; // spandex effect, stitch relief and the two finishing passes
    double total = 0;
};

// The passes of a run, in the order they start, as a run names them to its progress.
enum SimulationStage : int32_t {
    StageBuild = 0,
    StageRelax = 1,
    StagePaint = 2,
    StageEffect = 3,
    StageRelief = 4,
    StageTreatment = 5,
};

// What a run reads and writes.
struct SimulationJob
{
    const MainData &header;
    const TexLayer &document;
    const GuideBarData &guideBars;
    TreatmentData &treatment;
    SimulationSettings &settings;
    int32_t currentBar = 0;                // the treatment list follows this bar's course count
    QSize view{800, 600};                  // the visible area the repeats must cover
    SimulationModelCache *cache = nullptr; // null: the model is built for this run alone
    DirectionMemory *directions = nullptr; // null: the program's own pair
};

// Runs a whole simulation into `picture` (24 bits). The model is built and relaxed at a pitch of
// one in both directions, then stretched to the picture's pitches and shaded, so a kept model
// serves every zoom; with a cache whose key matches, building and relaxing are skipped. Returns
// false with a message when nothing could be made, or when the progress asked to stop; the picture
// is then left as it was.
bool RunSimulation(const SimulationJob &job, TCorvexBitmap &picture, RandomSource &random,
                   Progress *progress = nullptr, StageTimings *timings = nullptr,
                   QString *error = nullptr);

// The whole-viewer canvas: 1800 x 1500 pixels tiled with the picture from the top left.
// tooLarge is set when the picture is wider than 1800 or taller than 1500 (one tile across or
// down), which the window announces before tiling anyway.
TCorvexBitmap TileWholeViewer(const TCorvexBitmap &picture, bool *tooLarge = nullptr);

} // namespace warplon
