#pragma once

#include "color/usercolorlib.h"
#include "text/stringtable.h"

#include <QTableWidget>
#include <QWidget>

#include <optional>
#include <vector>

class QAction;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QToolButton;

namespace warplon {

class DesignHost;
class TPaletteForm;
class TUserColorDataForm;
struct ColorCatalogs;

// The colours of the open collection, five to a row. Selected cells can be dragged onto the
// palette grid, which takes them row by row; they are copied, never moved out of the collection.
class TUserColorGrid : public QTableWidget
{
    Q_OBJECT

public:
    static constexpr int kColumns = 5;

    explicit TUserColorGrid(QWidget *parent = nullptr);

    // Shows a collection (not owned; it must outlive the grid, or be replaced before it goes).
    void SetCollection(const UserColorCollection *collection);
    // Re-reads the collection.
    void Refresh();

    // The collection index of a cell, or -1 for a cell without a colour.
    int CellIndex(int row, int column) const;
    int IndexAt(QPoint point) const;
    // Where a colour's cell is drawn (viewport coordinates).
    QRect CellRect(int index) const;
    // Collection indices of the selected cells, in collection order.
    std::vector<int> SelectedIndices() const;
    // The drag data of the colours at these indices, as the palette grid accepts it.
    QMimeData *DragData(const std::vector<int> &indices) const;

protected:
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QList<QTableWidgetItem *> &items) const override;
    Qt::DropActions supportedDropActions() const override;

private:
    const UserColorCollection *m_collection = nullptr;
};

// The user colour library window: named colour collections kept in ".ucl" files, browsed in a
// folder list (starting in the "color" folder of the program directory), whose colours go onto
// the design palette of the palette window as user colours: dragged onto its grid, one by a
// double click into the chosen entry, or all from the chosen entry on. The colours are added,
// edited and removed through the grid's context menu and the user colour data window.
//
// The mode buttons say what a double click on a file does: Read opens it, Save writes the
// collection into it, Save As writes the collection under a name asked for, Delete moves the
// file to the recycle bin, Rename asks for its new name; after all but Read the mode returns to
// Read. "File Save" writes the collection under the name in the file name edit.
//
// The window is a child of the palette window, so that it takes input while the palette window
// is open as the modal colour picker.
class TUserColorLibForm : public QWidget
{
    Q_OBJECT

public:
    enum Mode { ModeRead = 0, ModeSave = 1, ModeSaveAs = 2, ModeDelete = 3, ModeRename = 4 };

    // Without a parent the window becomes a child of the palette window. The palette window
    // must outlive this one.
    TUserColorLibForm(DesignHost &host, TPaletteForm &paletteWindow, QWidget *parent = nullptr);
    ~TUserColorLibForm() override;

    // Re-reads the folder and the file list and redraws the collection.
    void Refresh();

    const UserColorCollection &collection() const { return m_collection; }
    Mode CurrentMode() const { return m_mode; }
    void SetMode(Mode mode);
    // The folder the lists show.
    QString Folder() const { return m_folder; }
    void SetFolder(const QString &folder);

    // What a double click on a file name of the current folder (or a path) does in the current
    // mode; a name without ".ucl" gets it.
    void FileAction(const QString &name);
    // Reads a ".ucl" file; a file that cannot be read, or ends inside a record, is told and
    // leaves the collection empty.
    bool ReadFile(const QString &path);
    // "New": an empty collection, offered to be saved as "noname.ucl".
    void NewCollection();
    // "File Save": writes the collection under the name in the file name edit.
    void FileSave();
    // "Make Folder": asks for a name and makes the folder in the current one.
    void MakeFolder();
    // "Load All on Palette": the colours from the palette's chosen entry on, up to entry 251,
    // each after an undo snapshot in the palette window. Returns how many were stored.
    int LoadAllOnPalette();
    // A double click on a cell: the colour goes into the palette's chosen entry (when that is
    // 251 or below) after an undo snapshot. Returns whether it was stored.
    bool StoreOnPalette(int index);
    // The grid's context menu: Add opens the data window on the palette's chosen colour and
    // appends, Edit opens it on a colour and replaces it, Remove takes the selected colours out.
    void AddColor();
    void EditColor(int index);
    void RemoveSelected();

    // The user colour data window of the last Add or Edit (null before the first); it is a
    // child of this window.
    TUserColorDataForm *dataWindow() const { return m_dataWindow; }
    // Controls, named as the program has always named them.
    QToolButton *sbRead = nullptr;
    QToolButton *sbSave = nullptr;
    QToolButton *sbSaveAs = nullptr;
    QToolButton *sbDelete = nullptr;
    QToolButton *sbRename = nullptr;
    QToolButton *sbExit = nullptr;
    QToolButton *sbLoadAll = nullptr;
    QToolButton *sbNew = nullptr;
    QToolButton *sbMakeFolder = nullptr;
    QToolButton *sbFileSave = nullptr;
    QComboBox *DriveComboBox = nullptr;
    QLabel *lbFolder = nullptr;
    QListWidget *DirectoryListBox = nullptr;
    QLabel *lbFilter = nullptr;
    QListWidget *FileListBox = nullptr;
    QLineEdit *edFileName = nullptr;
    TUserColorGrid *sgUserColor = nullptr;
    QLabel *lbStatus = nullptr;
    QMenu *pmUserColor = nullptr;
    QAction *pmAdd = nullptr;
    QAction *pmEdit = nullptr;
    QAction *pmRemove = nullptr;

private:
    void fillDrives();
    void fillLists();
    // The collection changed: grid and caption.
    void showCollection();
    void showCell(int index);
    void contextMenu(QPoint point);
    // The palette window repaints after entries first .. first + count - 1 changed.
    void paletteChanged(int first, int count);
    QString pathOf(const QString &name) const;
    // Asks for a text; nothing when cancelled or left empty.
    std::optional<QString> askText(const QString &title, const QString &label, const QString &text);
    // The overwrite question for an existing file; true to go on.
    bool mayWrite(const QString &path);
    bool saveTo(const QString &path);
    void deleteFile(const QString &path);
    void renameFile(const QString &path);
    // "Unknown Error in " and the window's name.
    void unknownError();
    // Opens the data window on a colour (a fresh one is named "Undefined"); the colour defined,
    // or nothing when cancelled.
    std::optional<UserColor> defineColor(const UserColor &start, bool fresh);

    DesignHost &m_host;
    TPaletteForm &m_paletteWindow;
    TStringTable m_texts;
    UserColorCollection m_collection;
    QString m_folder;
    QString m_mask = QStringLiteral("*.ucl");
    Mode m_mode = ModeRead;
    QButtonGroup *m_modes = nullptr;
    TUserColorDataForm *m_dataWindow = nullptr;
    // The cell the context menu was opened on (-1 for none).
    int m_menuCell = -1;
};

} // namespace warplon
