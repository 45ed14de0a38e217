#include "app/filemanagerform.h"

#include "app/drivecombobox.h"
#include "app/filepreferbox.h"
#include "app/messagebox.h"
#include "app/textbutton.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QStorageInfo>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace warplon {

namespace {

// Texts of section "FileManager".
enum FmText {
    FmCaption = 0,
    FmMerge = 1,
    FmDelete = 2,
    FmRead = 3,
    FmFileName = 4,
    FmFolderName = 5,
    FmMakeFolder = 6,
    FmExit = 7,
    FmLargeView = 8,
    FmSmallView = 9,
    FmColumnName = 10,
    FmColumnDate = 11,
    FmCreate = 12,
    FmListView = 13,
    FmReportView = 14,
    FmCompression = 15,
    FmProperties = 16,
    FmAskTrash = 17,
    FmAskDeleteForGood = 18,
    FmColumnNote = 19,
    FmNameFolder = 20,
    FmNameEmpty = 21,
};

constexpr int32_t kCommonSave = 20;
constexpr int32_t kCommonSaveAs = 21;
constexpr int32_t kCommonRename = 23;
constexpr int32_t kCommonSize = 31;
constexpr int32_t kMessageExistsEnd = 4;
constexpr int32_t kMessageFileStart = 49;
constexpr int32_t kMessageReplaceDesign = 75;

constexpr int kNameRole = Qt::UserRole + 1;
constexpr int kPathRole = Qt::UserRole + 2;

// The icon of design files: a sheet with a zigzag of lapping across it.
QPixmap DrawTypeIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, size > 16);
    const qreal s = size / 16.0;
    const QPolygonF sheet{QPointF(2 * s, 0.5 * s), QPointF(10.5 * s, 0.5 * s),
                          QPointF(14 * s, 4 * s), QPointF(14 * s, 15.5 * s),
                          QPointF(2 * s, 15.5 * s)};
    painter.setPen(QPen(QColor(64, 64, 64), std::max(1.0, s * 0.8)));
    painter.setBrush(QColor(255, 255, 250));
    painter.drawPolygon(sheet);
    painter.drawLine(QPointF(10.5 * s, 0.5 * s), QPointF(10.5 * s, 4 * s));
    painter.drawLine(QPointF(10.5 * s, 4 * s), QPointF(14 * s, 4 * s));
    const std::pair<QColor, qreal> laps[]
        = {{QColor(200, 30, 40), 6.0}, {QColor(30, 80, 200), 10.5}};
    for (const auto &[colour, y] : laps) {
        painter.setPen(QPen(colour, std::max(1.0, s * 1.3)));
        QPolygonF zigzag;
        for (int i = 0; i < 5; ++i)
            zigzag << QPointF((3.5 + i * 2.3) * s, (y + ((i % 2) ? 2.5 : 0)) * s);
        painter.drawPolyline(zigzag);
    }
    return pixmap;
}

} // namespace

TFileManagerForm::TFileManagerForm(const QString &programDirectory, const QString &language,
                                   QWidget *parent)
    : QDialog(parent)
    , m_programDirectory(programDirectory)
{
    setObjectName(QStringLiteral("FileManagerForm"));
    LoadTable(m_texts, programDirectory, language, QStringLiteral("FileManager"));
    LoadTable(m_common, programDirectory, language, QStringLiteral("Common"));
    LoadTable(m_messages, programDirectory, language, QStringLiteral("Message"));
    setWindowTitle(m_texts.TextAt(FmCaption));
    setSizeGripEnabled(true);

    m_typeIcon.addPixmap(DrawTypeIcon(16));
    m_typeIcon.addPixmap(DrawTypeIcon(32));
    m_blankPreview = QPixmap(kPreviewWidth, kPreviewHeight);
    m_blankPreview.fill(Qt::transparent);
    {
        QPainter painter(&m_blankPreview);
        painter.drawPixmap((kPreviewWidth - 32) / 2, (kPreviewHeight - 32) / 2, DrawTypeIcon(32));
    }

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->setSpacing(4);

    // The command buttons: one group, one pressed at a time, and Exit.
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    SpeedButtonRead = MakeTextButton(this, "SpeedButtonRead", m_texts.TextAt(FmRead), true);
    SpeedButtonMerge = MakeTextButton(this, "SpeedButtonMerge", m_texts.TextAt(FmMerge), true);
    SpeedButtonSave = MakeTextButton(this, "SpeedButtonSave", m_common.TextAt(kCommonSave), true);
    SpeedButtonSaveAs
        = MakeTextButton(this, "SpeedButtonSaveAs", m_common.TextAt(kCommonSaveAs), true);
    SpeedButtonDelete = MakeTextButton(this, "SpeedButtonDelete", m_texts.TextAt(FmDelete), true);
    SpeedButtonMakeFolder
        = MakeTextButton(this, "SpeedButtonMakeFolder", m_texts.TextAt(FmMakeFolder), true);
    SpeedButtonRename
        = MakeTextButton(this, "SpeedButtonRename", m_common.TextAt(kCommonRename), true);
    m_modes = new QButtonGroup(this);
    m_modes->setExclusive(true);
    const std::pair<QToolButton *, FileManagerMode> modeButtons[] = {
        {SpeedButtonRead, FileManagerMode::Read},
        {SpeedButtonMerge, FileManagerMode::Merge},
        {SpeedButtonSave, FileManagerMode::Save},
        {SpeedButtonSaveAs, FileManagerMode::SaveAs},
        {SpeedButtonDelete, FileManagerMode::Delete},
        {SpeedButtonMakeFolder, FileManagerMode::MakeFolder},
        {SpeedButtonRename, FileManagerMode::Rename},
    };
    for (const auto &[button, mode] : modeButtons) {
        m_modes->addButton(button, int(mode));
        buttons->addWidget(button);
    }
    buttons->addStretch();
    SpeedButtonExit = MakeTextButton(this, "SpeedButtonExit", m_texts.TextAt(FmExit));
    buttons->addWidget(SpeedButtonExit);
    layout->addLayout(buttons);

    // Drive, file type, folder and view.
    auto *places = new QHBoxLayout;
    DriveComboBox1 = new DriveComboBox(this);
    FilterComboBox = new QComboBox(this);
    FilterComboBox->setObjectName(QStringLiteral("FilterComboBox"));
    FilterComboBox->addItem(QStringLiteral("Tricot Files(*.trc)"));
    LabelDirectory = new QLabel(this);
    LabelDirectory->setObjectName(QStringLiteral("LabelDirectory"));
    LabelDirectory->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    LabelDirectory->setMinimumWidth(80);
    ComboBoxView = new QComboBox(this);
    ComboBoxView->setObjectName(QStringLiteral("ComboBoxView"));
    ComboBoxView->addItems({m_texts.TextAt(FmLargeView), m_texts.TextAt(FmSmallView),
                            m_texts.TextAt(FmListView), m_texts.TextAt(FmReportView)});
    places->addWidget(DriveComboBox1);
    places->addWidget(FilterComboBox);
    places->addWidget(LabelDirectory, 1);
    places->addWidget(ComboBoxView);
    layout->addLayout(places);

    // The name row.
    NameRow = new QWidget(this);
    NameRow->setObjectName(QStringLiteral("NameRow"));
    auto *nameRow = new QHBoxLayout(NameRow);
    nameRow->setContentsMargins(0, 0, 0, 0);
    Label4 = new QLabel(NameRow);
    Label4->setObjectName(QStringLiteral("Label4"));
    Edit4 = new QLineEdit(NameRow);
    Edit4->setObjectName(QStringLiteral("Edit4"));
    SpeedButton4 = MakeTextButton(NameRow, "SpeedButton4", QString());
    ProgressBar1 = new QProgressBar(NameRow);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setMaximumWidth(160);
    ProgressBar1->setTextVisible(false);
    CompressCheckBox = new QCheckBox(m_texts.TextAt(FmCompression), NameRow);
    CompressCheckBox->setObjectName(QStringLiteral("CompressCheckBox"));
    nameRow->addWidget(Label4);
    nameRow->addWidget(Edit4, 1);
    nameRow->addWidget(SpeedButton4);
    nameRow->addWidget(ProgressBar1);
    nameRow->addWidget(CompressCheckBox);
    layout->addWidget(NameRow);

    // The folder tree and the list, one model for the icon views and the report.
    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    DirectoryListBox = new QTreeWidget(splitter);
    DirectoryListBox->setObjectName(QStringLiteral("DirectoryListBox"));
    DirectoryListBox->setHeaderHidden(true);
    DirectoryListBox->setContextMenuPolicy(Qt::CustomContextMenu);
    DirectoryListBox->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_model = new QStandardItemModel(0, kFileColumnCount, this);
    m_model->setHorizontalHeaderLabels({m_texts.TextAt(FmColumnName), m_texts.TextAt(FmColumnNote),
                                        m_common.TextAt(kCommonSize),
                                        m_texts.TextAt(FmColumnDate)});
    ListView = new QStackedWidget(splitter);
    ListView->setObjectName(QStringLiteral("ListView"));
    ListViewIcons = new QListView(ListView);
    ListViewIcons->setObjectName(QStringLiteral("ListViewIcons"));
    ListViewIcons->setModel(m_model);
    ListViewIcons->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListViewIcons->setResizeMode(QListView::Adjust);
    ListViewIcons->setMovement(QListView::Static);
    ListViewIcons->setMouseTracking(true);
    ListViewReport = new QTreeView(ListView);
    ListViewReport->setObjectName(QStringLiteral("ListViewReport"));
    ListViewReport->setModel(m_model);
    ListViewReport->setRootIsDecorated(false);
    ListViewReport->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListViewReport->setUniformRowHeights(true);
    ListViewReport->header()->setSectionsClickable(true);
    ListViewReport->header()->setSortIndicatorShown(false);
    const int widths[kFileColumnCount] = {150, 200, 100, 150};
    for (int column = 0; column < kFileColumnCount; ++column)
        ListViewReport->setColumnWidth(column, widths[column]);
    for (QAbstractItemView *view :
         std::initializer_list<QAbstractItemView *>{ListViewIcons, ListViewReport}) {
        view->setEditTriggers(QAbstractItemView::EditKeyPressed);
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        view->viewport()->installEventFilter(this);
        ListView->addWidget(view);
    }
    splitter->addWidget(DirectoryListBox);
    splitter->addWidget(ListView);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({180, 560});
    layout->addWidget(splitter, 1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    for (size_t i = 0; i < StatusPanels.size(); ++i) {
        StatusPanels[i] = new QLabel(StatusBar1);
        StatusPanels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        StatusPanels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    StatusPanels[1]->setFixedWidth(120);
    StatusBar1->addWidget(StatusPanels[0], 1);
    StatusBar1->addWidget(StatusPanels[1]);
    StatusBar1->addWidget(StatusPanels[2], 1);
    layout->addWidget(StatusBar1);

    // The pop-up menus of folders and files.
    PopupMenuFolder = new QMenu(this);
    PopupMenuFolder->setObjectName(QStringLiteral("PopupMenuFolder"));
    QAction *folderRename = PopupMenuFolder->addAction(m_common.TextAt(kCommonRename));
    folderRename->setObjectName(QStringLiteral("pmFolderRename"));
    QAction *folderDelete = PopupMenuFolder->addAction(m_texts.TextAt(FmDelete));
    folderDelete->setObjectName(QStringLiteral("pmFolderDelete"));
    PopupMenuFile = new QMenu(this);
    PopupMenuFile->setObjectName(QStringLiteral("PopupMenuFile"));
    QAction *fileSave = PopupMenuFile->addAction(m_common.TextAt(kCommonSave));
    fileSave->setObjectName(QStringLiteral("pmFileSave"));
    QAction *fileDelete = PopupMenuFile->addAction(m_texts.TextAt(FmDelete));
    fileDelete->setObjectName(QStringLiteral("pmFileDelete"));
    QAction *fileRename = PopupMenuFile->addAction(m_common.TextAt(kCommonRename));
    fileRename->setObjectName(QStringLiteral("pmFileRename"));
    PopupMenuFile->addSeparator();
    QAction *fileProperties = PopupMenuFile->addAction(m_texts.TextAt(FmProperties));
    fileProperties->setObjectName(QStringLiteral("pmFileProperties"));

    connect(m_modes, &QButtonGroup::idClicked, this,
            [this](int id) { SetMode(FileManagerMode(id)); });
    connect(SpeedButtonExit, &QToolButton::clicked, this, &QDialog::reject);
    connect(Edit4, &QLineEdit::textChanged, this, &TFileManagerForm::updateEnabling);
    connect(Edit4, &QLineEdit::returnPressed, this, [this] {
        if (SpeedButton4->isEnabled() && NameRow->isVisible())
            SpeedButton4->click();
    });
    connect(SpeedButton4, &QToolButton::clicked, this, &TFileManagerForm::actionButton);
    connect(DriveComboBox1, &DriveComboBox::driveChosen, this, &TFileManagerForm::SetFolder);
    connect(FilterComboBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_filling || index < 0)
            return;
        m_filter = index;
        RebuildList(false);
    });
    connect(ComboBoxView, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_filling && index >= 0)
            SetViewType(FileViewType(index));
    });
    connect(DirectoryListBox, &QTreeWidget::itemPressed, this,
            [this](QTreeWidgetItem *item) { PressFolder(item->data(0, kPathRole).toString()); });
    connect(DirectoryListBox, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) {
        const QString path = item->data(0, kPathRole).toString();
        // Leave the tree's own double-click handling before the tree is filled again.
        QTimer::singleShot(0, this, [this, path] { SetFolder(path); });
    });
    connect(DirectoryListBox, &QTreeWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) {
                QTreeWidgetItem *item = DirectoryListBox->itemAt(pos);
                if (!item)
                    return;
                PressFolder(item->data(0, kPathRole).toString());
                PopupMenuFolder->popup(DirectoryListBox->viewport()->mapToGlobal(pos));
            });
    connect(DirectoryListBox, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem *item, int) {
        if (m_filling)
            return;
        const QString name = item->text(0);
        QTimer::singleShot(0, this, [this, name] { FolderRename(name); });
    });
    connect(folderRename, &QAction::triggered, this, [this] {
        QTreeWidgetItem *item = DirectoryListBox->currentItem();
        if (item && item->data(0, kPathRole).toString() == m_selectedFolder)
            DirectoryListBox->editItem(item);
    });
    connect(folderDelete, &QAction::triggered, this, &TFileManagerForm::FolderDelete);
    connect(fileSave, &QAction::triggered, this, &TFileManagerForm::PopupSave);
    connect(fileDelete, &QAction::triggered, this, &TFileManagerForm::PopupDelete);
    connect(fileRename, &QAction::triggered, this, &TFileManagerForm::PopupRename);
    connect(fileProperties, &QAction::triggered, this, &TFileManagerForm::PopupProperties);
    connect(m_model, &QStandardItemModel::itemChanged, this, [this](QStandardItem *item) {
        if (m_filling || item->column() != 0)
            return;
        const QString oldName = item->data(kNameRole).toString();
        const QString newName = item->text();
        if (oldName == newName)
            return;
        // The edit is still being committed: rename once the view is done with the item.
        QTimer::singleShot(0, this, [this, oldName, newName] { RenameInPlace(oldName, newName); });
    });
    for (QAbstractItemView *view :
         std::initializer_list<QAbstractItemView *>{ListViewIcons, ListViewReport}) {
        connect(view, &QAbstractItemView::pressed, this,
                [this](const QModelIndex &index) { PressFile(entryName(index)); });
        connect(view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
            const QString name = entryName(index);
            QTimer::singleShot(0, this, [this, name] { DoubleClickFile(name); });
        });
        connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint &pos) {
            const QModelIndex index = view->indexAt(pos);
            if (!index.isValid())
                return;
            PressFile(entryName(index));
            PopupMenuFile->popup(view->viewport()->mapToGlobal(pos));
        });
    }
    connect(ListViewIcons, &QListView::entered, this,
            [this](const QModelIndex &index) { HoverFile(entryName(index)); });
    connect(ListViewIcons, &QListView::viewportEntered, this, [this] { HoverFile(QString()); });
    connect(ListViewReport->header(), &QHeaderView::sectionClicked, this,
            &TFileManagerForm::ClickColumn);

    // The stored settings.
    const FileManagerSettings settings
        = ReadFileManagerSettings(programDirectory, FilterComboBox->count());
    m_folder = StartFolder(settings.directory, programDirectory);
    m_directoryIndex = settings.directoryIndex;
    m_filter = settings.filter;
    m_view = FileViewType(settings.viewType);
    CompressCheckBox->setChecked(settings.compress);
    m_filling = true;
    FilterComboBox->setCurrentIndex(m_filter);
    ComboBoxView->setCurrentIndex(int(m_view));
    m_filling = false;
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    setGeometry(PlaceDialog(settings.geometry, QSize(780, 540), screens));

    SetViewType(m_view);
    updateFolderShown();
    SetMode(FileManagerMode::Read);
    updateEnabling();
}

TFileManagerForm::~TFileManagerForm() = default;

void TFileManagerForm::SetCallbacks(FileManagerCallbacks callbacks)
{
    m_callbacks = std::move(callbacks);
    updateEnabling();
}

void TFileManagerForm::done(int result)
{
    FileManagerSettings settings;
    settings.directory = m_folder;
    settings.directoryIndex = m_directoryIndex;
    settings.compress = CompressCheckBox->isChecked();
    settings.geometry = geometry();
    settings.filter = m_filter;
    settings.viewType = int(m_view);
    WriteFileManagerSettings(m_programDirectory, settings);
    QDialog::done(result);
}

QString TFileManagerForm::filePath(const QString &name) const
{
    return QDir(m_folder).filePath(name);
}

void TFileManagerForm::updateEnabling()
{
    SpeedButtonRead->setEnabled(bool(m_callbacks.load));
    SpeedButtonMerge->setEnabled(false);
    const bool canSave = m_callbacks.completeName && m_callbacks.save;
    SpeedButtonSave->setEnabled(canSave);
    SpeedButtonSaveAs->setEnabled(canSave);
    SpeedButton4->setEnabled(!Edit4->text().isEmpty());
}

void TFileManagerForm::SetMode(FileManagerMode mode)
{
    m_mode = mode;
    if (QAbstractButton *button = m_modes->button(int(mode)))
        button->setChecked(true);
    applyMode();
}

void TFileManagerForm::applyMode()
{
    const auto show = [this](const QString &label, const QString &action, bool focus) {
        Label4->setText(label);
        SpeedButton4->setText(action);
        NameRow->setVisible(true);
        if (focus)
            Edit4->setFocus();
    };
    switch (m_mode) {
    case FileManagerMode::Read:
        show(m_texts.TextAt(FmRead), m_texts.TextAt(FmRead), false);
        break;
    case FileManagerMode::Merge:
        NameRow->setVisible(false);
        break;
    case FileManagerMode::Save:
        show(m_texts.TextAt(FmFileName), m_common.TextAt(kCommonSave), false);
        break;
    case FileManagerMode::SaveAs:
        show(m_texts.TextAt(FmFileName), m_common.TextAt(kCommonSaveAs), true);
        break;
    case FileManagerMode::Delete:
        break;
    case FileManagerMode::MakeFolder:
        show(m_texts.TextAt(FmFolderName), m_texts.TextAt(FmCreate), true);
        break;
    case FileManagerMode::Rename:
        show(m_texts.TextAt(FmFileName), m_common.TextAt(kCommonRename), true);
        break;
    }
}

void TFileManagerForm::SetViewType(FileViewType view)
{
    m_view = view;
    if (ComboBoxView->currentIndex() != int(view)) {
        m_filling = true;
        ComboBoxView->setCurrentIndex(int(view));
        m_filling = false;
    }
    switch (view) {
    case FileViewType::Large:
        ListViewIcons->setViewMode(QListView::IconMode);
        ListViewIcons->setIconSize(QSize(kPreviewWidth, kPreviewHeight));
        ListViewIcons->setGridSize(QSize(kPreviewWidth + 40, kPreviewHeight + 36));
        ListViewIcons->setWordWrap(true);
        break;
    case FileViewType::Small:
        ListViewIcons->setViewMode(QListView::ListMode);
        ListViewIcons->setFlow(QListView::LeftToRight);
        ListViewIcons->setWrapping(true);
        ListViewIcons->setIconSize(QSize(16, 16));
        ListViewIcons->setGridSize(QSize(150, 22));
        break;
    case FileViewType::List:
        ListViewIcons->setViewMode(QListView::ListMode);
        ListViewIcons->setFlow(QListView::TopToBottom);
        ListViewIcons->setWrapping(true);
        ListViewIcons->setIconSize(QSize(16, 16));
        ListViewIcons->setGridSize(QSize());
        break;
    case FileViewType::Report:
        break;
    }
    if (view != FileViewType::Large)
        ListViewIcons->setWordWrap(false);
    ListView->setCurrentWidget(view == FileViewType::Report
                                   ? static_cast<QWidget *>(ListViewReport)
                                   : static_cast<QWidget *>(ListViewIcons));
    if (!StatusPanels[2])
        return;
    StatusPanels[2]->clear();
    if (view == FileViewType::Large && m_stale && !m_builtFolder.isEmpty())
        RebuildList(true);
    else
        fillModel();
}

void TFileManagerForm::SetFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isExecutable())
        return;
    m_folder = QDir(folder).absolutePath();
    m_selected.clear();
    updateFolderShown();
    SetMode(FileManagerMode::Read);
}

void TFileManagerForm::updateFolderShown()
{
    LabelDirectory->setText(QDir::toNativeSeparators(m_folder));
    LabelDirectory->setToolTip(LabelDirectory->text());
    DriveComboBox1->SetDriveOf(m_folder);
    fillFolders();
    showSpace();
    RebuildList(false);
}

void TFileManagerForm::showSpace()
{
    const QStorageInfo storage(m_folder);
    StatusPanels[0]->setText(SpaceText(storage.bytesAvailable(), storage.bytesTotal()));
}

void TFileManagerForm::fillFolders()
{
    m_filling = true;
    DirectoryListBox->clear();
    // The folders from the root down to the current one, and the current one's sub-folders.
    QStringList chain;
    for (QDir dir(m_folder);;) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirIcon);
    QTreeWidgetItem *parent = nullptr;
    const auto add = [&](const QString &path) {
        const QString name = QFileInfo(path).fileName();
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(DirectoryListBox);
        item->setText(0, name.isEmpty() ? QDir::toNativeSeparators(path) : name);
        item->setIcon(0, folderIcon);
        item->setData(0, kPathRole, path);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        return item;
    };
    for (const QString &path : chain)
        parent = add(path);
    QTreeWidgetItem *current = parent;
    const QStringList subfolders = QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot,
                                                            QDir::Name | QDir::IgnoreCase);
    for (const QString &name : subfolders)
        add(QDir(m_folder).filePath(name));
    DirectoryListBox->expandAll();
    if (current)
        DirectoryListBox->setCurrentItem(current);
    m_directoryIndex = int32_t(chain.size() - 1);
    m_filling = false;
}

void TFileManagerForm::RebuildList(bool force)
{
    const bool large = m_view == FileViewType::Large;
    if (!force && m_builtFolder == m_folder && m_builtFilter == m_filter && !(large && m_stale))
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_entries.clear();
    const QStringList names = DesignFileNames(m_folder);
    m_entries.reserve(size_t(names.size()));
    ProgressBar1->setValue(0);
    for (qsizetype i = 0; i < names.size(); ++i) {
        m_entries.push_back(ReadListEntry(m_folder, names[i], large));
        // The bar moves in steps of 5.
        ProgressBar1->setValue(int((i + 1) * 20 / names.size()) * 5);
    }
    ++m_listReads;
    m_stale = !large;
    m_builtFolder = m_folder;
    m_builtFilter = m_filter;
    fillModel();
    ProgressBar1->setValue(0);
    QApplication::restoreOverrideCursor();
}

void TFileManagerForm::fillModel()
{
    m_filling = true;
    m_model->removeRows(0, m_model->rowCount());
    const bool large = m_view == FileViewType::Large;
    for (const DesignListEntry &entry : m_entries) {
        auto *name = new QStandardItem(entry.name);
        name->setData(entry.name, kNameRole);
        name->setEditable(true);
        if (large)
            name->setIcon(entry.preview.isNull() ? QIcon(m_blankPreview)
                                                 : QIcon(QPixmap::fromImage(entry.preview)));
        else
            name->setIcon(m_typeIcon);
        QList<QStandardItem *> row{name};
        for (const QString &text : {entry.noteText, entry.sizeText, entry.dateText}) {
            auto *item = new QStandardItem(text);
            item->setEditable(false);
            row.append(item);
        }
        m_model->appendRow(row);
    }
    m_filling = false;
}

QString TFileManagerForm::entryName(const QModelIndex &index) const
{
    if (!index.isValid())
        return {};
    return m_model->index(index.row(), 0).data(kNameRole).toString();
}

bool TFileManagerForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        for (QAbstractItemView *view :
             std::initializer_list<QAbstractItemView *>{ListViewIcons, ListViewReport}) {
            if (watched != view->viewport())
                continue;
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (!view->indexAt(mouse->position().toPoint()).isValid())
                PressFile(QString());
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFileManagerForm::PressFile(const QString &name)
{
    m_selected = name;
    if (!name.isEmpty())
        Edit4->setText(name);
    StatusPanels[1]->setText(name);
}

void TFileManagerForm::HoverFile(const QString &name)
{
    StatusPanels[2]->clear();
    if (m_view != FileViewType::Large || name.isEmpty())
        return;
    for (const DesignListEntry &entry : m_entries)
        if (entry.name == name) {
            StatusPanels[2]->setText(QStringLiteral(" Version ") + QString::number(entry.version));
            return;
        }
}

void TFileManagerForm::DoubleClickFile(const QString &name)
{
    if (name.isEmpty())
        return;
    PressFile(name);
    switch (m_mode) {
    case FileManagerMode::Read:
        readFile(name);
        break;
    case FileManagerMode::Save:
    case FileManagerMode::SaveAs:
        saveFile(name);
        break;
    case FileManagerMode::Delete:
        deletePath(filePath(name), false);
        break;
    case FileManagerMode::Merge:
    case FileManagerMode::MakeFolder:
    case FileManagerMode::Rename:
        break;
    }
}

void TFileManagerForm::ClickColumn(int column)
{
    if (column < 0 || column >= kFileColumnCount)
        return;
    bool &ascending = m_sortAscending[size_t(column)];
    ascending = !ascending;
    SortEntries(m_entries, FileColumn(column), ascending);
    fillModel();
}

void TFileManagerForm::actionButton()
{
    const QString typed = Edit4->text();
    if (typed.isEmpty())
        return;
    switch (m_mode) {
    case FileManagerMode::Read:
        if (nameAccepted(typed))
            readFile(m_callbacks.completeName ? m_callbacks.completeName(typed.trimmed(), m_filter)
                                              : typed.trimmed());
        break;
    case FileManagerMode::Save:
    case FileManagerMode::SaveAs:
        saveFile(typed);
        break;
    case FileManagerMode::Delete:
        if (nameAccepted(typed))
            deletePath(filePath(typed.trimmed()), false);
        break;
    case FileManagerMode::MakeFolder:
        makeFolder(typed);
        break;
    case FileManagerMode::Rename:
        renameFile(m_selected, typed);
        break;
    case FileManagerMode::Merge:
        break;
    }
}

void TFileManagerForm::readFile(const QString &name)
{
    if (!m_callbacks.load || name.isEmpty())
        return;
    const QMessageBox::StandardButton answer = ShowMessage(
        this, QMessageBox::Warning, windowTitle(), m_messages.TextAt(kMessageReplaceDesign),
        QMessageBox::Ok | QMessageBox::Cancel);
    if (answer != QMessageBox::Ok)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_callbacks.load(filePath(name));
    QApplication::restoreOverrideCursor();
    finishOperation();
}

void TFileManagerForm::saveFile(const QString &typed)
{
    if (!m_callbacks.save || !m_callbacks.completeName || !nameAccepted(typed))
        return;
    const QString name = m_callbacks.completeName(typed.trimmed(), m_filter);
    if (!nameAccepted(name))
        return;
    const QString path = filePath(name);
    if (QFileInfo::exists(path)) {
        QApplication::beep();
        const QMessageBox::StandardButton answer = ShowMessage(
            this, QMessageBox::Warning, windowTitle(),
            m_messages.TextAt(kMessageFileStart) + name + m_messages.TextAt(kMessageExistsEnd),
            QMessageBox::Ok | QMessageBox::Cancel);
        if (answer != QMessageBox::Ok)
            return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_callbacks.save(path, CompressCheckBox->isChecked() ? 2 : 0);
    QApplication::restoreOverrideCursor();
    finishOperation();
}

void TFileManagerForm::renameFile(const QString &oldName, const QString &typed)
{
    if (oldName.isEmpty()) {
        unknownError();
        return;
    }
    if (!nameAccepted(typed))
        return;
    const QString newName = m_callbacks.completeName
                                ? m_callbacks.completeName(typed.trimmed(), m_filter)
                                : typed.trimmed();
    if (!nameAccepted(newName))
        return;
    if (newName != oldName) {
        if (QFileInfo::exists(filePath(newName))
            || !QFile::rename(filePath(oldName), filePath(newName)))
            unknownError();
        else
            m_selected = newName;
    }
    finishOperation();
}

void TFileManagerForm::RenameInPlace(const QString &oldName, const QString &newName)
{
    renameFile(oldName, newName);
    // A refused name leaves the caption as the file is called.
    fillModel();
}

void TFileManagerForm::makeFolder(const QString &typed)
{
    if (!nameAccepted(typed))
        return;
    if (!QDir(m_folder).mkdir(typed.trimmed()))
        unknownError();
    fillFolders();
    SetMode(FileManagerMode::Read);
}

void TFileManagerForm::deletePath(const QString &path, bool folder)
{
    const QString shown = QDir::toNativeSeparators(path);
    QMessageBox::StandardButton answer
        = ShowMessage(this, QMessageBox::Question, windowTitle(),
                      m_texts.TextAt(FmAskTrash) + QStringLiteral("\n") + shown,
                      QMessageBox::Ok | QMessageBox::Cancel);
    if (answer != QMessageBox::Ok)
        return;
    // To the trash, so that the designer can take it back; only when the trash refuses is the
    // designer asked whether it should go for good.
    if (!QFile::moveToTrash(path)) {
        answer = ShowMessage(this, QMessageBox::Warning, windowTitle(),
                             m_texts.TextAt(FmAskDeleteForGood) + QStringLiteral("\n") + shown,
                             QMessageBox::Ok | QMessageBox::Cancel);
        if (answer != QMessageBox::Ok)
            return;
        const bool removed = folder ? QDir(path).removeRecursively() : QFile::remove(path);
        if (!removed)
            unknownError();
    }
    if (folder) {
        // A current folder that went with it gives way to the nearest folder that is left.
        QString nearest = m_folder;
        while (!QFileInfo(nearest).isDir() && !QDir(nearest).isRoot())
            nearest = QFileInfo(nearest).path();
        m_folder = QDir(nearest).absolutePath();
        m_selectedFolder.clear();
        updateFolderShown();
    }
    if (!folder && m_selected == QFileInfo(path).fileName())
        m_selected.clear();
    finishOperation();
}

void TFileManagerForm::PopupSave()
{
    if (!m_selected.isEmpty())
        saveFile(m_selected);
}

void TFileManagerForm::PopupDelete()
{
    if (m_selected.isEmpty()) {
        unknownError();
        return;
    }
    deletePath(filePath(m_selected), false);
}

void TFileManagerForm::PopupRename()
{
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QModelIndex index = m_model->index(row, 0);
        if (index.data(kNameRole).toString() != m_selected)
            continue;
        QAbstractItemView *view = m_view == FileViewType::Report
                                      ? static_cast<QAbstractItemView *>(ListViewReport)
                                      : static_cast<QAbstractItemView *>(ListViewIcons);
        view->setCurrentIndex(index);
        view->edit(index);
        return;
    }
    unknownError();
}

void TFileManagerForm::PopupProperties()
{
    if (m_selected.isEmpty())
        return;
    TFilePreferBox box(filePath(m_selected), m_texts, m_common, this);
    box.exec();
}

void TFileManagerForm::PressFolder(const QString &path)
{
    m_selectedFolder = path;
}

void TFileManagerForm::FolderRename(const QString &newName)
{
    const QString oldPath = m_selectedFolder;
    if (oldPath.isEmpty() || QDir(oldPath).isRoot()) {
        unknownError();
        fillFolders();
        return;
    }
    if (!nameAccepted(newName)) {
        fillFolders();
        return;
    }
    const QString newPath = QDir(QFileInfo(oldPath).path()).filePath(newName.trimmed());
    if (newPath != oldPath) {
        if (QFileInfo::exists(newPath) || !QDir().rename(oldPath, newPath)) {
            unknownError();
        } else {
            // The current folder moves with a renamed folder that holds it.
            if (m_folder == oldPath || m_folder.startsWith(oldPath + QLatin1Char('/')))
                m_folder = newPath + m_folder.mid(oldPath.size());
            m_selectedFolder = newPath;
        }
    }
    updateFolderShown();
}

void TFileManagerForm::FolderDelete()
{
    if (m_selectedFolder.isEmpty() || QDir(m_selectedFolder).isRoot()) {
        unknownError();
        return;
    }
    deletePath(m_selectedFolder, true);
}

bool TFileManagerForm::nameAccepted(const QString &typed)
{
    switch (CheckFileName(typed)) {
    case FileNameProblem::None:
        return true;
    case FileNameProblem::Empty:
        ShowMessage(this, QMessageBox::Warning, windowTitle(), m_texts.TextAt(FmNameEmpty));
        break;
    case FileNameProblem::PathSeparator:
        ShowMessage(this, QMessageBox::Warning, windowTitle(), m_texts.TextAt(FmNameFolder));
        break;
    }
    return false;
}

void TFileManagerForm::unknownError()
{
    ShowMessage(this, QMessageBox::Critical, windowTitle(),
                QStringLiteral("Unknown Error in ") + objectName());
}

void TFileManagerForm::finishOperation()
{
    showSpace();
    RebuildList(true);
    SetMode(FileManagerMode::Read);
}

} // namespace warplon
