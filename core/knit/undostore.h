#pragma once

#include "knit/records.h"

#include <QFile>
#include <QString>

#include <vector>

namespace warplon {

// Whole snapshots of the design document in two scratch files, "temp.und" for undo and
// "temp.rnd" for redo, back to back; the offset lists say where each snapshot starts.
// Only the document (bars, yarns, yarn uses, repeat width) is kept, nothing of the header or
// the settings. Failing file operations report nothing and leave the lists as they are.
class UndoStore
{
public:
    // Creates both scratch files, empty, in `directory`.
    explicit UndoStore(const QString &directory);
    // Closes and deletes both scratch files.
    ~UndoStore();
    UndoStore(const UndoStore &) = delete;
    UndoStore &operator=(const UndoStore &) = delete;

    void Clear();
    bool CanUndo() const { return !m_undoOffsets.empty(); }
    bool CanRedo() const { return !m_redoOffsets.empty(); }
    int32_t UndoCount() const { return int32_t(m_undoOffsets.size()); }
    int32_t RedoCount() const { return int32_t(m_redoOffsets.size()); }

    // Keeps the document as it is before a change, and forgets every redo step.
    void Push(const TexLayer &document);
    // Steps back: the current document goes to the redo side, the last snapshot comes back.
    void Undo(TexLayer &document);
    // Steps forward: the mirror image of Undo.
    void Redo(TexLayer &document);

private:
    // Appends the document's snapshot at the end of `file`, recording where it starts.
    static void append(QFile &file, std::vector<qint64> &offsets, const TexLayer &document);
    // Reads the last snapshot of `file` into the document and cuts it off the file.
    static void takeLast(QFile &file, std::vector<qint64> &offsets, TexLayer &document);
    static void recreate(QFile &file);

    QFile m_undoFile;
    QFile m_redoFile;
    std::vector<qint64> m_undoOffsets;
    std::vector<qint64> m_redoOffsets;
};

} // namespace warplon
