#pragma once

// The settings the main window reads at start and writes at exit ("Environment.ini" and
// "Main.ini" in the program directory), and where the program directory is.

#include "knit/records.h"

#include <QString>

#include <cstdint>

namespace warplon {

constexpr char kProgramVersion[] = "2.41";

// What "Environment.ini" gives the main window at start.
struct StartSettings
{
    QString language = QStringLiteral("English");
    QString fontName = QStringLiteral("MS Sans Serif");
    MainData startValues;      // bars (held to 1..4), courses, gauge, courses per cm, width
    int32_t needleLimit = 150; // largest needle count of a design
};

StartSettings ReadStartSettings(const QString &programDirectory);

// Writes the design parameters at exit: "Bar", "Course", "Gauge", "Cpc" and "Width" (both
// truncated toward zero) and the needle limit as "TexMaxWidth2", all in section "Main".
bool WriteExitSettings(const QString &programDirectory, const MainData &header,
                       int32_t needleLimit);

// "Visible" of section "Capture" in "Main.ini": whether the capture window is shown at start.
bool ReadCaptureVisible(const QString &programDirectory);
bool WriteCaptureVisible(const QString &programDirectory, bool visible);

// "LiveSimulation" of section "Environment" in "Environment.ini": whether the simulation
// follows every edit on its own (default true).
bool ReadLiveSimulation(const QString &programDirectory);
bool WriteLiveSimulation(const QString &programDirectory, bool live);

// "ShowFloats" of section "Environment": the long floats drawn over the simulated picture
// (default false).
bool ReadShowFloats(const QString &programDirectory);
bool WriteShowFloats(const QString &programDirectory, bool show);

// "FloatLimit" of section "Environment": the longest float in millimetres a design may have
// before its courses are marked (default 6, 0 switches the marks off).
double ReadFloatLimit(const QString &programDirectory);
bool WriteFloatLimit(const QString &programDirectory, double millimetres);

// The shipped program files of an installed copy: "<prefix>/share/warplon" when the executable
// stands in "<prefix>/bin" and that folder exists beside it; empty for any other layout (a build
// tree, a copied folder), where the program files stand beside the executable.
QString InstalledDataDirectory(const QString &executableDirectory);

// Where the shipped program files are read from: InstalledDataDirectory when there is one, else
// the executable's folder.
QString ShippedFilesDirectory(const QString &executableDirectory);

// The program directory. `overrideDirectory` (the user key's "Exe" of "Common") comes first when
// it names an existing folder. An installed copy (see InstalledDataDirectory) always works in the
// per-user data folder given, seeded from its shipped files, whether or not it could write beside
// itself. Otherwise the executable's folder when it is writable, else the per-user data folder,
// seeded from the executable's folder.
QString ResolveProgramDirectory(const QString &executableDirectory,
                                const QString &userDataDirectory,
                                const QString &overrideDirectory = QString());

// Brings the program files of `target` up to date from `source`: the language files (".tdw") and
// pictures (".bmp") of the top folder, the colour files of "color" and the sample designs of
// "tricot". Files `target` lacks are copied. The shipped texts and pictures are copied again
// when the shipped set differs from the one seen at the last seeding (a new version was
// installed); settings (".ini"), colour files and designs already there are never replaced, as
// they hold the user's own work. The set seen is remembered in kSeedStampFile of `target`; a
// folder seeded for the first time keeps every file it already has.
void SeedProgramDirectory(const QString &source, const QString &target);

constexpr char kSeedStampFile[] = ".warplon-seed";

} // namespace warplon
