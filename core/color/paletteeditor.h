#pragma once

// The palette window's editing of the design palette, without the widgets: which entry is
// chosen, the working colour of the CMY and HLS editors, the colour the entry had when editing
// began, and the undo snapshots.
//
// An editing run is a stretch of changes the designer makes in one go (a drag, typing into one
// value, a catalogue button). Its first change keeps a copy of the entry for undo; the run ends
// at the mouse release, a committed value, a catalogue button, another entry or page, or an
// undo. Showing an entry never writes it, so a catalogue colour stays one until a value really
// changes.

#include "color/colordata.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace warplon {

class TColorCatalog;
class TPalette;

class PaletteEditor
{
public:
    // Starts with entry 2 chosen. The palette must outlive the editor.
    explicit PaletteEditor(TPalette &palette);

    TPalette &palette() { return m_palette; }
    const TPalette &palette() const { return m_palette; }

    int Chosen() const { return m_chosen; }
    // The entry becomes the chosen one and the editors take its colour, both as the working and
    // the origin colour. Ends the run; writes nothing. An index outside 1..255 is ignored.
    void Show(int index);

    RGBQUAD Working() const { return m_working; }
    const TColorData &Origin() const { return m_origin; }

    // The working colour changes. When it differs from the entry's colour the entry becomes
    // that free colour, after an undo snapshot if this is the run's first change. Returns true
    // when the entry was written.
    bool SetWorking(RGBQUAD rgb);
    void EndRun() { m_runSnapshot = false; }

    // Gives the entry back the record it had when it was shown (kind and code included). Ends
    // the run. False when the entry already holds it.
    bool ReturnToOrigin();

    // The chosen entry takes a record from a catalogue (a chip, a code search, a nearest-colour
    // button): a run of its own. False when the entry already holds exactly that record.
    bool SetEntry(const TColorData &record);
    // The nearest-colour buttons: see NearestCatalogColor.
    bool SetNearest(const TColorCatalog &first, const TColorCatalog &second);

    // Keeps a copy of an entry for undo regardless of the run (one per dropped user colour).
    void Snapshot(int index);

    bool CanUndo() const { return !m_undo.empty(); }
    int UndoCount() const { return int(m_undo.size()); }
    // Puts the newest snapshot back, makes its entry the chosen one and shows it. Returns the
    // entry's index, or -1 when there is nothing to undo.
    int Undo();

private:
    void BeforeChange();

    TPalette &m_palette;
    int m_chosen = 2;
    RGBQUAD m_working;
    TColorData m_origin;
    bool m_runSnapshot = false;
    std::vector<std::pair<int, TColorData>> m_undo;
};

} // namespace warplon
