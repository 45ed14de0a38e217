#pragma once

#include <QStringList>

namespace warplon::cli {

// Each command takes its own arguments (without the program and command names) and returns the
// process exit code. Failures print one line to stderr and return non-zero.
int RunNew(const QStringList &arguments);
int RunDump(const QStringList &arguments);
int RunRunIn(const QStringList &arguments);
int RunSimulate(const QStringList &arguments);
int RunModel(const QStringList &arguments);
int RunColor(const QStringList &arguments);
int RunPalette(const QStringList &arguments);
int RunYarns(const QStringList &arguments);
int RunComposition(const QStringList &arguments);
int RunCost(const QStringList &arguments);
int RunTreatment(const QStringList &arguments);
int RunChart(const QStringList &arguments);
int RunThumbnail(const QStringList &arguments);
int RunOverlay(const QStringList &arguments);
int RunMeasure(const QStringList &arguments);
int RunReport(const QStringList &arguments);
int RunFloats(const QStringList &arguments);

} // namespace warplon::cli
