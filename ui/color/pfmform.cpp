#include "color/pfmform.h"

#include "app/designhost.h"
#include "app/drivecombobox.h"
#include "app/messagebox.h"
#include "app/textbutton.h"
#include "base/safefile.h"
#include "color/colorcatalogs.h"
#include "color/dib256palette.h"
#include "color/paletteform.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace warplon {

namespace {

enum PfmText {
    PfmCaption = 0,
    PfmRead = 1,
    PfmMerge = 2,
    PfmDelete = 3,
    PfmImport = 4,
    PfmExport = 5,
    PfmFileName = 6,
    PfmNameEmpty = 7,
    PfmNameWildcard = 8,
    PfmNameFolder = 9,
    PfmNameExists = 10,
    PfmCannotRead = 11,
    PfmCannotWrite = 12,
    PfmCannotRename = 13,
    PfmAskDelete = 14,
    PfmSaveAsPrompt = 15,
    PfmGplFiles = 16,
    PfmHexFiles = 17,
    PfmNoColors = 18,
    PfmNoMagicLine = 19,
    PfmMissingValue = 20,
    PfmOutOfRange = 21,
    PfmLeftOut = 22,
    PfmExit = 23,
};

// Shared texts: the Save, Save As and Rename buttons and the rename box.
constexpr int32_t kCommonSave = 20;
constexpr int32_t kCommonSaveAs = 21;
constexpr int32_t kCommonRename = 23;
constexpr int32_t kCommonNewName = 75;
// "A palette file of this name already exists. Overwrite?"
constexpr int32_t kMessageOverwrite = 0;

// The preview grid shows four rows of fifteen colours, close together.
constexpr int kPreviewColumns = 15;
constexpr int kPreviewRows = 4;
constexpr int kPreviewTab = 1;

QString ParentEntry()
{
    return QStringLiteral("..");
}

} // namespace

TPFMForm::TPFMForm(DesignHost &host, TPaletteForm &paletteWindow, QWidget *parent)
    : QDialog(parent ? parent : &paletteWindow,
              Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_host(host)
    , m_window(paletteWindow)
{
    setObjectName(QStringLiteral("PFMForm"));
    LoadTable(m_texts, host.programDirectory(), host.language(),
              QStringLiteral("PaletteFileManager"));
    setWindowTitle(m_texts.TextAt(PfmCaption));
    const TStringTable &common = host.commonTable();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->setSpacing(4);

    // The mode buttons, our exchange buttons and Exit.
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    sbRead = MakeTextButton(this, "sbRead", m_texts.TextAt(PfmRead), true);
    sbMerge = MakeTextButton(this, "sbMerge", m_texts.TextAt(PfmMerge), true);
    sbSave = MakeTextButton(this, "sbSave", common.TextAt(kCommonSave), true);
    sbSaveAs = MakeTextButton(this, "sbSaveAs", common.TextAt(kCommonSaveAs), true);
    sbRename = MakeTextButton(this, "sbRename", common.TextAt(kCommonRename), true);
    sbDelete = MakeTextButton(this, "sbDelete", m_texts.TextAt(PfmDelete), true);
    m_modes = new QButtonGroup(this);
    m_modes->setObjectName(QStringLiteral("RadioGroupMode"));
    const std::pair<QToolButton *, PaletteFileMode> modeButtons[] = {
        {sbRead, PaletteFileMode::Read},     {sbMerge, PaletteFileMode::Merge},
        {sbSave, PaletteFileMode::Save},     {sbSaveAs, PaletteFileMode::SaveAs},
        {sbRename, PaletteFileMode::Rename}, {sbDelete, PaletteFileMode::Delete},
    };
    for (const auto &[button, mode] : modeButtons) {
        m_modes->addButton(button, int(mode));
        buttons->addWidget(button);
    }
    buttons->addSpacing(8);
    sbImport = MakeTextButton(this, "sbImport", m_texts.TextAt(PfmImport));
    sbExport = MakeTextButton(this, "sbExport", m_texts.TextAt(PfmExport));
    buttons->addWidget(sbImport);
    buttons->addWidget(sbExport);
    buttons->addStretch();
    sbExit = MakeTextButton(this, "sbExit", m_texts.TextAt(PfmExit));
    buttons->addWidget(sbExit);
    layout->addLayout(buttons);

    // Left: drive, folder and sub-folders. Right: the name edit with its Save button and the
    // palette files.
    auto *lists = new QGridLayout;
    lists->setSpacing(4);
    DriveComboBox1 = new DriveComboBox(this);
    lbDirectory = new QLabel(this);
    lbDirectory->setObjectName(QStringLiteral("lbDirectory"));
    lbDirectory->setMinimumWidth(60);
    lbDirectory->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    DirectoryListBox = new QListWidget(this);
    DirectoryListBox->setObjectName(QStringLiteral("DirectoryListBox"));
    lbFileName = new QLabel(m_texts.TextAt(PfmFileName), this);
    lbFileName->setObjectName(QStringLiteral("lbFileName"));
    FileEdit = new QLineEdit(PaletteFileMask(), this);
    FileEdit->setObjectName(QStringLiteral("FileEdit"));
    sbFileSave = MakeTextButton(this, "sbFileSave", common.TextAt(kCommonSave));
    FileListBox = new QListWidget(this);
    FileListBox->setObjectName(QStringLiteral("FileListBox"));
    auto *nameRow = new QHBoxLayout;
    nameRow->setSpacing(4);
    nameRow->addWidget(lbFileName);
    nameRow->addWidget(FileEdit, 1);
    nameRow->addWidget(sbFileSave);
    lists->addWidget(DriveComboBox1, 0, 0);
    lists->addLayout(nameRow, 0, 1);
    lists->addWidget(lbDirectory, 1, 0);
    lists->addWidget(DirectoryListBox, 2, 0);
    lists->addWidget(FileListBox, 1, 1, 2, 1);
    lists->setColumnStretch(0, 1);
    lists->setColumnStretch(1, 1);
    lists->setRowStretch(2, 1);
    layout->addLayout(lists, 1);

    PaletteView = new TDIB256Palette(this);
    PaletteView->setObjectName(QStringLiteral("PaletteView"));
    PaletteView->SetXSquares(kPreviewColumns);
    PaletteView->SetYSquares(kPreviewRows);
    PaletteView->SetTab(kPreviewTab);
    PaletteView->setAcceptDrops(false);
    PaletteView->SetPaletteObject(&m_preview);
    PaletteView->setFixedHeight(PaletteView->sizeHint().height());
    layout->addWidget(PaletteView);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    StatusPanel0 = new QLabel(StatusBar);
    StatusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    StatusPanel0->setMinimumWidth(60);
    StatusPanel1 = new QLabel(StatusBar);
    StatusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
    for (QLabel *panel : {StatusPanel0, StatusPanel1})
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusBar->addWidget(StatusPanel0);
    StatusBar->addWidget(StatusPanel1, 1);
    layout->addWidget(StatusBar);

    connect(m_modes, &QButtonGroup::idClicked, this,
            [this](int id) { SetMode(PaletteFileMode(id)); });
    connect(sbExit, &QToolButton::clicked, this, &QDialog::close);
    connect(sbImport, &QToolButton::clicked, this, &TPFMForm::importWithDialog);
    connect(sbExport, &QToolButton::clicked, this, &TPFMForm::exportWithDialog);
    connect(sbFileSave, &QToolButton::clicked, this, &TPFMForm::SaveTypedName);
    connect(FileEdit, &QLineEdit::returnPressed, this, &TPFMForm::SaveTypedName);
    connect(DriveComboBox1, &DriveComboBox::driveChosen, this, &TPFMForm::SetFolder);
    connect(DirectoryListBox, &QListWidget::itemActivated, this, &TPFMForm::enterFolder);
    connect(FileListBox, &QListWidget::currentItemChanged, this, [this](QListWidgetItem *item) {
        if (item && !m_filling)
            PressFile(item->text());
    });
    // Only a double click acts: where the style activates items on a single click, that click
    // must still do no more than show the file.
    connect(FileListBox, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { ActOnFile(item->text()); });
    connect(PaletteView, &TDIB256Palette::cursorChanged, this, &TPFMForm::showHovered);

    const QString colorFolder = ColorCatalogs::ColorFolder(host.programDirectory());
    m_folder = QFileInfo(colorFolder).isDir() ? colorFolder : host.programDirectory();
    m_folder = QDir(m_folder).absolutePath();
    sbRead->setChecked(true);
    Refresh();
    resize(sizeHint().expandedTo(QSize(560, 400)));
}

TPFMForm::~TPFMForm() = default;

void TPFMForm::Open()
{
    Refresh();
    show();
    raise();
    activateWindow();
}

void TPFMForm::Refresh()
{
    DriveComboBox1->Reload();
    DriveComboBox1->SetDriveOf(m_folder);
    lbDirectory->setText(QDir::toNativeSeparators(m_folder));
    lbDirectory->setToolTip(lbDirectory->text());
    fillFolders();
    const QListWidgetItem *current = FileListBox->currentItem();
    fillFiles(current ? current->text() : QString());
}

void TPFMForm::SetFolder(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        return;
    m_folder = QDir(folder).absolutePath();
    Refresh();
}

QString TPFMForm::filePath(const QString &name) const
{
    return QDir(m_folder).filePath(name);
}

void TPFMForm::fillFolders()
{
    m_filling = true;
    DirectoryListBox->clear();
    QDir dir(m_folder);
    if (!dir.isRoot())
        DirectoryListBox->addItem(ParentEntry());
    DirectoryListBox->addItems(
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
    m_filling = false;
}

void TPFMForm::fillFiles(const QString &select)
{
    m_filling = true;
    FileListBox->clear();
    QDir dir(m_folder);
    dir.setNameFilters({PaletteFileMask()});
    const QStringList names = dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    FileListBox->addItems(names);
    const qsizetype row = names.indexOf(select);
    if (row >= 0)
        FileListBox->setCurrentRow(int(row));
    m_filling = false;
}

void TPFMForm::enterFolder(QListWidgetItem *item)
{
    if (!item)
        return;
    QDir dir(m_folder);
    if (item->text() == ParentEntry() ? dir.cdUp() : dir.cd(item->text()))
        SetFolder(dir.absolutePath());
}

void TPFMForm::showHovered(int index)
{
    const TColorData *entry = m_preview.GetColorData(index);
    if (!entry)
        return;
    // Numbers shown to the designer leave out entry 0; the values are those of the inks.
    StatusPanel0->setText(QString::number(index - 1));
    StatusPanel1->setText(QStringLiteral("%1 - %2 - %3")
                              .arg(255 - entry->color.rgbRed)
                              .arg(255 - entry->color.rgbGreen)
                              .arg(255 - entry->color.rgbBlue));
}

void TPFMForm::SetMode(PaletteFileMode mode)
{
    m_mode = mode;
    if (QAbstractButton *button = m_modes->button(int(mode)))
        button->setChecked(true);
    if (mode == PaletteFileMode::SaveAs) {
        saveAs();
        SetMode(PaletteFileMode::Read);
    }
}

void TPFMForm::PressFile(const QString &name)
{
    FileEdit->setText(name);
    StatusPanel0->clear();
    StatusPanel1->clear();
    // A fresh palette each time: the design palette is never touched by a look at a file.
    if (!ReadFreshPalette(filePath(name), m_preview))
        tell(m_texts.TextAt(PfmCannotRead) + QStringLiteral("\n")
             + QDir::toNativeSeparators(filePath(name)));
    PaletteView->update();
}

void TPFMForm::ActOnFile(const QString &name)
{
    switch (m_mode) {
    case PaletteFileMode::Read:
        readFile(name);
        return;
    case PaletteFileMode::Merge:
        mergeFile(name);
        break;
    case PaletteFileMode::Save:
        FileEdit->setText(name);
        if (!saveUnder(name))
            return;
        break;
    case PaletteFileMode::SaveAs:
        FileEdit->setText(name);
        saveAs();
        break;
    case PaletteFileMode::Rename:
        renameFile(name);
        break;
    case PaletteFileMode::Delete:
        deleteFile(name);
        break;
    }
    SetMode(PaletteFileMode::Read);
}

void TPFMForm::SaveTypedName()
{
    if (saveUnder(FileEdit->text()))
        SetMode(PaletteFileMode::Read);
}

void TPFMForm::readFile(const QString &name)
{
    if (!m_window.palette().LoadFromFile(filePath(name))) {
        tell(m_texts.TextAt(PfmCannotRead) + QStringLiteral("\n")
             + QDir::toNativeSeparators(filePath(name)));
        return;
    }
    paletteReplaced();
}

void TPFMForm::mergeFile(const QString &name)
{
    TPalette file;
    if (!ReadFreshPalette(filePath(name), file)) {
        tell(m_texts.TextAt(PfmCannotRead) + QStringLiteral("\n")
             + QDir::toNativeSeparators(filePath(name)));
        return;
    }
    if (MergePalette(m_window.palette(), file) > 0)
        paletteReplaced();
}

void TPFMForm::saveAs()
{
    // A mask in the edit is no name to offer.
    const QString typed = FileEdit->text().trimmed();
    const QString start
        = CheckPaletteName(typed) == PaletteNameProblem::None ? SaveFileName(typed) : QString();
    const std::optional<QString> name = askName(m_host.commonTable().TextAt(kCommonSaveAs),
                                                m_texts.TextAt(PfmSaveAsPrompt), start);
    if (!name)
        return;
    FileEdit->setText(*name);
    saveUnder(*name);
}

bool TPFMForm::saveUnder(const QString &typed)
{
    const PaletteSaveTarget target = PlanPaletteSave(QDir(m_folder), typed);
    if (!nameAccepted(target.problem))
        return false;
    if (target.overwrites) {
        QApplication::beep();
        const QMessageBox::StandardButton answer = ShowMessage(
            this, QMessageBox::Warning, windowTitle(),
            m_host.messageTable().TextAt(kMessageOverwrite), QMessageBox::Ok | QMessageBox::Cancel);
        if (answer != QMessageBox::Ok)
            return true;
    }
    if (!m_window.palette().SaveToFile(target.path)) {
        tell(m_texts.TextAt(PfmCannotWrite) + QStringLiteral("\n")
             + QDir::toNativeSeparators(target.path));
        return true;
    }
    // The list shows the file and the preview what it now holds.
    const QString saved = QFileInfo(target.path).fileName();
    fillFiles(saved);
    PressFile(saved);
    return true;
}

void TPFMForm::renameFile(const QString &name)
{
    const std::optional<QString> typed = askName(m_host.commonTable().TextAt(kCommonRename),
                                                 m_host.commonTable().TextAt(kCommonNewName), name);
    if (!typed)
        return;
    const PaletteRenameTarget target = PlanPaletteRename(QDir(m_folder), name, *typed);
    if (!nameAccepted(target.problem) || target.unchanged)
        return;
    if (!QFile::rename(filePath(name), target.newPath)) {
        tell(m_texts.TextAt(PfmCannotRename) + QStringLiteral("\n")
             + QDir::toNativeSeparators(filePath(name)));
        return;
    }
    FileEdit->setText(target.newName);
    fillFiles(target.newName);
}

void TPFMForm::deleteFile(const QString &name)
{
    const QMessageBox::StandardButton answer
        = ShowMessage(this, QMessageBox::Question, windowTitle(),
                      m_texts.TextAt(PfmAskDelete) + QStringLiteral("\n") + name,
                      QMessageBox::Ok | QMessageBox::Cancel);
    if (answer != QMessageBox::Ok)
        return;
    // To the trash, so that the designer can take it back.
    if (!QFile::moveToTrash(filePath(name))) {
        ShowMessage(this, QMessageBox::Critical, windowTitle(),
                    QStringLiteral("Unknown Error in ") + objectName());
        return;
    }
    if (FileEdit->text() == name)
        FileEdit->setText(PaletteFileMask());
    fillFiles(QString());
}

bool TPFMForm::ImportFile(const QString &path, PaletteTextFormat format)
{
    QByteArray text;
    if (!ReadWholeFile(path, text, kMaxPaletteTextSize)) {
        tell(m_texts.TextAt(PfmCannotRead) + QStringLiteral("\n") + QDir::toNativeSeparators(path));
        return false;
    }
    const PaletteImport imported = ParsePaletteText(text, format);
    switch (imported.problem) {
    case PaletteImportProblem::None:
        break;
    case PaletteImportProblem::NoColors:
        tell(m_texts.TextAt(PfmNoColors));
        return false;
    case PaletteImportProblem::NoMagicLine:
        tell(m_texts.TextAt(PfmNoMagicLine).arg(imported.line));
        return false;
    case PaletteImportProblem::MissingValue:
        tell(m_texts.TextAt(PfmMissingValue).arg(imported.line));
        return false;
    case PaletteImportProblem::OutOfRange:
        tell(m_texts.TextAt(PfmOutOfRange).arg(imported.line));
        return false;
    }
    TPalette &palette = m_window.palette();
    const int last = ApplyImportedColors(palette, imported);
    // The imported colours are design colours.
    palette.UseColor = uint16_t(std::max(int(palette.UseColor), last));
    paletteReplaced();
    if (imported.beyond > 0)
        tell(m_texts.TextAt(PfmLeftOut).arg(imported.beyond));
    return true;
}

bool TPFMForm::ExportFile(const QString &path, PaletteTextFormat format)
{
    const ColorCatalogs catalogs(m_host.programDirectory());
    const QByteArray text = ExportPaletteText(m_window.palette(), format, kImportableEntries,
                                              QFileInfo(path).completeBaseName(), &catalogs);
    if (!WriteFileAtomically(path, text)) {
        tell(m_texts.TextAt(PfmCannotWrite) + QStringLiteral("\n")
             + QDir::toNativeSeparators(path));
        return false;
    }
    return true;
}

namespace {

// The file dialog's filters for the two formats, GIMP palettes first.
QStringList exchangeFilters(const TStringTable &texts)
{
    return {texts.TextAt(PfmGplFiles) + QStringLiteral(" (*.gpl)"),
            texts.TextAt(PfmHexFiles) + QStringLiteral(" (*.hex *.css *.txt)")};
}

} // namespace

void TPFMForm::importWithDialog()
{
    const QStringList filters = exchangeFilters(m_texts);
    QString chosen = filters.first();
    const QString path = QFileDialog::getOpenFileName(this, sbImport->text(), m_folder,
                                                      filters.join(QStringLiteral(";;")), &chosen);
    if (path.isEmpty())
        return;
    ImportFile(path, chosen == filters.first() ? PaletteTextFormat::Gpl : PaletteTextFormat::Hex);
}

void TPFMForm::exportWithDialog()
{
    const QStringList filters = exchangeFilters(m_texts);
    QString chosen = filters.first();
    QString path = QFileDialog::getSaveFileName(this, sbExport->text(), m_folder,
                                                filters.join(QStringLiteral(";;")), &chosen);
    if (path.isEmpty())
        return;
    const bool gpl = chosen == filters.first();
    if (QFileInfo(path).suffix().isEmpty())
        path += gpl ? QStringLiteral(".gpl") : QStringLiteral(".hex");
    ExportFile(path, gpl ? PaletteTextFormat::Gpl : PaletteTextFormat::Hex);
}

void TPFMForm::paletteReplaced()
{
    m_window.Refresh();
    // The palette window tells the design views of its own edits this way; a palette read,
    // merged or imported here is such an edit.
    emit m_window.paletteEdited();
    m_host.DesignEdited(this);
}

void TPFMForm::tell(const QString &text)
{
    ShowMessage(this, QMessageBox::Warning, windowTitle(), text);
}

bool TPFMForm::nameAccepted(PaletteNameProblem problem)
{
    switch (problem) {
    case PaletteNameProblem::None:
        return true;
    case PaletteNameProblem::Empty:
        tell(m_texts.TextAt(PfmNameEmpty));
        break;
    case PaletteNameProblem::Wildcard:
        tell(m_texts.TextAt(PfmNameWildcard));
        break;
    case PaletteNameProblem::PathSeparator:
        tell(m_texts.TextAt(PfmNameFolder));
        break;
    case PaletteNameProblem::Exists:
        tell(m_texts.TextAt(PfmNameExists));
        break;
    }
    return false;
}

std::optional<QString> TPFMForm::askName(const QString &caption, const QString &prompt,
                                         const QString &start)
{
    if (m_askName)
        return m_askName(caption, prompt, start);
    bool ok = false;
    const QString name
        = QInputDialog::getText(this, caption, prompt, QLineEdit::Normal, start, &ok);
    if (!ok)
        return std::nullopt;
    return name;
}

} // namespace warplon
