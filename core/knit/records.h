#pragma once

// The records of a tricot design: header, guide bars with lapping, threading and run-in, yarns.
// Texts are kept as the bytes the design file holds, so a file reads back to the same bytes;
// text/encoding.h turns them into display strings.

#include <QByteArray>
#include <QChar>

#include <array>
#include <cstdint>
#include <vector>

namespace warplon {

constexpr int32_t kMaxBars = 4;
// Millimetres of yarn are given per rack of 480 courses.
constexpr int32_t kCoursesPerRack = 480;

// The design header, held by the main window.
struct MainData
{
    int32_t version = 2;
    QByteArray fileName;
    QByteArray note1;
    QByteArray note2;
    QByteArray note3;
    int32_t barCount = 2;
    int32_t courseCount = 16;
    int32_t gauge = 28;         // needles (wales) per inch
    double coursesPerCm = 20.0; // courses per centimetre of finished fabric
    double widthInch = 105.0;   // machine width
};

// The lapping of one bar in one course: the overlap runs from gap x0 to gap x1 (x0 = x1: no loop,
// the yarn is laid in); the underlap from x1 to the next course's x0. x2 is derived (Normalize).
struct ChainLink
{
    int32_t x0 = 0;
    int32_t x1 = 0;
    int32_t x2 = 0;
    bool operator==(const ChainLink &) const = default;
};

// One run of the threading: count needles carrying yarn `yarn` (threaded) or left empty.
struct WaleState
{
    int32_t yarn = 0;
    int32_t count = 1;
    uint8_t threaded = 1;
    uint8_t needleFlag = 0;
    bool operator==(const WaleState &) const = default;
};

// One needle of the expanded threading.
struct NeedleEntry
{
    int32_t yarn = 0;
    uint8_t threaded = 0;
    uint8_t needleFlag = 0;
    bool operator==(const NeedleEntry &) const = default;
};

// Run-in of one course of one bar, millimetres of yarn per rack.
struct CourseState2
{
    int32_t runIn = 1700;
    int32_t calcRunIn = 0;
    int32_t ratio = 100; // per cent
    bool operator==(const CourseState2 &) const = default;
};

// Material codes of a yarn.
enum YarnMaterial : uint8_t {
    MaterialPolyester = 0,
    MaterialNylon = 1,
    MaterialNone = 2,
    MaterialSpandex = 3,
    MaterialCotton = 4,
    MaterialDirectInput = 5,
};

struct Yarn
{
    QByteArray name;
    QByteArray code;
    QByteArray extraText;
    QByteArray maker;
    QByteArray remark;
    int32_t yarnNumber = 0;
    double yarnValue = 0.0; // price per kilogram
    double denier = 40.0;
    int32_t filaments = 20;
    uint8_t material = MaterialPolyester;
    uint8_t optical = 0;
    QByteArray yarnText1; // material name when material is "direct input"
    QByteArray yarnText2; // processing name when optical is "direct input"
    double stretch = 0.0;
    double gloss = 0.3;
    double translucency = 0.3;
    int32_t color = 0xFFFFFF; // TColor: red | green << 8 | blue << 16
    uint8_t reserved = 0;
    uint8_t hidden = 0;
    QByteArray yarnImage;
    bool operator==(const Yarn &) const = default;
};

// One pair of yarn and guide bar as the composition window lists it.
struct YarnUse
{
    int32_t yarn = 0;
    int32_t bar = 0;
    int32_t endsPerBeam = 0;
    int32_t beams = 0;
    int32_t ends = 0;
    double metersPerYard = 0.0;
    double gramsPerYard = 0.0;
    double percent = 0.0;
    int32_t runIn = 0;
    bool operator==(const YarnUse &) const = default;
};

// One guide bar ("Layer").
class Tex
{
public:
    Tex();

    int32_t courseCount = 0;
    int32_t barTag = 0;
    std::vector<ChainLink> lapping;
    std::vector<WaleState> threading;
    std::vector<CourseState2> courseStates;
    std::vector<uint8_t> carryFloat;
    std::vector<uint8_t> tightFloat;
    int32_t needleCount = 0;
    std::vector<NeedleEntry> needles; // the threading expanded per needle; rebuilt, never stored
    uint8_t visible = 1;
    uint8_t drawAllNeedles = 0; // not stored
    int32_t shift = 0;          // threading start against the lapping

    // Resizes every per-course list to n courses; new courses get the lapping 2-3 (even index)
    // or 1-0 (odd index), run-in {1700, 0, 100} and both switches off.
    void SetCourseCount(int32_t n);
    int32_t LappingCount() const { return int32_t(lapping.size()); }
    // The mouse edit of one course at wale `wale` (see bars.cpp).
    void ClickLapping(bool ctrl, bool alt, int32_t wale, bool halfNeedle, int32_t course);
    // Derives x2 of every course from x0, x1 and the next course's x0.
    void Normalize();

    // The stored fields, transient needle table and drawing switch left out.
    bool sameStoredFields(const Tex &other) const;
};

// The design document: the yarn list, the yarn uses and the guide bars.
class TexLayer
{
public:
    TexLayer();

    int32_t cursorWale = 0;
    int32_t cursorCourse = 0;
    int32_t selWale1 = 0;
    int32_t selCourse1 = 0;
    int32_t selWale2 = 0;
    int32_t selCourse2 = 0;
    int32_t selMode = 1; // 0 rectangle, 1 single-cell cursor, 2 cursor over an all-needles bar
    std::vector<Yarn> yarns;
    std::vector<YarnUse> yarnUses;
    std::vector<Tex> bars;
    uint8_t halfNeedleOffset = 0;
    uint8_t selectionShown = 0;
    int32_t completeNeedle = 12;
    uint8_t optimizeRepeat = 1;

    void AddBar();
    void DeleteBar(int32_t index);
    void SetCourseCount(int32_t n);
    int32_t CourseCount() const;
    void SetBarVisible(int32_t index, uint8_t value);
    void SetBarDrawAllNeedles(int32_t index, uint8_t value);
    void SetCursor(int32_t wale, int32_t course);

    // Block edits of the lapping of bar `bar` (see bars.cpp).
    void Repeat(int32_t bar, int32_t times);
    void Shift(int32_t delta, int32_t bar);
    void Invert(int32_t bar);

    bool sameStoredFields(const TexLayer &other) const;
};

// Calculation settings of the four bars, held by the guide-bar window.
struct GuideBarData
{
    int32_t version = 5;
    double defaultDenier = 40.0;
    int32_t defaultFilaments = 20;
    std::array<int32_t, kMaxBars> formula = {2, 2, 2, 2}; // yarn diameter formula d1, d2, d3
    std::array<uint8_t, kMaxBars> noTension = {0, 0, 0, 0};
    std::array<uint8_t, kMaxBars> runInBrightness = {0, 0, 0, 0};
    std::array<QByteArray, kMaxBars> description;
    bool operator==(const GuideBarData &) const = default;
};

// The letter by which users know yarn `index`: 'A' + index.
QChar YarnLetter(int32_t index);

} // namespace warplon
