#include "bitmap/corvexbitmap.h"

#include "bitmap/compressedblock.h"

#include <QHash>
#include <QPainter>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <new>
#include <utility>

namespace warplon {

namespace {

constexpr int kTableSize = 256;
// Loaded pictures of up to 8 bits keep at most this many colours of their 256-entry table.
constexpr int kLoadedColors = 250;

QRgb FromTColor(int32_t tcolor)
{
    return qRgb(tcolor & 0xff, (tcolor >> 8) & 0xff, (tcolor >> 16) & 0xff);
}

int ColorDistance(QRgb a, QRgb b)
{
    const int dr = qRed(a) - qRed(b);
    const int dg = qGreen(a) - qGreen(b);
    const int db = qBlue(a) - qBlue(b);
    return dr * dr + dg * dg + db * db;
}

// The first table entry closest to the colour (among the first `count` entries).
int NearestIndex(const QList<QRgb> &table, qsizetype count, QRgb color)
{
    int best = 0;
    int bestDistance = INT_MAX;
    for (qsizetype i = 0; i < std::min(count, table.size()); ++i) {
        const int distance = ColorDistance(table[i], color);
        if (distance < bestDistance) {
            best = int(i);
            bestDistance = distance;
            if (distance == 0)
                break;
        }
    }
    return best;
}

QList<QRgb> FullTable(const QList<QRgb> *palette)
{
    QList<QRgb> table(kTableSize, qRgb(0, 0, 0));
    for (int i = 0; i < kTableSize; ++i) {
        if (palette == nullptr)
            table[i] = qRgb(i, i, i);
        else if (i < palette->size())
            table[i] = palette->at(i) | 0xff000000u;
    }
    return table;
}

bool IsEightBit(const QImage &image)
{
    return image.format() == QImage::Format_Indexed8;
}

// A 32-bit picture mapped onto a colour table, every pixel to its nearest entry.
QImage MapToTable(const QImage &source, const QList<QRgb> &table)
{
    const QImage rgb = source.convertToFormat(QImage::Format_RGB32);
    QImage result(rgb.size(), QImage::Format_Indexed8);
    if (rgb.isNull() || result.isNull())
        return QImage();
    result.setColorTable(table);
    QHash<QRgb, uchar> nearest;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        uchar *out = result.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            auto found = nearest.constFind(in[x]);
            if (found == nearest.constEnd())
                found = nearest.insert(in[x], uchar(NearestIndex(table, table.size(), in[x])));
            out[x] = found.value();
        }
    }
    return result;
}

void FillArea(QImage &image, const QRect &rectangle, int32_t tcolor)
{
    const QRect area = rectangle & image.rect();
    if (area.isEmpty())
        return;
    if (IsEightBit(image)) {
        const auto index = uchar(NearestIndex(image.colorTable(), kTableSize, FromTColor(tcolor)));
        for (int y = area.top(); y <= area.bottom(); ++y)
            std::memset(image.scanLine(y) + area.left(), index, size_t(area.width()));
        return;
    }
    const auto red = uchar(tcolor & 0xff);
    const auto green = uchar((tcolor >> 8) & 0xff);
    const auto blue = uchar((tcolor >> 16) & 0xff);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        uchar *pixel = image.scanLine(y) + 3 * area.left();
        for (int x = 0; x < area.width(); ++x, pixel += 3) {
            pixel[0] = blue;
            pixel[1] = green;
            pixel[2] = red;
        }
    }
}

// A picture of up to 8 bits reduced to the colours it uses, at most kLoadedColors of them: while
// there are too many, the two closest colours are merged into their average weighted by use.
QImage ReduceToEightBits(const QImage &loaded)
{
    QImage indexed = loaded.convertToFormat(QImage::Format_Indexed8);
    if (indexed.isNull())
        indexed = loaded.convertToFormat(QImage::Format_RGB32)
                      .convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    if (indexed.isNull())
        return QImage();
    const QList<QRgb> sourceTable = indexed.colorTable();

    std::array<int64_t, kTableSize> uses{};
    for (int y = 0; y < indexed.height(); ++y) {
        const uchar *row = indexed.constScanLine(y);
        for (int x = 0; x < indexed.width(); ++x)
            ++uses[row[x]];
    }

    struct Colour
    {
        double red, green, blue;
        int64_t weight;
        QRgb rgb() const { return qRgb(int(red + 0.5), int(green + 0.5), int(blue + 0.5)); }
    };
    std::vector<Colour> colours;
    for (int i = 0; i < kTableSize; ++i) {
        if (uses[i] == 0)
            continue;
        // An index beyond the file's table shows as black, as a viewer would show it.
        const QRgb rgb = i < sourceTable.size() ? sourceTable[i] : qRgb(0, 0, 0);
        auto same = std::find_if(colours.begin(), colours.end(), [&](const Colour &c) {
            return (c.rgb() & 0xffffffu) == (rgb & 0xffffffu);
        });
        if (same != colours.end())
            same->weight += uses[i];
        else
            colours.push_back(
                {double(qRed(rgb)), double(qGreen(rgb)), double(qBlue(rgb)), uses[i]});
    }
    while (colours.size() > size_t(kLoadedColors)) {
        size_t keep = 0;
        size_t merge = 1;
        int bestDistance = INT_MAX;
        for (size_t i = 0; i < colours.size(); ++i) {
            for (size_t j = i + 1; j < colours.size(); ++j) {
                const int distance = ColorDistance(colours[i].rgb(), colours[j].rgb());
                if (distance < bestDistance) {
                    bestDistance = distance;
                    keep = i;
                    merge = j;
                }
            }
        }
        Colour &a = colours[keep];
        const Colour &b = colours[merge];
        const double total = double(a.weight + b.weight);
        a.red = (a.red * double(a.weight) + b.red * double(b.weight)) / total;
        a.green = (a.green * double(a.weight) + b.green * double(b.weight)) / total;
        a.blue = (a.blue * double(a.weight) + b.blue * double(b.weight)) / total;
        a.weight += b.weight;
        colours.erase(colours.begin() + qsizetype(merge));
    }

    QList<QRgb> table(kTableSize, qRgb(0, 0, 0));
    for (size_t i = 0; i < colours.size(); ++i)
        table[qsizetype(i)] = colours[i].rgb();
    std::array<uchar, kTableSize> remap{};
    for (int i = 0; i < kTableSize; ++i) {
        if (uses[i] > 0) {
            const QRgb rgb = i < sourceTable.size() ? sourceTable[i] : qRgb(0, 0, 0);
            remap[i] = uchar(NearestIndex(table, qsizetype(colours.size()), rgb));
        }
    }

    QImage result(indexed.size(), QImage::Format_Indexed8);
    if (result.isNull())
        return QImage();
    result.setColorTable(table);
    for (int y = 0; y < indexed.height(); ++y) {
        const uchar *in = indexed.constScanLine(y);
        uchar *out = result.scanLine(y);
        for (int x = 0; x < indexed.width(); ++x)
            out[x] = remap[in[x]];
    }
    return result;
}

} // namespace

TCorvexBitmap::TCorvexBitmap() = default;

TCorvexBitmap::~TCorvexBitmap()
{
    endPainting();
}

TCorvexBitmap::TCorvexBitmap(TCorvexBitmap &&other) noexcept
{
    *this = std::move(other);
}

TCorvexBitmap &TCorvexBitmap::operator=(TCorvexBitmap &&other) noexcept
{
    if (this == &other)
        return *this;
    // A painter stays bound to the object it was leased from, so both stop painting; the leases
    // and row accesses themselves stay with their objects.
    endPainting();
    other.endPainting();
    m_image = std::exchange(other.m_image, QImage());
    m_region = std::exchange(other.m_region, QRegion());
    onChange = std::move(other.onChange);
    return *this;
}

bool TCorvexBitmap::Create(int width, int height, const QList<QRgb> *palette, int bitsPerPixel)
{
    Free();
    if ((bitsPerPixel != 8 && bitsPerPixel != 24)
        || !BitmapSizeAllowed(width, height, bitsPerPixel))
        return false;
    QImage image(width, height,
                 bitsPerPixel == 8 ? QImage::Format_Indexed8 : QImage::Format_BGR888);
    if (image.isNull())
        return false;
    if (bitsPerPixel == 8)
        image.setColorTable(FullTable(palette));
    std::memset(image.bits(), 0, size_t(image.sizeInBytes()));
    setImage(std::move(image));
    changed();
    return true;
}

bool TCorvexBitmap::CreateIfDifferent(int width, int height, const QList<QRgb> *palette,
                                      int bitsPerPixel)
{
    if (IsAllocated() && Width() == width && Height() == height && BitsPerPixel() == bitsPerPixel)
        return true;
    return Create(width, height, palette, bitsPerPixel);
}

void TCorvexBitmap::Free()
{
    endPainting();
    m_image = QImage();
    m_region = QRegion();
}

int TCorvexBitmap::Width() const
{
    return m_image.width();
}

int TCorvexBitmap::Height() const
{
    return m_image.height();
}

int TCorvexBitmap::BitsPerPixel() const
{
    return m_image.isNull() ? 0 : m_image.depth();
}

int TCorvexBitmap::BytesPerLine() const
{
    return m_image.isNull() ? 0 : int(m_image.bytesPerLine());
}

QPainter *TCorvexBitmap::GetDC()
{
    if (m_painter || m_image.isNull())
        return nullptr;
    auto painter = std::make_unique<QPainter>();
    QPaintDevice *device = &m_image;
    // Qt cannot paint on indexed pixels: paint on a 32-bit copy and map it back on release.
    if (IsEightBit(m_image)) {
        m_paintCopy = m_image.convertToFormat(QImage::Format_RGB32);
        device = &m_paintCopy;
    }
    if (!painter->begin(device)) {
        m_paintCopy = QImage();
        return nullptr;
    }
    m_painter = std::move(painter);
    return m_painter.get();
}

void TCorvexBitmap::ReleaseDC(QPainter *dc)
{
    if (dc == nullptr || dc != m_painter.get())
        return;
    if (m_painter->isActive()) {
        m_painter->end();
        if (!m_paintCopy.isNull() && m_paintCopy.size() == m_image.size()) {
            // Pixels whose colour did not change keep their index, so duplicate table entries
            // survive a lease untouched.
            const QList<QRgb> table = m_image.colorTable();
            QHash<QRgb, uchar> nearest;
            for (int y = 0; y < m_image.height(); ++y) {
                const auto *painted = reinterpret_cast<const QRgb *>(m_paintCopy.constScanLine(y));
                uchar *row = m_image.scanLine(y);
                for (int x = 0; x < m_image.width(); ++x) {
                    const QRgb colour = painted[x] | 0xff000000u;
                    if (row[x] < table.size() && (table[row[x]] | 0xff000000u) == colour)
                        continue;
                    auto found = nearest.constFind(colour);
                    if (found == nearest.constEnd())
                        found = nearest.insert(colour,
                                               uchar(NearestIndex(table, table.size(), colour)));
                    row[x] = found.value();
                }
            }
        }
    }
    m_paintCopy = QImage();
    m_painter.reset();
}

bool TCorvexBitmap::GetColors(int first, int count, RGBQUAD *colors) const
{
    if (!IsEightBit(m_image) || first < 0 || count < 0 || first > kTableSize - count
        || (count > 0 && colors == nullptr))
        return false;
    const QList<QRgb> table = m_image.colorTable();
    for (int i = 0; i < count; ++i) {
        const QRgb rgb = first + i < table.size() ? table[first + i] : qRgb(0, 0, 0);
        colors[i] = RGBQUAD{uint8_t(qBlue(rgb)), uint8_t(qGreen(rgb)), uint8_t(qRed(rgb)), 0};
    }
    return true;
}

bool TCorvexBitmap::SetColors(int first, int count, const RGBQUAD *colors)
{
    if (!IsEightBit(m_image) || first < 0 || count < 0 || first > kTableSize - count
        || (count > 0 && colors == nullptr))
        return false;
    QList<QRgb> table = m_image.colorTable();
    table.resize(kTableSize, qRgb(0, 0, 0));
    for (int i = 0; i < count; ++i)
        table[first + i] = qRgb(colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue);
    m_image.setColorTable(table);
    return true;
}

QList<QRgb> TCorvexBitmap::ColorTable() const
{
    return m_image.colorTable();
}

bool TCorvexBitmap::Fill(int32_t tcolor, const QRect &rectangle)
{
    if (m_image.isNull())
        return false;
    // The fill goes straight to the pixels inside the rectangle, so the selection region is
    // neither consulted nor disturbed.
    FillArea(m_image, rectangle, tcolor);
    return true;
}

bool TCorvexBitmap::ResizeCanvas(int width, int height, int32_t tcolor)
{
    if (m_image.isNull() || !BitmapSizeAllowed(width, height, BitsPerPixel()))
        return false;
    QImage canvas(width, height, m_image.format());
    if (canvas.isNull())
        return false;
    if (IsEightBit(m_image))
        canvas.setColorTable(m_image.colorTable());
    std::memset(canvas.bits(), 0, size_t(canvas.sizeInBytes()));
    FillArea(canvas, canvas.rect(), tcolor);
    const int rows = std::min(height, Height());
    const size_t bytes = size_t(std::min(width, Width())) * size_t(BitsPerPixel() / 8);
    for (int y = 0; y < rows; ++y)
        std::memcpy(canvas.scanLine(y), m_image.constScanLine(y), bytes);
    setImage(std::move(canvas));
    changed();
    return true;
}

bool TCorvexBitmap::Stretch(int width, int height)
{
    if (m_image.isNull() || !BitmapSizeAllowed(width, height, BitsPerPixel()))
        return false;
    QImage result;
    if (IsEightBit(m_image)) {
        const QImage smooth
            = m_image.convertToFormat(QImage::Format_RGB32)
                  .scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        result = MapToTable(smooth, m_image.colorTable());
    } else {
        result = m_image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                     .convertToFormat(QImage::Format_BGR888);
    }
    if (result.isNull() || result.size() != QSize(width, height))
        return false;
    setImage(std::move(result));
    changed();
    return true;
}

bool TCorvexBitmap::Copy(const TCorvexBitmap &source)
{
    if (&source == this)
        return IsAllocated();
    if (m_image.isNull() || source.m_image.isNull() || source.m_image.size() != m_image.size()
        || source.m_image.format() != m_image.format())
        return false;
    std::memcpy(m_image.bits(), source.m_image.constBits(), size_t(m_image.sizeInBytes()));
    return true;
}

std::optional<QRegion> TCorvexBitmap::SaveRegion(bool freeAfter)
{
    if (m_region.isEmpty())
        return std::nullopt;
    QRegion saved = m_region;
    if (freeAfter)
        m_region = QRegion();
    return saved;
}

void TCorvexBitmap::RestoreRegion(const QRegion &region)
{
    m_region = region;
}

void TCorvexBitmap::FreeRegion()
{
    m_region = QRegion();
}

void TCorvexBitmap::BeginRowAccess()
{
    if (m_rowAccess++ == 0 && IsAllocated())
        m_row.assign(size_t(BytesPerLine()), 0);
}

void TCorvexBitmap::EndRowAccess()
{
    if (m_rowAccess == 0)
        return;
    if (--m_rowAccess == 0)
        std::vector<uchar>().swap(m_row);
}

uchar *TCorvexBitmap::GetRow(int y)
{
    if (m_rowAccess == 0 || m_image.isNull() || y < 0 || y >= Height())
        return nullptr;
    // The bitmap may have been re-created inside the access; the buffer follows its row size.
    m_row.resize(size_t(BytesPerLine()));
    std::memcpy(m_row.data(), m_image.constScanLine(y), m_row.size());
    return m_row.data();
}

bool TCorvexBitmap::PutRow(int y)
{
    if (m_rowAccess == 0 || m_image.isNull() || y < 0 || y >= Height())
        return false;
    m_row.resize(size_t(BytesPerLine()));
    std::memcpy(m_image.scanLine(y), m_row.data(), m_row.size());
    return true;
}

bool TCorvexBitmap::LoadFromFile(const QString &fileName)
{
    QImage loaded;
    if (!loaded.load(fileName) || loaded.isNull())
        return false;
    const bool eightBit = loaded.depth() <= 8;
    if (!BitmapSizeAllowed(loaded.width(), loaded.height(), eightBit ? 8 : 24))
        return false;
    QImage result
        = eightBit ? ReduceToEightBits(loaded) : loaded.convertToFormat(QImage::Format_BGR888);
    if (result.isNull())
        return false;
    setImage(std::move(result));
    m_region = QRegion();
    changed();
    return true;
}

bool TCorvexBitmap::SaveToFile(const QString &fileName, int format) const
{
    if (m_image.isNull())
        return false;
    switch (format) {
    case kFileBmp:
        return m_image.save(fileName, "BMP");
    case kFileJpeg:
        // The program always saves JPEG at its best quality setting.
        return m_image.save(fileName, "JPG", 95);
    default:
        return false;
    }
}

bool TCorvexBitmap::ReadBlock(ByteReader &in, int method)
{
    if (m_image.isNull())
        return false;
    return ReadCompressedBlock(in, m_image.bits(), m_image.sizeInBytes(), method);
}

bool TCorvexBitmap::WriteBlock(ByteWriter &out, int method) const
{
    if (m_image.isNull())
        return false;
    return WriteCompressedBlock(out, m_image.constBits(), m_image.sizeInBytes(), method);
}

bool TCorvexBitmap::WriteBlock(ByteWriter &out, int method, const QRect &rectangle) const
{
    if (m_image.isNull() || rectangle.isEmpty() || !m_image.rect().contains(rectangle))
        return false;
    const int pixelBytes = BitsPerPixel() / 8;
    const size_t rowBytes = size_t(rectangle.width()) * size_t(pixelBytes);
    const size_t stride = (rowBytes + 3) / 4 * 4;
    std::vector<uchar> pixels;
    try {
        pixels.assign(stride * size_t(rectangle.height()), 0);
    } catch (const std::bad_alloc &) {
        return false;
    }
    for (int y = 0; y < rectangle.height(); ++y)
        std::memcpy(pixels.data() + stride * size_t(y),
                    m_image.constScanLine(rectangle.top() + y) + rectangle.left() * pixelBytes,
                    rowBytes);
    return WriteCompressedBlock(out, pixels.data(), qsizetype(pixels.size()), method);
}

void TCorvexBitmap::endPainting()
{
    if (m_painter && m_painter->isActive())
        m_painter->end();
    m_paintCopy = QImage();
}

void TCorvexBitmap::setImage(QImage image)
{
    endPainting();
    m_image = std::move(image);
    // Qt leaves the padding at the end of each row uninitialised; the pixel stream writes whole
    // rows, so the padding is zeroed to keep saved files deterministic.
    const qsizetype used = qsizetype(m_image.width()) * (m_image.depth() / 8);
    const qsizetype padding = m_image.bytesPerLine() - used;
    if (padding > 0) {
        for (int y = 0; y < m_image.height(); ++y)
            std::memset(m_image.scanLine(y) + used, 0, size_t(padding));
    }
}

void TCorvexBitmap::changed()
{
    if (onChange)
        onChange();
}

} // namespace warplon
