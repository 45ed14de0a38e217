#include "knit/undostore.h"

#include "base/bytestream.h"
#include "knit/documentblock.h"

namespace warplon {

namespace {
// Snapshots are read as the newest design file writes its document block.
constexpr int32_t kSnapshotFileVersion = 102;
} // namespace

UndoStore::UndoStore(const QString &directory)
    : m_undoFile(directory + QStringLiteral("/temp.und"))
    , m_redoFile(directory + QStringLiteral("/temp.rnd"))
{
    recreate(m_undoFile);
    recreate(m_redoFile);
}

UndoStore::~UndoStore()
{
    m_undoFile.close();
    m_redoFile.close();
    m_undoFile.remove();
    m_redoFile.remove();
}

void UndoStore::recreate(QFile &file)
{
    file.close();
    file.open(QIODevice::ReadWrite | QIODevice::Truncate);
}

void UndoStore::Clear()
{
    recreate(m_undoFile);
    recreate(m_redoFile);
    m_undoOffsets.clear();
    m_redoOffsets.clear();
}

void UndoStore::append(QFile &file, std::vector<qint64> &offsets, const TexLayer &document)
{
    if (!file.isOpen())
        return;
    ByteWriter snapshot;
    WriteDocument(snapshot, document);
    const qint64 start = file.size();
    if (!file.seek(start) || file.write(snapshot.data()) != snapshot.data().size()) {
        file.resize(start);
        return;
    }
    offsets.push_back(start);
}

void UndoStore::takeLast(QFile &file, std::vector<qint64> &offsets, TexLayer &document)
{
    const qint64 start = offsets.back();
    if (!file.seek(start))
        return;
    const QByteArray snapshot = file.readAll();
    ByteReader reader(snapshot);
    ReadDocument(reader, document, kSnapshotFileVersion);
    offsets.pop_back();
    file.resize(start);
    file.seek(start);
}

void UndoStore::Push(const TexLayer &document)
{
    append(m_undoFile, m_undoOffsets, document);
    recreate(m_redoFile);
    m_redoOffsets.clear();
}

void UndoStore::Undo(TexLayer &document)
{
    if (!CanUndo())
        return;
    append(m_redoFile, m_redoOffsets, document);
    takeLast(m_undoFile, m_undoOffsets, document);
}

void UndoStore::Redo(TexLayer &document)
{
    if (!CanRedo())
        return;
    append(m_undoFile, m_undoOffsets, document);
    takeLast(m_redoFile, m_redoOffsets, document);
}

} // namespace warplon
