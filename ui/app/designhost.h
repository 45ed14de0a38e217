#pragma once

// What a window may reach of the program: the open design and its records (owned by the main
// window), the shared texts, and the shared tool windows. The main window implements it; window
// tests give a small host of their own.

#include "color/colorconvert.h"
#include "knit/records.h"
#include "knit/treatmentdata.h"
#include "simulation/costdata.h"
#include "simulation/simulationsettings.h"

#include <QString>

#include <memory>
#include <optional>

class QImage;
class QWidget;

namespace warplon {

class TProgress_F;

class TStringTable;
class UndoStore;
class WindowProgress;

class DesignHost
{
public:
    virtual ~DesignHost() = default;

    virtual MainData &header() = 0;
    virtual TexLayer &document() = 0;
    virtual GuideBarData &guideBars() = 0;
    virtual TreatmentData &treatment() = 0;
    virtual int32_t currentBar() const = 0;
    // The finished fabric (width, courses per cm) as the simulation window holds it.
    virtual SimulationSettings &simulationSettings() = 0;
    virtual CostData &cost() = 0;

    // Keeps the design as it is for undo; call before changing it.
    virtual void PushUndo() = 0;
    // The undo history of the design, for the windows that step through it.
    virtual UndoStore &undoStore() = 0;
    // A window changed the design: every other window that shows it refreshes.
    virtual void DesignEdited(QWidget *source) = 0;

    virtual QString programDirectory() const = 0;
    virtual QString language() const = 0;
    virtual const TStringTable &commonTable() const = 0;
    virtual const TStringTable &messageTable() const = 0;
    virtual const TStringTable &mainTable() const = 0;

    // A progress shown over `anchor` for one calculation; gone when the object is destroyed.
    virtual std::unique_ptr<WindowProgress> StartProgress(const QString &title, QWidget *anchor)
        = 0;
    // The progress window, for a calculation that runs beside the user interface and shows its
    // own progress there; none in a program without one.
    virtual TProgress_F *progressForm() { return nullptr; }
    // Shows a picture in the image viewer, scrolled to its top left.
    virtual void ShowInViewer(const QImage &picture) = 0;
    // Repaints every open window at once (the simulation run calls it before it starts).
    virtual void UpdateAllWindows() = 0;
    // The finished-fabric values changed: the composition window refreshes when visible.
    virtual void FinishedFabricChanged() = 0;
    // Opens the palette window as the colour picker, starting at `current`; the colour of the
    // accepted entry, or nothing when the designer left without choosing.
    virtual std::optional<TColor> PickColor(std::optional<TColor> current) = 0;
};

} // namespace warplon
