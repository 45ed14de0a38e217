#pragma once

// The edition of the program. The partner edition adds " (Ombra)" to captions and offers its own
// yarn report; this build asks one question of its edition source, as the program always has.

#include <QString>

namespace warplon {

// Whether the partner edition is installed: "Ombra" of section "Edition" in "Environment.ini"
// of the program directory (a boolean, default false).
bool IsOmbra(const QString &programDirectory);

// "Warplon CAD System 2.41", followed by " (Ombra)" in the partner edition.
QString ProgramCaption(bool ombra);

} // namespace warplon
