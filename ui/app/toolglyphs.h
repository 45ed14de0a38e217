#pragma once

#include <QIcon>

namespace warplon {

// The pictures of the main window's tool buttons, drawn rather than loaded so they stay sharp
// at any scale.
enum class ToolGlyph { Design, GuideBar, Simulation, Treatment, Capture, LoadSave, Print };

QIcon MakeToolGlyph(ToolGlyph glyph);

} // namespace warplon
