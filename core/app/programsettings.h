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

// The program directory: the executable's folder when it is writable, else the per-user data
// folder given, which is created and seeded with the files of the executable's folder that it
// lacks (language files, colour files, splash, samples). `overrideDirectory` (the user key's "Exe"
// of "Common") replaces both when it names an existing folder.
QString ResolveProgramDirectory(const QString &executableDirectory,
                                const QString &userDataDirectory,
                                const QString &overrideDirectory = QString());

// Copies the program files (language files, splash, colour files, samples) that `target` lacks
// from `source`; files already there are kept, as they may hold the user's own settings and
// colours.
void SeedProgramDirectory(const QString &source, const QString &target);

} // namespace warplon
