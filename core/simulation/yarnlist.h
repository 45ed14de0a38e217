#pragma once

// The yarn list as its window shows and edits it: one grid row per yarn (row r shows yarn r - 1),
// cell texts, what Enter stores, Add and Delete, the material and processing cycles and menus,
// the colour, and yarn files loaded into and saved from a row. The window only forwards its
// events here, so the command-line tool and the tests edit a list exactly as the window does.

#include "knit/records.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace warplon {

class TStringTable;

constexpr int32_t kYarnListColumns = 14;
// The name, code, maker, remark and extra text live in 256-byte zero-terminated buffers.
constexpr qsizetype kYarnTextBytes = 255;

enum YarnListColumn : int32_t {
    YarnColumnLetter = 0,
    YarnColumnName = 1,
    YarnColumnCode = 2,
    YarnColumnMaker = 3,
    YarnColumnDenier = 4,
    YarnColumnFilaments = 5,
    YarnColumnColor = 6,
    YarnColumnLength = 7, // 100 / (1 + stretch) per cent
    YarnColumnGloss = 8,
    YarnColumnTranslucency = 9,
    YarnColumnMaterial = 10,
    YarnColumnProcessing = 11,
    YarnColumnPrice = 12,
    YarnColumnRemark = 13,
};

// Texts of the window's table ("YarnList") that the list itself names.
enum YarnListText : int32_t {
    YarnTextPriceHint = 14,
    YarnTextNothingToSave = 19,
    YarnTextDirectInput = 20,
    YarnTextNotANumber = 21,
    YarnTextNotAWholeNumber = 22,
    YarnTextLengthNotPositive = 23,
    YarnTextUnreadableFile = 24,
    YarnTextNewerFile = 25,
    YarnTextNotSaved = 26,
};

// Grid rows, the header row included: 30 while the list has fewer than 21 yarns, else yarns + 10.
int32_t YarnListRows(size_t yarnCount);
// The text index of a column's header in the window's table; -1 for column 0 and unknown columns.
int32_t YarnListHeaderText(int32_t column);
// The header of a column from the window's table ("" for column 0).
QString YarnListHeader(const TStringTable &texts, int32_t column);
// The grid's hint over a column: the price hint over column 12, none (-1) elsewhere.
int32_t YarnListHintText(int32_t column);

// The colour cell's text: (255 - blue) "-" (255 - green) "-" (255 - red) of a TColor.
QString YarnColorText(int32_t color);
// The material and processing columns: "P", "N", "-", "SPANDEX", "COTTON" or yarnText1; "SD",
// "FD", "CD", "SPK", "BRT", "PDD", "-", "SDY", "AMT" or yarnText2. Unknown codes give "".
QString YarnMaterialText(const Yarn &yarn);
QString YarnProcessingText(const Yarn &yarn);
// The text of cell (row, column) for row >= 1; rows beyond the list and the header row give "".
QString YarnListCellText(const std::vector<Yarn> &yarns, int32_t row, int32_t column);

// A typed text as a 256-byte yarn buffer holds it: UTF-8, cut at a zero character and to at most
// 255 bytes, never inside a character.
QByteArray FitYarnText(const QString &text);

// The yarn of grid row `row`, or null for the header row and rows beyond the list.
const Yarn *YarnAtRow(const std::vector<Yarn> &yarns, int32_t row);
Yarn *YarnAtRow(std::vector<Yarn> &yarns, int32_t row);

// What an Enter in the edit box did.
enum class YarnEntry {
    Stored,
    Ignored,           // an empty text or a column that takes no typed value; nothing changes
    NotANumber,        // a number column got another text; nothing changes
    NotAWholeNumber,   // the filaments column got another text; nothing changes
    LengthNotPositive, // the length column got 0 % or less (or so little the stretch overflows)
};

// Enter with `text` over the grid rows topRow..bottomRow (either order) in `column`: every row
// of the selection gets the value; each row at or past the one after the list appends one default
// yarn that takes the value. Rows are held to the grid as it is before the Enter, so a selection
// cannot create more yarns than the grid has empty rows. Values: texts (cut by FitYarnText) for
// columns 1, 2, 3 and 13; denier (negative → 0); filaments (below 1 → 1); the length p in per
// cent (100 or more → 100; stretch = 1 / (p * 0.01) - 1; p <= 0 refused); gloss and translucency
// held to 0..1; a material or processing name typed in (code 5 or 9); the price (negative → 0).
// A refused text changes nothing.
YarnEntry EnterYarnCells(std::vector<Yarn> &yarns, int32_t topRow, int32_t bottomRow,
                         int32_t column, const QString &text);

// The message for an Enter refused because of its text; -1 for Stored and Ignored.
int32_t YarnEntryText(YarnEntry outcome);

// Add: a default yarn inserted before grid row `row` when it lies within 1 .. yarns + 1, else
// appended. The threading keeps its yarn numbers. Returns the new yarn's index.
int32_t AddYarn(std::vector<Yarn> &yarns, int32_t row);

// Delete: removes the yarns of rows topRow..bottomRow (either order) that exist, from the bottom
// up; then every threading run of every bar naming a yarn that is now past the list is set to
// yarn 0. Runs naming a yarn below the last one keep their number. Returns how many yarns went.
int32_t DeleteYarns(TexLayer &document, int32_t topRow, int32_t bottomRow);

// A left click in the material or processing column. On a yarn's row the code cycles (material
// P → N → SPANDEX → COTTON → none → P; processing SD → FD → CD → SPK → BRT → PDD → SDY → AMT →
// none → SD); a typed-in or unknown code stays. On the row just after the list a default yarn is
// appended instead. Returns true when the list changed.
bool CycleYarnCode(std::vector<Yarn> &yarns, int32_t row, int32_t column);

// The codes of the material and processing pop-up menus, item by item: "-", "P", "N",
// "SPANDEX", "COTTON", Direct Input; "-", "SD", "FD", "CD", "SPK", "BRT", "PDD", "SDY", "AMT",
// Direct Input.
const std::array<uint8_t, 6> &MaterialMenuCodes();
const std::array<uint8_t, 10> &ProcessingMenuCodes();
// The menu's item text for a code ("-", "P", ...); Direct Input comes from the window's table.
QString MaterialMenuText(uint8_t code);
QString ProcessingMenuText(uint8_t code);

// A code chosen from a menu: set on the row's yarn, or on the row just after the list a default
// yarn with that code is appended. Returns true when the list changed.
bool SetYarnCode(std::vector<Yarn> &yarns, int32_t row, int32_t column, uint8_t code);

// A colour chosen for a row: set on the row's yarn, or on the row just after the list a default
// yarn with that colour is appended. Returns true when the list changed.
bool SetYarnColor(std::vector<Yarn> &yarns, int32_t row, int32_t color);

// Reading a yarn file for the list.
enum class YarnFileRead {
    Loaded,
    Unreadable, // the file cannot be opened, or ends early or holds an impossible length
    Newer,      // written by a newer version than this program knows
};

// Reads a yarn file into `yarn` (untouched unless Loaded). A file of version 0 or below holds no
// yarn and loads as nothing: the yarn stays as it was.
YarnFileRead ReadYarnForList(const QString &path, Yarn &yarn);
// Load into row `row`: the file's yarn replaces the row's yarn, or is appended when the row is
// after the list. The list is untouched unless Loaded.
YarnFileRead LoadYarnIntoRow(std::vector<Yarn> &yarns, int32_t row, const QString &path);

// The message for a yarn file that did not load; -1 for Loaded.
int32_t YarnFileReadText(YarnFileRead outcome);

// The preview of a yarn file: "NAME:" name, "CODE:" code, "MAKER:" maker, each followed by three
// blanks, then the yarn's label as the composition shows it ("P/F 40/20 SD").
QString YarnFilePreview(const Yarn &yarn);

// The folder of the yarn files, "yarn" below the program directory.
QString YarnFolder(const QString &programDirectory);
// The folder, created when it is missing; false when it cannot be made.
bool MakeYarnFolder(const QString &programDirectory);

} // namespace warplon
