#pragma once

#include "app/filelisting.h"
#include "text/stringtable.h"

#include <QDialog>
#include <QIcon>
#include <QPixmap>

#include <array>
#include <functional>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QModelIndex;
class QProgressBar;
class QStackedWidget;
class QStandardItem;
class QStandardItemModel;
class QStatusBar;
class QToolButton;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;

namespace warplon {

class DriveComboBox;

// What the main window does for the file manager: read a design, complete a typed name for a
// file type, and write the design. A missing function disables the commands that need it.
struct FileManagerCallbacks
{
    // Reads a design; false when it was refused (the callback told the designer why).
    std::function<bool(const QString &path)> load;
    std::function<QString(const QString &name, int filterIndex)> completeName;
    // Writes the design; false when it failed (the callback told the designer why).
    std::function<bool(const QString &path, int compression)> save;
};

// The file manager: the design files of a folder with their previews, and the commands that
// read, save, rename and delete them and make folders. Reading and writing the design itself is
// left to the callbacks. After every operation the list is read again and the mode is Read.
class TFileManagerForm : public QDialog
{
    Q_OBJECT

public:
    TFileManagerForm(const QString &programDirectory, const QString &language,
                     QWidget *parent = nullptr);
    ~TFileManagerForm() override;

    void SetCallbacks(FileManagerCallbacks callbacks);

    FileManagerMode Mode() const { return m_mode; }
    // As pressing the mode's button.
    void SetMode(FileManagerMode mode);
    FileViewType ViewType() const { return m_view; }
    void SetViewType(FileViewType view);

    QString Folder() const { return m_folder; }
    // Lists another folder; one that cannot be entered is ignored.
    void SetFolder(const QString &folder);
    // The file pressed last (empty when none).
    QString SelectedFile() const { return m_selected; }

    // The listed files in the order shown.
    const std::vector<DesignListEntry> &Entries() const { return m_entries; }
    // Whether the list was built without previews (Large View must read the files again).
    bool ListStale() const { return m_stale; }
    // How many times the files were read for the list.
    int ListReads() const { return m_listReads; }

    // The designer's actions, as the mouse gives them.
    void PressFile(const QString &name); // empty: pressing empty space
    void DoubleClickFile(const QString &name);
    void ClickColumn(int column);
    // The file's pop-up items.
    void PopupSave();
    void PopupDelete();
    void PopupRename(); // edits the pressed item's name in place
    void PopupProperties();
    // The folder tree's pop-up items, on the folder last pressed in the tree.
    void PressFolder(const QString &path);
    void FolderRename(const QString &newName);
    void FolderDelete();
    // The name of an item was edited in place.
    void RenameInPlace(const QString &oldName, const QString &newName);
    // The mouse is over this file in Large View (empty: over no file).
    void HoverFile(const QString &name);

    // Reads the folder again and rebuilds the list.
    void RebuildList(bool force = true);

    // Controls, named as the program has always named them.
    QToolButton *SpeedButtonRead = nullptr;
    QToolButton *SpeedButtonMerge = nullptr;
    QToolButton *SpeedButtonSave = nullptr;
    QToolButton *SpeedButtonSaveAs = nullptr;
    QToolButton *SpeedButtonDelete = nullptr;
    QToolButton *SpeedButtonMakeFolder = nullptr;
    QToolButton *SpeedButtonRename = nullptr;
    QToolButton *SpeedButtonExit = nullptr;
    DriveComboBox *DriveComboBox1 = nullptr;
    QComboBox *FilterComboBox = nullptr;
    QLabel *LabelDirectory = nullptr;
    QComboBox *ComboBoxView = nullptr;
    QWidget *NameRow = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *Edit4 = nullptr;
    QToolButton *SpeedButton4 = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QCheckBox *CompressCheckBox = nullptr;
    QTreeWidget *DirectoryListBox = nullptr;
    QStackedWidget *ListView = nullptr; // the icon views and the report, sharing one model
    QListView *ListViewIcons = nullptr;
    QTreeView *ListViewReport = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    std::array<QLabel *, 3> StatusPanels{};
    QMenu *PopupMenuFolder = nullptr;
    QMenu *PopupMenuFile = nullptr;

protected:
    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString filePath(const QString &name) const;
    void applyMode();
    void updateEnabling();
    void fillFolders();
    void fillModel();
    void showSpace();
    void actionButton();
    void readFile(const QString &name);
    void saveFile(const QString &typed);
    void renameFile(const QString &oldName, const QString &typed);
    void makeFolder(const QString &typed);
    void deletePath(const QString &path, bool folder);
    // Shows the message for a refused name; true when the name can be used.
    bool nameAccepted(const QString &typed);
    void unknownError();
    void finishOperation();
    QString entryName(const QModelIndex &index) const;
    void updateFolderShown();

    QString m_programDirectory;
    TStringTable m_texts;
    TStringTable m_common;
    TStringTable m_messages;
    FileManagerCallbacks m_callbacks;
    FileManagerMode m_mode = FileManagerMode::Read;
    FileViewType m_view = FileViewType::Large;
    QString m_folder;
    QString m_selected;
    QString m_selectedFolder;
    int32_t m_directoryIndex = 0;
    int m_filter = 0;
    bool m_stale = true;
    bool m_filling = false;
    int m_listReads = 0;
    QString m_builtFolder;
    int m_builtFilter = -1;
    std::vector<DesignListEntry> m_entries;
    std::array<bool, kFileColumnCount> m_sortAscending{};
    QStandardItemModel *m_model = nullptr;
    QButtonGroup *m_modes = nullptr;
    QIcon m_typeIcon;
    QPixmap m_blankPreview;
};

} // namespace warplon
