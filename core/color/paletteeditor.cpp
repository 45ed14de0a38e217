#include "color/paletteeditor.h"

#include "color/coloredit.h"
#include "color/palette.h"

namespace warplon {

namespace {

bool SameRgb(RGBQUAD a, RGBQUAD b)
{
    return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
}

} // namespace

PaletteEditor::PaletteEditor(TPalette &palette)
    : m_palette(palette)
{
    Show(2);
}

void PaletteEditor::Show(int index)
{
    const TColorData *entry = m_palette.GetColorData(index);
    if (index < 1 || !entry)
        return;
    m_chosen = index;
    m_origin.Copy(*entry);
    m_working = entry->color;
    m_runSnapshot = false;
}

void PaletteEditor::BeforeChange()
{
    if (m_runSnapshot)
        return;
    Snapshot(m_chosen);
    m_runSnapshot = true;
}

bool PaletteEditor::SetWorking(RGBQUAD rgb)
{
    rgb.rgbReserved = 0;
    m_working = rgb;
    const TColorData *entry = m_palette.GetColorData(m_chosen);
    if (SameRgb(entry->color, rgb))
        return false;
    BeforeChange();
    m_palette.SetNormal(m_chosen, rgb.rgbRed, rgb.rgbGreen, rgb.rgbBlue);
    return true;
}

bool PaletteEditor::ReturnToOrigin()
{
    m_working = m_origin.color;
    const bool written = SetEntry(m_origin);
    return written;
}

bool PaletteEditor::SetEntry(const TColorData &record)
{
    EndRun();
    const TColorData *entry = m_palette.GetColorData(m_chosen);
    if (entry->Compare(record)) {
        m_working = entry->color;
        return false;
    }
    BeforeChange();
    m_palette.SetColorData(m_chosen, record);
    m_working = record.color;
    EndRun();
    return true;
}

bool PaletteEditor::SetNearest(const TColorCatalog &first, const TColorCatalog &second)
{
    return SetEntry(NearestCatalogColor(first, second, m_working));
}

void PaletteEditor::Snapshot(int index)
{
    const TColorData *entry = m_palette.GetColorData(index);
    if (!entry)
        return;
    m_undo.emplace_back(index, TColorData());
    m_undo.back().second.Copy(*entry);
}

int PaletteEditor::Undo()
{
    if (m_undo.empty())
        return -1;
    const int index = m_undo.back().first;
    m_palette.SetColorData(index, m_undo.back().second);
    m_undo.pop_back();
    Show(index);
    return index;
}

} // namespace warplon
