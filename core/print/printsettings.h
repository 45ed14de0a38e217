#pragma once

// The print window's choices, kept in section "Printer" of "Environment.ini": the sheet style,
// the kind of data of the standard style, the chain display, the design image option and the
// method of the sheets that print pictures. And which of the window's choices can be made.

#include <QString>

#include <array>
#include <cstdint>

namespace warplon {

enum PrintStyle : int32_t { StyleSimple = 0, StyleLandscape = 1, StyleStandard = 2 };
// The data choice that prints design images; its options apply only to it.
constexpr int32_t kDataDesignImage = 2;
// Options: 1 the design window, 2 all layers one by one, 3 .. 6 layer 1 .. 4.
constexpr int32_t kOptionDesignWindow = 1;
constexpr int32_t kOptionFirstLayer = 3;
constexpr int32_t kOptionLastLayer = 6;

struct PrintSettings
{
    int32_t style = StyleSimple;          // "Style"
    int32_t data = 0;                     // "Data"
    int32_t chain = 0;                    // "Chain": 0 "2 Step", 1 "3 Step"
    int32_t option = kOptionDesignWindow; // "Option"
    int32_t method = 0;                   // "Method": 0 fits one page, 1 prints at fabric scale
    bool operator==(const PrintSettings &) const = default;
};

// The number of data choices: simulation, design data, design image, yarn, then the partner
// edition's yarn sheet, then cost.
int32_t PrintDataCount(bool ombra);

// A stored value outside its list becomes its default, and so does a layer option beyond the
// design's bars.
PrintSettings ValidPrintSettings(PrintSettings settings, bool ombra, int32_t barCount);

// The keys of section "Printer" of "Environment.ini" in the program directory, made valid.
PrintSettings LoadPrintSettings(const QString &programDirectory, bool ombra, int32_t barCount);
// Writes the five keys; false when the file could not be written.
bool SavePrintSettings(const QString &programDirectory, const PrintSettings &settings);

// Which controls of the print window take input: the data group only with the standard style;
// the options only for design images, each layer only when the design has that bar.
struct PrintEnabling
{
    bool data = false;
    bool options = false;         // the group, "Design Window" and "All Layer Separately"
    std::array<bool, 4> layers{}; // "Layer1" .. "Layer4"
};
PrintEnabling PrintControlsEnabled(int32_t style, int32_t data, int32_t barCount);

} // namespace warplon
