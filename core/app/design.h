#pragma once

#include "bitmap/corvexbitmap.h"
#include "bitmap/designwindowdata.h"
#include "knit/records.h"
#include "knit/treatmentdata.h"
#include "print/propertyrecord.h"
#include "simulation/costdata.h"
#include "simulation/simulationsettings.h"

namespace warplon {

// The records of the open design that the design file carries, each held by its owner (the main
// window owns the header and the document, the guide-bar window its settings, and so on). The
// file code is handed these references and shares one implementation with the CLI and tests.
struct DesignRecords
{
    MainData &header;
    PropertyRecord &properties;
    TexLayer &document;
    TreatmentData &treatment;
    GuideBarData &guideBars;
    SimulationSettings &simulation;
    TCorvexBitmap &picture;
    DesignWindowData &designWindow;
    CostData &cost;
    // The bar being edited in the main window; the treatment list follows its course count.
    int32_t currentBar = 0;
};

// All of a design's records in one place, for the command-line tool and the tests.
struct Design
{
    MainData header;
    PropertyRecord properties;
    TexLayer document;
    TreatmentData treatment;
    GuideBarData guideBars;
    SimulationSettings simulation;
    TCorvexBitmap picture;
    DesignWindowData designWindow;
    CostData cost;
    int32_t currentBar = 0;

    DesignRecords records()
    {
        return {header,     properties, document,     treatment, guideBars,
                simulation, picture,    designWindow, cost,      currentBar};
    }
};

// Replaces the document by a fresh one with header.barCount bars of header.courseCount courses,
// as the main window starts a design.
void StartNewDocument(const MainData &header, TexLayer &document);

// The design the main window starts with: the given start values for bars, courses, gauge,
// courses per cm and width, empty texts, fresh records everywhere else.
void MakeNewDesign(Design &design, const MainData &startValues = MainData{});

} // namespace warplon
