#include "simulation/yarnlist.h"

#include "app/mainparameters.h"
#include "base/bytestream.h"
#include "base/numbers.h"
#include "base/safefile.h"
#include "simulation/composition.h"
#include "simulation/yarnfile.h"
#include "text/encoding.h"
#include "text/stringtable.h"

#include <QDir>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace warplon {

namespace {

constexpr uint8_t kProcessingNone = 6;
constexpr uint8_t kProcessingDirectInput = 9;

// The row's index in the list, or -1 for the header row; may lie past the list.
int64_t IndexOfRow(int32_t row)
{
    return row < 1 ? -1 : int64_t(row) - 1;
}

bool IsRowAfterList(const std::vector<Yarn> &yarns, int32_t row)
{
    return IndexOfRow(row) == int64_t(yarns.size());
}

// What one typed value does to one yarn, worked out once for the whole selection.
struct TypedValue
{
    int32_t column = 0;
    QByteArray text;
    double number = 0.0;
    int32_t count = 0;
};

void Store(Yarn &yarn, const TypedValue &value)
{
    switch (value.column) {
    case YarnColumnName:
        yarn.name = value.text;
        break;
    case YarnColumnCode:
        yarn.code = value.text;
        break;
    case YarnColumnMaker:
        yarn.maker = value.text;
        break;
    case YarnColumnRemark:
        yarn.remark = value.text;
        break;
    case YarnColumnDenier:
        yarn.denier = value.number;
        break;
    case YarnColumnFilaments:
        yarn.filaments = value.count;
        break;
    case YarnColumnLength:
        yarn.stretch = value.number;
        break;
    case YarnColumnGloss:
        yarn.gloss = value.number;
        break;
    case YarnColumnTranslucency:
        yarn.translucency = value.number;
        break;
    case YarnColumnMaterial:
        yarn.yarnText1 = value.text;
        yarn.material = MaterialDirectInput;
        break;
    case YarnColumnProcessing:
        yarn.yarnText2 = value.text;
        yarn.optical = kProcessingDirectInput;
        break;
    case YarnColumnPrice:
        yarn.yarnValue = value.number;
        break;
    default:
        break;
    }
}

// Reads the typed text for `column`; Stored when it is a value the column takes.
YarnEntry ReadTypedValue(int32_t column, const QString &text, TypedValue &value)
{
    value.column = column;
    switch (column) {
    case YarnColumnName:
    case YarnColumnCode:
    case YarnColumnMaker:
    case YarnColumnRemark:
    case YarnColumnMaterial:
    case YarnColumnProcessing:
        value.text = FitYarnText(text);
        return YarnEntry::Stored;
    case YarnColumnFilaments: {
        const std::optional<int32_t> count = ParseInteger(text);
        if (!count)
            return YarnEntry::NotAWholeNumber;
        value.count = std::max(*count, 1);
        return YarnEntry::Stored;
    }
    case YarnColumnDenier:
    case YarnColumnLength:
    case YarnColumnGloss:
    case YarnColumnTranslucency:
    case YarnColumnPrice:
        break;
    default:
        return YarnEntry::Ignored;
    }
    const std::optional<double> number = ParseDecimal(text);
    if (!number)
        return YarnEntry::NotANumber;
    switch (column) {
    case YarnColumnLength: {
        if (*number <= 0.0)
            return YarnEntry::LengthNotPositive;
        const double percent = std::min(*number, 100.0);
        // The yarn is p per cent of its stretched length: it stretches by 1 / p - 1.
        const double stretch = 1.0 / (percent * 0.01) - 1.0;
        if (!std::isfinite(stretch))
            return YarnEntry::LengthNotPositive;
        value.number = stretch;
        break;
    }
    case YarnColumnGloss:
    case YarnColumnTranslucency:
        value.number = std::clamp(*number, 0.0, 1.0);
        break;
    default:
        value.number = std::max(*number, 0.0);
        break;
    }
    return YarnEntry::Stored;
}

uint8_t NextMaterial(uint8_t code)
{
    switch (code) {
    case MaterialPolyester:
        return MaterialNylon;
    case MaterialNylon:
        return MaterialSpandex;
    case MaterialSpandex:
        return MaterialCotton;
    case MaterialCotton:
        return MaterialNone;
    case MaterialNone:
        return MaterialPolyester;
    default:
        return code;
    }
}

uint8_t NextProcessing(uint8_t code)
{
    // SD FD CD SPK BRT PDD, then SDY AMT, then none, then back to SD.
    switch (code) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
        return uint8_t(code + 1);
    case 5:
        return 7;
    case 7:
        return 8;
    case 8:
        return kProcessingNone;
    case kProcessingNone:
        return 0;
    default:
        return code;
    }
}

} // namespace

int32_t YarnListRows(size_t yarnCount)
{
    if (yarnCount < 21)
        return 30;
    const size_t limit = size_t(std::numeric_limits<int32_t>::max()) - 10;
    return int32_t(std::min(yarnCount, limit) + 10);
}

int32_t YarnListHeaderText(int32_t column)
{
    static constexpr std::array<int32_t, kYarnListColumns> headers
        = {-1, 11, 12, 15, 1, 2, 3, 8, 9, 10, 4, 5, 13, 16};
    if (column < 0 || column >= kYarnListColumns)
        return -1;
    return headers[size_t(column)];
}

QString YarnListHeader(const TStringTable &texts, int32_t column)
{
    const int32_t index = YarnListHeaderText(column);
    return index < 0 ? QString() : texts.TextAt(index);
}

int32_t YarnListHintText(int32_t column)
{
    return column == YarnColumnPrice ? YarnTextPriceHint : -1;
}

QString YarnColorText(int32_t color)
{
    const int red = color & 0xFF;
    const int green = (color >> 8) & 0xFF;
    const int blue = (color >> 16) & 0xFF;
    return QStringLiteral("%1-%2-%3").arg(255 - blue).arg(255 - green).arg(255 - red);
}

QString YarnMaterialText(const Yarn &yarn)
{
    if (yarn.material == MaterialDirectInput)
        return DecodeText(yarn.yarnText1);
    return MaterialMenuText(yarn.material);
}

QString YarnProcessingText(const Yarn &yarn)
{
    if (yarn.optical == kProcessingDirectInput)
        return DecodeText(yarn.yarnText2);
    return ProcessingMenuText(yarn.optical);
}

QString YarnListCellText(const std::vector<Yarn> &yarns, int32_t row, int32_t column)
{
    const Yarn *yarn = YarnAtRow(yarns, row);
    if (!yarn)
        return {};
    switch (column) {
    case YarnColumnLetter:
        return YarnLetter(row - 1);
    case YarnColumnName:
        return DecodeText(yarn->name);
    case YarnColumnCode:
        return DecodeText(yarn->code);
    case YarnColumnMaker:
        return DecodeText(yarn->maker);
    case YarnColumnDenier:
        return FormatNumber(yarn->denier, 2);
    case YarnColumnFilaments:
        return QString::number(yarn->filaments);
    case YarnColumnColor:
        return YarnColorText(yarn->color);
    case YarnColumnLength: {
        // A stretch of -1 or below (only from a damaged file) would divide by zero or less.
        const double divisor
            = std::isfinite(yarn->stretch) ? std::max(1.0 + yarn->stretch, 0.01) : 0.01;
        return FormatNumber(100.0 / divisor, 2) + QLatin1Char('%');
    }
    case YarnColumnGloss:
        return FormatNumber(yarn->gloss, 2);
    case YarnColumnTranslucency:
        return FormatNumber(yarn->translucency, 2);
    case YarnColumnMaterial:
        return YarnMaterialText(*yarn);
    case YarnColumnProcessing:
        return YarnProcessingText(*yarn);
    case YarnColumnPrice:
        return FormatNumber(yarn->yarnValue, 3);
    case YarnColumnRemark:
        return DecodeText(yarn->remark);
    default:
        return {};
    }
}

QByteArray FitYarnText(const QString &text)
{
    QByteArray bytes = EncodeText(text);
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    if (bytes.size() <= kYarnTextBytes)
        return bytes;
    // Step back over continuation bytes so that the cut falls before a character's first byte.
    qsizetype end = kYarnTextBytes;
    while (end > 0 && (uchar(bytes[end]) & 0xC0) == 0x80)
        --end;
    bytes.truncate(end);
    return bytes;
}

const Yarn *YarnAtRow(const std::vector<Yarn> &yarns, int32_t row)
{
    const int64_t index = IndexOfRow(row);
    if (index < 0 || index >= int64_t(yarns.size()))
        return nullptr;
    return &yarns[size_t(index)];
}

Yarn *YarnAtRow(std::vector<Yarn> &yarns, int32_t row)
{
    return const_cast<Yarn *>(YarnAtRow(std::as_const(yarns), row));
}

YarnEntry EnterYarnCells(std::vector<Yarn> &yarns, int32_t topRow, int32_t bottomRow,
                         int32_t column, const QString &text)
{
    if (text.isEmpty())
        return YarnEntry::Ignored;
    TypedValue value;
    const YarnEntry read = ReadTypedValue(column, text, value);
    if (read != YarnEntry::Stored)
        return read;
    if (topRow > bottomRow)
        std::swap(topRow, bottomRow);
    topRow = std::max(topRow, 1);
    bottomRow = std::min(bottomRow, YarnListRows(yarns.size()) - 1);
    for (int32_t row = topRow; row <= bottomRow; ++row) {
        Yarn *yarn = YarnAtRow(yarns, row);
        if (!yarn) {
            yarns.emplace_back();
            yarn = &yarns.back();
        }
        Store(*yarn, value);
    }
    return YarnEntry::Stored;
}

int32_t YarnEntryText(YarnEntry outcome)
{
    switch (outcome) {
    case YarnEntry::NotANumber:
        return YarnTextNotANumber;
    case YarnEntry::NotAWholeNumber:
        return YarnTextNotAWholeNumber;
    case YarnEntry::LengthNotPositive:
        return YarnTextLengthNotPositive;
    default:
        return -1;
    }
}

int32_t AddYarn(std::vector<Yarn> &yarns, int32_t row)
{
    const int64_t index = IndexOfRow(row);
    if (index >= 0 && index <= int64_t(yarns.size())) {
        yarns.insert(yarns.begin() + std::ptrdiff_t(index), Yarn{});
        return int32_t(index);
    }
    yarns.emplace_back();
    return int32_t(yarns.size() - 1);
}

int32_t DeleteYarns(TexLayer &document, int32_t topRow, int32_t bottomRow)
{
    if (topRow > bottomRow)
        std::swap(topRow, bottomRow);
    std::vector<Yarn> &yarns = document.yarns;
    // Rows past the list hold no yarn to remove.
    const int64_t bottom = std::min<int64_t>(bottomRow, int64_t(yarns.size()));
    int32_t removed = 0;
    for (int64_t row = bottom; row >= topRow && row >= 1; --row) {
        yarns.erase(yarns.begin() + std::ptrdiff_t(row - 1));
        ++removed;
    }
    if (removed == 0)
        return 0;
    const auto count = int64_t(yarns.size());
    for (Tex &bar : document.bars) {
        for (WaleState &run : bar.threading) {
            if (run.yarn >= count)
                run.yarn = 0;
        }
    }
    return removed;
}

bool CycleYarnCode(std::vector<Yarn> &yarns, int32_t row, int32_t column)
{
    if (column != YarnColumnMaterial && column != YarnColumnProcessing)
        return false;
    if (IsRowAfterList(yarns, row)) {
        yarns.emplace_back();
        return true;
    }
    Yarn *yarn = YarnAtRow(yarns, row);
    if (!yarn)
        return false;
    uint8_t &code = column == YarnColumnMaterial ? yarn->material : yarn->optical;
    const uint8_t next = column == YarnColumnMaterial ? NextMaterial(code) : NextProcessing(code);
    if (next == code)
        return false;
    code = next;
    return true;
}

const std::array<uint8_t, 6> &MaterialMenuCodes()
{
    static constexpr std::array<uint8_t, 6> codes = {2, 0, 1, 3, 4, 5};
    return codes;
}

const std::array<uint8_t, 10> &ProcessingMenuCodes()
{
    static constexpr std::array<uint8_t, 10> codes = {6, 0, 1, 2, 3, 4, 5, 7, 8, 9};
    return codes;
}

QString MaterialMenuText(uint8_t code)
{
    static const char *const names[] = {"P", "N", "-", "SPANDEX", "COTTON"};
    return code < std::size(names) ? QLatin1String(names[code]) : QString();
}

QString ProcessingMenuText(uint8_t code)
{
    static const char *const names[] = {"SD", "FD", "CD", "SPK", "BRT", "PDD", "-", "SDY", "AMT"};
    return code < std::size(names) ? QLatin1String(names[code]) : QString();
}

bool SetYarnCode(std::vector<Yarn> &yarns, int32_t row, int32_t column, uint8_t code)
{
    if (column != YarnColumnMaterial && column != YarnColumnProcessing)
        return false;
    Yarn *yarn = YarnAtRow(yarns, row);
    if (!yarn) {
        if (!IsRowAfterList(yarns, row))
            return false;
        yarn = &yarns.emplace_back();
    }
    (column == YarnColumnMaterial ? yarn->material : yarn->optical) = code;
    return true;
}

bool SetYarnColor(std::vector<Yarn> &yarns, int32_t row, int32_t color)
{
    Yarn *yarn = YarnAtRow(yarns, row);
    if (!yarn) {
        if (!IsRowAfterList(yarns, row))
            return false;
        yarn = &yarns.emplace_back();
    }
    yarn->color = color;
    return true;
}

YarnFileRead ReadYarnForList(const QString &path, Yarn &yarn)
{
    QByteArray bytes;
    if (!ReadWholeFile(path, bytes))
        return YarnFileRead::Unreadable;
    ByteReader reader(bytes);
    int32_t version = 0;
    if (!reader.readI32(version))
        return YarnFileRead::Unreadable;
    if (version > kYarnFileVersion)
        return YarnFileRead::Newer;
    ByteReader record(bytes);
    return ReadYarnFileRecord(record, yarn) ? YarnFileRead::Loaded : YarnFileRead::Unreadable;
}

YarnFileRead LoadYarnIntoRow(std::vector<Yarn> &yarns, int32_t row, const QString &path)
{
    if (row < 1)
        return YarnFileRead::Unreadable;
    Yarn *target = YarnAtRow(yarns, row);
    Yarn scratch = target ? *target : Yarn{};
    const YarnFileRead result = ReadYarnForList(path, scratch);
    if (result != YarnFileRead::Loaded)
        return result;
    if (target)
        *target = std::move(scratch);
    else
        yarns.push_back(std::move(scratch));
    return result;
}

int32_t YarnFileReadText(YarnFileRead outcome)
{
    switch (outcome) {
    case YarnFileRead::Unreadable:
        return YarnTextUnreadableFile;
    case YarnFileRead::Newer:
        return YarnTextNewerFile;
    default:
        return -1;
    }
}

QString YarnFilePreview(const Yarn &yarn)
{
    return QStringLiteral("NAME:") + DecodeText(yarn.name) + QStringLiteral("   CODE:")
           + DecodeText(yarn.code) + QStringLiteral("   MAKER:") + DecodeText(yarn.maker)
           + QStringLiteral("   ") + YarnSpecText(yarn);
}

QString YarnFolder(const QString &programDirectory)
{
    return programDirectory + QStringLiteral("/yarn");
}

bool MakeYarnFolder(const QString &programDirectory)
{
    return QDir().mkpath(YarnFolder(programDirectory));
}

} // namespace warplon
