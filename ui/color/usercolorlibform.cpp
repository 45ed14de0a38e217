#include "color/usercolorlibform.h"

#include "app/designhost.h"
#include "app/messagebox.h"
#include "app/textbutton.h"
#include "color/colorcatalogs.h"
#include "color/dib256palette.h"
#include "color/paletteform.h"
#include "color/usercolordataform.h"
#include "color/usercolordrag.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>

namespace warplon {

namespace {

enum LibText {
    LibRead = 0,
    LibSave = 1,
    LibSaveAs = 2,
    LibDelete = 3,
    LibRename = 4,
    LibExit = 5,
    LibLoadAll = 6,
    LibNew = 7,
    LibMakeFolder = 8,
    LibFileSave = 9,
    LibAdd = 10,
    LibEdit = 11,
    LibRemove = 12,
    LibFilter = 13,
    LibFolderName = 14,
    LibFileName = 15,
    LibFolderFailed = 16,
    LibRenameFailed = 17,
    LibHint = 18,
    LibPastLastEntry = 19,
};

// Common: the rename box's caption and prompt. Message: the overwrite question, Message 49 + the
// file's name + Message 4.
constexpr int32_t kCommonRename = 23;
constexpr int32_t kCommonNewName = 75;
constexpr int32_t kMessageFileQuote = 49;
constexpr int32_t kMessageAlreadyExists = 4;

constexpr int kCellWidth = 72;
constexpr int kCellHeight = 30;
// Rows shown even for a short collection, so the grid reads as a grid.
constexpr int kMinimumRows = 8;
// Width of the folder lists.
constexpr int kFolderWidth = 250;

// Draws each cell in its colour whether selected or not; a selected cell gets a frame.
class ColorCellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        const QVariant background = index.data(Qt::BackgroundRole);
        if (!background.isValid())
            return;
        painter->save();
        const QRect cell = option.rect.adjusted(2, 2, -2, -2);
        painter->fillRect(cell, background.value<QBrush>());
        painter->setPen(index.data(Qt::ForegroundRole).value<QBrush>().color());
        painter->drawText(cell.adjusted(3, 0, -3, 0), Qt::AlignCenter,
                          option.fontMetrics.elidedText(index.data().toString(), Qt::ElideRight,
                                                        cell.width() - 6));
        if (option.state & QStyle::State_Selected) {
            painter->setPen(QPen(option.palette.color(QPalette::Highlight), 2));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(option.rect.adjusted(1, 1, -1, -1));
        }
        painter->restore();
    }
};

} // namespace

// ---- TUserColorGrid ----

TUserColorGrid::TUserColorGrid(QWidget *parent)
    : QTableWidget(parent)
{
    setColumnCount(kColumns);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setDefaultSectionSize(kCellWidth);
    verticalHeader()->setDefaultSectionSize(kCellHeight);
    setShowGrid(false);
    setItemDelegate(new ColorCellDelegate(this));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setMinimumWidth(kColumns * kCellWidth + 2 * frameWidth() + 20);
    setMinimumHeight(kMinimumRows * kCellHeight / 2);
}

void TUserColorGrid::SetCollection(const UserColorCollection *collection)
{
    m_collection = collection;
    Refresh();
}

void TUserColorGrid::Refresh()
{
    clearSelection();
    const int count = m_collection ? m_collection->Count() : 0;
    const int rows = std::max((count + kColumns - 1) / kColumns, kMinimumRows);
    setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const int index = row * kColumns + column;
            auto *item = new QTableWidgetItem;
            if (index < count) {
                const UserColor &color = m_collection->Colors()[size_t(index)];
                const QString name = UserColorNameText(color.name);
                const TColor shown = RGBToTColor(color.color);
                item->setText(name);
                item->setBackground(
                    QColor(color.color.rgbRed, color.color.rgbGreen, color.color.rgbBlue));
                item->setForeground(TColorToBW(shown) != 0 ? Qt::white : Qt::black);
                item->setToolTip(QStringLiteral("%1\n%2 - %3 - %4")
                                     .arg(name)
                                     .arg(color.color.rgbRed)
                                     .arg(color.color.rgbGreen)
                                     .arg(color.color.rgbBlue));
                item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled);
            } else {
                item->setFlags(Qt::NoItemFlags);
            }
            setItem(row, column, item);
        }
    }
}

int TUserColorGrid::CellIndex(int row, int column) const
{
    if (!m_collection || row < 0 || column < 0 || column >= kColumns)
        return -1;
    const int index = row * kColumns + column;
    return index < m_collection->Count() ? index : -1;
}

int TUserColorGrid::IndexAt(QPoint point) const
{
    const QModelIndex index = indexAt(point);
    return index.isValid() ? CellIndex(index.row(), index.column()) : -1;
}

QRect TUserColorGrid::CellRect(int index) const
{
    if (index < 0)
        return QRect();
    return visualRect(model()->index(index / kColumns, index % kColumns));
}

std::vector<int> TUserColorGrid::SelectedIndices() const
{
    std::vector<int> indices;
    for (const QModelIndex &index : selectedIndexes()) {
        const int cell = CellIndex(index.row(), index.column());
        if (cell >= 0)
            indices.push_back(cell);
    }
    std::sort(indices.begin(), indices.end());
    return indices;
}

QMimeData *TUserColorGrid::DragData(const std::vector<int> &indices) const
{
    if (!m_collection)
        return nullptr;
    const std::vector<UserColor> colors = m_collection->Pick(indices);
    if (colors.empty())
        return nullptr;
    auto *drag = new QMimeData;
    drag->setData(UserColorDragMimeType(),
                  EncodeUserColorDrag(m_collection->CaptionBytes(), colors));
    return drag;
}

QStringList TUserColorGrid::mimeTypes() const
{
    return {UserColorDragMimeType()};
}

QMimeData *TUserColorGrid::mimeData(const QList<QTableWidgetItem *> &items) const
{
    std::vector<int> indices;
    for (const QTableWidgetItem *item : items) {
        if (item)
            indices.push_back(CellIndex(item->row(), item->column()));
    }
    return DragData(indices);
}

Qt::DropActions TUserColorGrid::supportedDropActions() const
{
    // A move would take the dragged cells out of the collection once the palette accepts them.
    return Qt::CopyAction;
}

// ---- TUserColorLibForm ----

TUserColorLibForm::TUserColorLibForm(DesignHost &host, TPaletteForm &paletteWindow, QWidget *parent)
    : QWidget(parent ? parent : &paletteWindow, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_host(host)
    , m_paletteWindow(paletteWindow)
{
    setObjectName(QStringLiteral("UserColorLibForm"));
    LoadTable(m_texts, host.programDirectory(), host.language(), QStringLiteral("UserColor"));
    m_folder = UserColorFolder(host.programDirectory());
    if (!QDir().mkpath(m_folder))
        m_folder = host.programDirectory();
    m_folder = QDir(m_folder).absolutePath();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    auto *top = new QHBoxLayout;
    top->setSpacing(2);
    sbNew = MakeTextButton(this, "sbNew", m_texts.TextAt(LibNew));
    sbLoadAll = MakeTextButton(this, "sbLoadAll", m_texts.TextAt(LibLoadAll));
    sbMakeFolder = MakeTextButton(this, "sbMakeFolder", m_texts.TextAt(LibMakeFolder));
    sbExit = MakeTextButton(this, "sbExit", m_texts.TextAt(LibExit));
    top->addWidget(sbNew);
    top->addWidget(sbLoadAll);
    top->addWidget(sbMakeFolder);
    top->addStretch();
    top->addWidget(sbExit);
    layout->addLayout(top);

    auto *middle = new QHBoxLayout;
    auto *files = new QVBoxLayout;
    files->setSpacing(3);
    DriveComboBox = new QComboBox(this);
    DriveComboBox->setObjectName(QStringLiteral("DriveComboBox"));
    files->addWidget(DriveComboBox);
    lbFolder = new QLabel(this);
    lbFolder->setObjectName(QStringLiteral("lbFolder"));
    // A long path is shortened in the middle rather than widening the window.
    lbFolder->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lbFolder->setMinimumWidth(kFolderWidth);
    files->addWidget(lbFolder);
    DirectoryListBox = new QListWidget(this);
    DirectoryListBox->setObjectName(QStringLiteral("DirectoryListBox"));
    files->addWidget(DirectoryListBox, 1);
    lbFilter = new QLabel(m_texts.TextAt(LibFilter), this);
    lbFilter->setObjectName(QStringLiteral("lbFilter"));
    files->addWidget(lbFilter);
    FileListBox = new QListWidget(this);
    FileListBox->setObjectName(QStringLiteral("FileListBox"));
    files->addWidget(FileListBox, 1);
    auto *nameRow = new QHBoxLayout;
    edFileName = new QLineEdit(m_mask, this);
    edFileName->setObjectName(QStringLiteral("edFileName"));
    sbFileSave = MakeTextButton(this, "sbFileSave", m_texts.TextAt(LibFileSave));
    nameRow->addWidget(edFileName, 1);
    nameRow->addWidget(sbFileSave);
    files->addLayout(nameRow);
    middle->addLayout(files);

    auto *colors = new QVBoxLayout;
    sgUserColor = new TUserColorGrid(this);
    sgUserColor->setObjectName(QStringLiteral("sgUserColor"));
    sgUserColor->SetCollection(&m_collection);
    sgUserColor->setContextMenuPolicy(Qt::CustomContextMenu);
    colors->addWidget(sgUserColor, 1);
    lbStatus = new QLabel(this);
    lbStatus->setObjectName(QStringLiteral("lbStatus"));
    lbStatus->setWordWrap(true);
    lbStatus->setMinimumHeight(2 * fontMetrics().lineSpacing() + 4);
    lbStatus->setMaximumWidth(sgUserColor->minimumWidth());
    colors->addWidget(lbStatus);
    middle->addLayout(colors, 1);
    layout->addLayout(middle, 1);

    auto *modes = new QHBoxLayout;
    modes->setSpacing(2);
    sbRead = MakeTextButton(this, "sbRead", m_texts.TextAt(LibRead), true);
    sbSave = MakeTextButton(this, "sbSave", m_texts.TextAt(LibSave), true);
    sbSaveAs = MakeTextButton(this, "sbSaveAs", m_texts.TextAt(LibSaveAs), true);
    sbDelete = MakeTextButton(this, "sbDelete", m_texts.TextAt(LibDelete), true);
    sbRename = MakeTextButton(this, "sbRename", m_texts.TextAt(LibRename), true);
    m_modes = new QButtonGroup(this);
    m_modes->addButton(sbRead, ModeRead);
    m_modes->addButton(sbSave, ModeSave);
    m_modes->addButton(sbSaveAs, ModeSaveAs);
    m_modes->addButton(sbDelete, ModeDelete);
    m_modes->addButton(sbRename, ModeRename);
    for (QToolButton *button : {sbRead, sbSave, sbSaveAs, sbDelete, sbRename})
        modes->addWidget(button);
    modes->addStretch();
    layout->addLayout(modes);

    pmUserColor = new QMenu(this);
    pmUserColor->setObjectName(QStringLiteral("pmUserColor"));
    pmAdd = pmUserColor->addAction(m_texts.TextAt(LibAdd));
    pmAdd->setObjectName(QStringLiteral("pmAdd"));
    pmEdit = pmUserColor->addAction(m_texts.TextAt(LibEdit));
    pmEdit->setObjectName(QStringLiteral("pmEdit"));
    pmRemove = pmUserColor->addAction(m_texts.TextAt(LibRemove));
    pmRemove->setObjectName(QStringLiteral("pmRemove"));

    connect(m_modes, &QButtonGroup::idClicked, this, [this](int id) { SetMode(Mode(id)); });
    connect(sbExit, &QToolButton::clicked, this, &QWidget::close);
    connect(sbLoadAll, &QToolButton::clicked, this, [this] { LoadAllOnPalette(); });
    connect(sbNew, &QToolButton::clicked, this, &TUserColorLibForm::NewCollection);
    connect(sbMakeFolder, &QToolButton::clicked, this, &TUserColorLibForm::MakeFolder);
    connect(sbFileSave, &QToolButton::clicked, this, &TUserColorLibForm::FileSave);
    connect(DriveComboBox, &QComboBox::activated, this,
            [this](int index) { SetFolder(DriveComboBox->itemData(index).toString()); });
    connect(DirectoryListBox, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        QDir dir(m_folder);
        if (dir.cd(item->text()))
            SetFolder(dir.absolutePath());
    });
    connect(FileListBox, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { edFileName->setText(item->text()); });
    connect(FileListBox, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { FileAction(item->text()); });
    connect(edFileName, &QLineEdit::returnPressed, this, [this] {
        const QString text = edFileName->text().trimmed();
        if (text.isEmpty())
            return;
        if (IsFileMask(text)) {
            m_mask = text;
            fillLists();
        } else {
            FileAction(text);
        }
    });
    connect(sgUserColor, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int column) { StoreOnPalette(sgUserColor->CellIndex(row, column)); });
    connect(sgUserColor, &QTableWidget::currentCellChanged, this,
            [this](int row, int column) { showCell(sgUserColor->CellIndex(row, column)); });
    connect(sgUserColor, &QWidget::customContextMenuRequested, this,
            &TUserColorLibForm::contextMenu);
    connect(pmAdd, &QAction::triggered, this, &TUserColorLibForm::AddColor);
    connect(pmEdit, &QAction::triggered, this, [this] { EditColor(m_menuCell); });
    connect(pmRemove, &QAction::triggered, this, &TUserColorLibForm::RemoveSelected);

    SetMode(ModeRead);
    fillDrives();
    Refresh();
    resize(sizeHint());
}

TUserColorLibForm::~TUserColorLibForm() = default;

void TUserColorLibForm::Refresh()
{
    fillLists();
    showCollection();
}

void TUserColorLibForm::SetMode(Mode mode)
{
    m_mode = mode;
    if (QAbstractButton *button = m_modes->button(mode))
        button->setChecked(true);
}

void TUserColorLibForm::SetFolder(const QString &folder)
{
    const QDir dir(folder);
    if (!dir.exists())
        return;
    m_folder = dir.absolutePath();
    fillLists();
}

void TUserColorLibForm::fillDrives()
{
    DriveComboBox->clear();
    for (const QFileInfo &drive : QDir::drives()) {
        const QString root = drive.absoluteFilePath();
        DriveComboBox->addItem(QDir::toNativeSeparators(root), root);
    }
}

void TUserColorLibForm::fillLists()
{
    const QDir dir(m_folder);
    const QString shown = QDir::toNativeSeparators(m_folder);
    lbFolder->setText(lbFolder->fontMetrics().elidedText(shown, Qt::ElideMiddle, kFolderWidth));
    lbFolder->setToolTip(shown);
    for (int i = 0; i < DriveComboBox->count(); ++i) {
        if (m_folder.startsWith(DriveComboBox->itemData(i).toString(), Qt::CaseInsensitive))
            DriveComboBox->setCurrentIndex(i);
    }
    DirectoryListBox->clear();
    if (!dir.isRoot())
        DirectoryListBox->addItem(QStringLiteral(".."));
    DirectoryListBox->addItems(
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
    FileListBox->clear();
    FileListBox->addItems(dir.entryList({m_mask}, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

void TUserColorLibForm::showCollection()
{
    setWindowTitle(m_collection.Caption());
    sgUserColor->Refresh();
    lbStatus->setText(m_texts.TextAt(LibHint));
}

void TUserColorLibForm::showCell(int index)
{
    if (index < 0 || index >= m_collection.Count()) {
        lbStatus->setText(m_texts.TextAt(LibHint));
        return;
    }
    const UserColor &color = m_collection.Colors()[size_t(index)];
    const QString code = UserColorCode(m_paletteWindow.catalogs(), color);
    lbStatus->setText(QStringLiteral("%1   %2%3 - %4 - %5")
                          .arg(UserColorNameText(color.name),
                               code.isEmpty() ? QString() : code + QStringLiteral("   "))
                          .arg(color.color.rgbRed)
                          .arg(color.color.rgbGreen)
                          .arg(color.color.rgbBlue));
}

QString TUserColorLibForm::pathOf(const QString &name) const
{
    return QDir(m_folder).absoluteFilePath(name);
}

void TUserColorLibForm::unknownError()
{
    ShowMessage(this, QMessageBox::Critical, windowTitle(),
                QStringLiteral("Unknown Error in ") + objectName());
}

std::optional<QString> TUserColorLibForm::askText(const QString &title, const QString &label,
                                                  const QString &text)
{
    QInputDialog dialog(this);
    dialog.setObjectName(QStringLiteral("InputDialog"));
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setTextValue(text);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QString answer = dialog.textValue().trimmed();
    if (answer.isEmpty())
        return std::nullopt;
    return answer;
}

bool TUserColorLibForm::mayWrite(const QString &path)
{
    const QFileInfo file(path);
    if (!file.exists() || file.absoluteFilePath() == m_collection.Path())
        return true;
    const TStringTable &messages = m_host.messageTable();
    return ShowMessage(this, QMessageBox::Warning, windowTitle(),
                       messages.TextAt(kMessageFileQuote) + file.fileName()
                           + messages.TextAt(kMessageAlreadyExists),
                       QMessageBox::Ok | QMessageBox::Cancel)
           == QMessageBox::Ok;
}

bool TUserColorLibForm::saveTo(const QString &path)
{
    if (!mayWrite(path))
        return false;
    if (!m_collection.Save(path)) {
        unknownError();
        return false;
    }
    edFileName->setText(m_collection.Caption());
    fillLists();
    showCollection();
    return true;
}

void TUserColorLibForm::FileAction(const QString &name)
{
    const QString path = pathOf(WithUserColorExtension(name));
    switch (m_mode) {
    case ModeRead:
        ReadFile(path);
        return;
    case ModeSave:
        saveTo(path);
        break;
    case ModeSaveAs:
        if (const std::optional<QString> answer = askText(
                m_texts.TextAt(LibSaveAs), m_texts.TextAt(LibFileName), QFileInfo(path).fileName()))
            saveTo(QFileInfo(path).dir().absoluteFilePath(WithUserColorExtension(*answer)));
        break;
    case ModeDelete:
        deleteFile(path);
        break;
    case ModeRename:
        renameFile(path);
        break;
    }
    SetMode(ModeRead);
}

bool TUserColorLibForm::ReadFile(const QString &path)
{
    const bool read = m_collection.Load(path);
    edFileName->setText(m_collection.Caption());
    showCollection();
    if (!read)
        unknownError();
    return read;
}

void TUserColorLibForm::deleteFile(const QString &path)
{
    // To the recycle bin, so that the designer can take it back.
    if (!QFile::moveToTrash(path))
        unknownError();
    fillLists();
}

void TUserColorLibForm::renameFile(const QString &path)
{
    const QFileInfo file(path);
    const std::optional<QString> answer
        = askText(m_host.commonTable().TextAt(kCommonRename),
                  m_host.commonTable().TextAt(kCommonNewName), file.fileName());
    if (!answer)
        return;
    const QString target = file.dir().absoluteFilePath(WithUserColorExtension(*answer));
    if (QFileInfo::exists(target) || !QFile::rename(path, target)) {
        ShowMessage(this, QMessageBox::Warning, windowTitle(), m_texts.TextAt(LibRenameFailed));
        return;
    }
    m_collection.FileRenamed(path, target);
    edFileName->setText(QFileInfo(target).fileName());
    fillLists();
    showCollection();
}

void TUserColorLibForm::NewCollection()
{
    m_collection.New();
    edFileName->setText(UserColorCollection::NewFileName());
    showCollection();
}

void TUserColorLibForm::FileSave()
{
    QString name = edFileName->text().trimmed();
    if (name.isEmpty() || IsFileMask(name)) {
        // No name typed: the collection's own file, or the one a new collection is offered.
        if (!m_collection.Path().isEmpty()) {
            saveTo(m_collection.Path());
            return;
        }
        name = UserColorCollection::NewFileName();
    }
    saveTo(pathOf(WithUserColorExtension(name)));
}

void TUserColorLibForm::MakeFolder()
{
    const std::optional<QString> name
        = askText(m_texts.TextAt(LibMakeFolder), m_texts.TextAt(LibFolderName), QString());
    if (!name)
        return;
    if (!QDir(m_folder).mkdir(*name)) {
        ShowMessage(this, QMessageBox::Warning, windowTitle(), m_texts.TextAt(LibFolderFailed));
        return;
    }
    fillLists();
}

void TUserColorLibForm::paletteChanged(int first, int count)
{
    // The palette window repaints, refreshes its editors and tells the design views, as after
    // colours dropped onto its grid.
    emit m_paletteWindow.Palette256->userColorsDropped(first, count);
}

int TUserColorLibForm::LoadAllOnPalette()
{
    if (m_collection.Count() == 0)
        return 0;
    const int chosen = m_paletteWindow.Palette256->ChoiceIndex();
    PaletteEditor &editor = m_paletteWindow.editor();
    const int stored = warplon::LoadAllOnPalette(m_collection.Colors(), m_paletteWindow.palette(),
                                                 chosen, m_collection.CaptionBytes(),
                                                 [&editor](int index) { editor.Snapshot(index); });
    if (stored > 0)
        paletteChanged(chosen, stored);
    else
        ShowMessage(this, QMessageBox::Information, windowTitle(),
                    m_texts.TextAt(LibPastLastEntry));
    return stored;
}

bool TUserColorLibForm::StoreOnPalette(int index)
{
    const std::vector<UserColor> colors = m_collection.Pick({index});
    if (colors.empty())
        return false;
    const int chosen = m_paletteWindow.Palette256->ChoiceIndex();
    PaletteEditor &editor = m_paletteWindow.editor();
    const int stored = warplon::LoadAllOnPalette(colors, m_paletteWindow.palette(), chosen,
                                                 m_collection.CaptionBytes(),
                                                 [&editor](int entry) { editor.Snapshot(entry); });
    if (stored == 0) {
        ShowMessage(this, QMessageBox::Information, windowTitle(),
                    m_texts.TextAt(LibPastLastEntry));
        return false;
    }
    paletteChanged(chosen, stored);
    return true;
}

void TUserColorLibForm::contextMenu(QPoint point)
{
    m_menuCell = sgUserColor->IndexAt(point);
    pmEdit->setEnabled(m_menuCell >= 0);
    pmRemove->setEnabled(m_menuCell >= 0 || !sgUserColor->SelectedIndices().empty());
    pmUserColor->popup(sgUserColor->viewport()->mapToGlobal(point));
}

std::optional<UserColor> TUserColorLibForm::defineColor(const UserColor &start, bool fresh)
{
    if (!m_dataWindow)
        m_dataWindow = new TUserColorDataForm(m_host, m_paletteWindow.catalogs(), this);
    if (fresh)
        m_dataWindow->NewColor(start);
    else
        m_dataWindow->SetColor(start);
    if (m_dataWindow->exec() != QDialog::Accepted)
        return std::nullopt;
    return m_dataWindow->Color();
}

void TUserColorLibForm::AddColor()
{
    // A new colour starts from the palette's chosen entry, under the name "Undefined".
    UserColor start;
    if (const TColorData *entry
        = m_paletteWindow.palette().GetColorData(m_paletteWindow.Palette256->ChoiceIndex())) {
        start.kind = entry->GetKind() & 15;
        start.page = entry->PageNumber;
        start.number = entry->ColorNumber;
        start.color = entry->color;
    }
    const std::optional<UserColor> color = defineColor(start, true);
    if (!color)
        return;
    m_collection.Append(*color);
    showCollection();
    const int added = m_collection.Count() - 1;
    sgUserColor->setCurrentCell(added / TUserColorGrid::kColumns, added % TUserColorGrid::kColumns);
}

void TUserColorLibForm::EditColor(int index)
{
    if (index < 0 || index >= m_collection.Count())
        return;
    const std::optional<UserColor> color = defineColor(m_collection.Colors()[size_t(index)], false);
    if (!color)
        return;
    m_collection.Replace(index, *color);
    showCollection();
    sgUserColor->setCurrentCell(index / TUserColorGrid::kColumns, index % TUserColorGrid::kColumns);
}

void TUserColorLibForm::RemoveSelected()
{
    std::vector<int> indices = sgUserColor->SelectedIndices();
    if (indices.empty() && m_menuCell >= 0)
        indices.push_back(m_menuCell);
    if (m_collection.Remove(indices) > 0)
        showCollection();
}

} // namespace warplon
