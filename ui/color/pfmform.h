#pragma once

#include "color/palette.h"
#include "color/paletteexchange.h"
#include "color/palettefiles.h"
#include "text/stringtable.h"

#include <QDialog>

#include <functional>
#include <optional>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QStatusBar;
class QToolButton;

namespace warplon {

class DesignHost;
class DriveComboBox;
class TDIB256Palette;
class TPaletteForm;

// The palette file manager: the palette files (".fcr") of a folder, a preview of the file
// pressed last, and the file operations on the design palette of the palette window. A double
// click on a file does what the mode button says: Read loads the file as the design palette,
// Merge adds its colours after the colours in use, Save writes the design palette over it,
// Rename and Delete act on the file. The Save button beside the name edit saves under the typed
// name; Save As asks for a name first. After each operation the mode is Read again.
//
// The window belongs to the palette window (a tool window of it), so that it takes input while
// the palette window is open as the modal colour picker.
class TPFMForm : public QDialog
{
    Q_OBJECT

public:
    // Asks the designer for a name: caption, prompt and the text to start with; nothing when
    // the designer cancels. Tests give their own.
    using NameAsker = std::function<std::optional<QString>(
        const QString &caption, const QString &prompt, const QString &start)>;

    // Without a parent the window is a child of the palette window.
    TPFMForm(DesignHost &host, TPaletteForm &paletteWindow, QWidget *parent = nullptr);
    ~TPFMForm() override;

    // Shows the window with the folder read again.
    void Open();
    // Reads the folder again: the drive, the sub-folders and the palette files.
    void Refresh();

    QString Folder() const { return m_folder; }
    // Lists another folder; a folder that does not exist is ignored.
    void SetFolder(const QString &folder);

    PaletteFileMode Mode() const { return m_mode; }
    // As the mode button does; Save As asks for the name and saves at once.
    void SetMode(PaletteFileMode mode);

    // The palette of the file pressed last.
    const TPalette &Preview() const { return m_preview; }
    // A file of the folder is pressed: its name goes to the name edit and it loads into the
    // preview.
    void PressFile(const QString &name);
    // A double click on a file of the folder: the operation of the mode.
    void ActOnFile(const QString &name);
    // The Save button beside the name edit.
    void SaveTypedName();

    // Import and Export without their file dialogs. Import fills entries 1, 2, ... of the
    // design palette with the colours of the file; Export writes entries 1 to 255.
    bool ImportFile(const QString &path, PaletteTextFormat format);
    bool ExportFile(const QString &path, PaletteTextFormat format);

    void SetNameAsker(NameAsker asker) { m_askName = std::move(asker); }

    // Controls, named as the program has always named them.
    QToolButton *sbRead = nullptr;
    QToolButton *sbMerge = nullptr;
    QToolButton *sbSave = nullptr;
    QToolButton *sbSaveAs = nullptr;
    QToolButton *sbRename = nullptr;
    QToolButton *sbDelete = nullptr;
    QToolButton *sbExit = nullptr;
    QToolButton *sbImport = nullptr;
    QToolButton *sbExport = nullptr;
    DriveComboBox *DriveComboBox1 = nullptr;
    QLabel *lbDirectory = nullptr;
    QListWidget *DirectoryListBox = nullptr;
    QListWidget *FileListBox = nullptr;
    QLabel *lbFileName = nullptr;
    QLineEdit *FileEdit = nullptr;
    QToolButton *sbFileSave = nullptr;
    TDIB256Palette *PaletteView = nullptr;
    QStatusBar *StatusBar = nullptr;
    QLabel *StatusPanel0 = nullptr;
    QLabel *StatusPanel1 = nullptr;

private:
    QString filePath(const QString &name) const;
    void fillFolders();
    void fillFiles(const QString &select);
    void enterFolder(QListWidgetItem *item);
    void showHovered(int index);

    void readFile(const QString &name);
    void mergeFile(const QString &name);
    void saveAs();
    // Saves the design palette under a typed name; false when nothing was written.
    bool saveUnder(const QString &typed);
    void renameFile(const QString &name);
    void deleteFile(const QString &name);
    void importWithDialog();
    void exportWithDialog();

    // The design palette changed as a whole: the palette window and the design views show it.
    void paletteReplaced();
    // A message box with the window's caption.
    void tell(const QString &text);
    // The designer was told why a name cannot be used; true when it can.
    bool nameAccepted(PaletteNameProblem problem);
    std::optional<QString> askName(const QString &caption, const QString &prompt,
                                   const QString &start);

    DesignHost &m_host;
    TPaletteForm &m_window;
    TStringTable m_texts;
    TPalette m_preview;
    QString m_folder;
    PaletteFileMode m_mode = PaletteFileMode::Read;
    QButtonGroup *m_modes = nullptr;
    NameAsker m_askName;
    // Set while the lists are filled, so that choosing an item there loads no preview.
    bool m_filling = false;
};

} // namespace warplon
