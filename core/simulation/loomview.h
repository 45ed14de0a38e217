#pragma once

// The separate 3D mapping program: its installed versions are the version-named groups under
// "Loomview" in the user's settings of the maker ("Brenmoor"), each with "Directory/bin" naming
// the folder of its "loomview" executable. A machine without it lists none.

#include <QString>
#include <QStringList>

namespace warplon {

// Whether a group name is a version: digits and dots only, at least one character.
bool IsVersionName(const QString &name);

// The installed versions, in the order the settings list them.
QStringList InstalledLoomviewVersions();

// Starts the given version's program in its folder. False, with a message, when the version has
// no folder or the program does not start.
bool StartLoomview(const QString &version, QString *error = nullptr);

} // namespace warplon
