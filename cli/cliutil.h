#pragma once

#include "app/design.h"
#include "text/stringtable.h"

#include <QCommandLineParser>
#include <QJsonObject>
#include <QPoint>
#include <QRgb>
#include <QString>

#include <vector>

namespace warplon::cli {

// Exit codes of the tool.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Prints "warplon-cli: <message>" on stderr and returns the code.
int Fail(const QString &message, int code = kExitFailure);

// Parses a command's arguments; prints the help and returns kExitOk through `exitCode` for
// --help, or a usage error. Returns true when the command should go on.
bool ParseArguments(QCommandLineParser &parser, const QString &command, const QString &description,
                    const QStringList &arguments, int &exitCode);

// Loads a design file into `design`; on failure prints the reason and returns false.
bool LoadDesignFile(const QString &fileName, Design &design, int32_t &fileVersion);

// The design a command works on: the one positional design file, or with --sample NAME (when
// the command offers it) a sample structure. On failure prints the reason and returns the exit
// code; kExitOk when the design is there.
int LoadDesignOrSample(const QCommandLineParser &parser, Design &design);

// Saves `design` as the program does with "Compression" checked, with a fresh simulation for the
// file's preview; on failure prints the reason and returns false.
bool SaveDesignFile(const QString &fileName, Design &design);

// The folder of the files shipped with the program (language files, colour catalogues, cell
// pictures): beside the tool in a build, the shared data folder of an installed copy.
QString ShippedFolder();

// "X,Y,X,Y,…": whole-number points of a picture (at most a million pixels from the origin).
// False for an odd count or a part that is no such number.
bool ParsePoints(const QString &text, std::vector<QPoint> &points);
// "RRGGBB" or "#RRGGBB" as an opaque colour.
bool ParseRgbColor(const QString &text, QRgb &color);

// The English texts of a window's section, from the language file beside the tool, so the tool
// prints the windows' own words.
TStringTable ToolTexts(const QString &section);

void PrintJson(const QJsonObject &object);
void PrintLine(const QString &line);

} // namespace warplon::cli
