#include "app/messagebox.h"
#include "color/colorcatalogs.h"
#include "color/colorcontrols.h"
#include "color/dib256palette.h"
#include "color/paletteform.h"
#include "color/usercolordataform.h"
#include "color/usercolordrag.h"
#include "color/usercolorlibform.h"
#include "colortestfiles.h"
#include "testhost.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace warplon;
using test::Bytes;
using test::StandardChip;
using test::TestHost;
using test::TextileChip;

namespace {

// One 33-byte ".ucl" record: 22-byte zero-padded name, int32 kind, u16 page, u8 number, blue,
// green, red, reserved.
QByteArray Record(const QByteArray &name, int32_t kind, uint16_t page, uint8_t number, uint8_t r,
                  uint8_t g, uint8_t b)
{
    return Bytes()
        .raw(name)
        .zeros(22 - int(name.size()))
        .i32(kind)
        .u16(page)
        .u8(number)
        .u8(b)
        .u8(g)
        .u8(r)
        .u8(0);
}

// A collection of `count` standard colours "<prefix><i>" on page 5, red = i.
QByteArray Collection(int count, const QByteArray &prefix)
{
    Bytes bytes;
    bytes.i32(count);
    for (int i = 0; i < count; ++i)
        bytes.raw(Record(prefix + QByteArray::number(i), ColorKvStandard, 5, uint8_t(i), uint8_t(i),
                         7, 9));
    return bytes;
}

// The palette window over a program directory with a standard catalogue (page 5), a textile
// one (page 19), a default palette of distinct free colours, no Pantone catalogue, and a few
// collections in "color"; the user colour library window as its child.
struct UserColorWindows
{
    explicit UserColorWindows(const QString &language = QStringLiteral("English"))
        : host(language)
    {
        const QString dir = host.programDirectory();
        test::WriteColorFile(dir, QStringLiteral("Standard.kvc"),
                             test::StandardCatalogFile(5, {StandardChip{1, 42, 100, 50, 50},
                                                           StandardChip{2, 7, 0, 0, 200}}));
        test::WriteColorFile(dir, QStringLiteral("Textile.kvc"),
                             test::TextileCatalogFile(19, {TextileChip{3, 19, 52, 100, 50, 70}}));
        test::WriteColorFile(dir, QStringLiteral("Textile.fcr"), test::FreePaletteFile([](int i) {
                                 return std::tuple<int, int, int>{i, (i * 3) % 256, 255 - i};
                             }));
        test::WriteColorFile(dir, QStringLiteral("spring.ucl"), Collection(12, "Cell "));
        test::WriteColorFile(dir, QStringLiteral("forty.ucl"), Collection(40, "C"));
        // Cut inside its third record.
        test::WriteColorFile(dir, QStringLiteral("short.ucl"),
                             Collection(3, "S").left(4 + 2 * 33 + 10));
        test::WriteColorFile(dir, QStringLiteral("empty.ucl"), Bytes().i32(0));
        catalogs = std::make_unique<ColorCatalogs>(dir);
        palette = std::make_unique<TPaletteForm>(host, *catalogs);
        library = new TUserColorLibForm(host, *palette);
        palette->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(palette.get()));
        SetMessageHandler([this](QMessageBox::Icon, const QString &, const QString &text,
                                 QMessageBox::StandardButtons) {
            messages.append(text);
            return answer;
        });
    }
    ~UserColorWindows() { SetMessageHandler({}); }

    QString ColorFolder() const { return host.programDirectory() + QStringLiteral("/color"); }
    const TColorData &Entry(int index) { return *palette->palette().GetColorData(index); }

    // A double click on a name in a list, as the designer opens a file or folder.
    static void DoubleClick(QListWidget *list, const QString &name)
    {
        const QList<QListWidgetItem *> found = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << qPrintable(name);
        list->scrollToItem(found.front());
        const QPoint at = list->visualItemRect(found.front()).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    void Open(const QString &name) { DoubleClick(library->FileListBox, name); }

    TestHost host;
    std::unique_ptr<ColorCatalogs> catalogs;
    std::unique_ptr<TPaletteForm> palette;
    // Owned by the palette window.
    TUserColorLibForm *library = nullptr;
    QStringList messages;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
};

// Runs `action` on the next modal window (a dialog opened by what the caller does next).
void OnNextModal(std::function<void(QWidget *)> action)
{
    QTimer::singleShot(0, [action] {
        QWidget *modal = QApplication::activeModalWidget();
        EXPECT_NE(modal, nullptr);
        if (modal)
            action(modal);
    });
}

// Answers the next text box with `text` (OK), or cancels it for an empty text.
void AnswerText(const QString &text)
{
    OnNextModal([text](QWidget *modal) {
        auto *dialog = qobject_cast<QInputDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        if (text.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->setTextValue(text);
        dialog->accept();
    });
}

// Types into a line edit character by character, as the designer (or an input method) does,
// replacing its text.
void Retype(QLineEdit *edit, const QString &text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    for (QChar c : text)
        edit->insert(QString(c));
}

} // namespace

TEST(UserColorLibWindow, BrowsesTheColorFolderAndReadsCollections)
{
    UserColorWindows w;
    TUserColorLibForm &library = *w.library;
    EXPECT_EQ(library.parentWidget(), w.palette.get());
    EXPECT_TRUE(library.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(library.windowTitle(), QStringLiteral("Noname-01"));
    EXPECT_EQ(library.Folder(), QDir(w.ColorFolder()).absolutePath());
    EXPECT_EQ(library.edFileName->text(), QStringLiteral("*.ucl"));
    EXPECT_EQ(library.lbFilter->text(), QStringLiteral("User Color  files (*.ucl)"));
    QStringList files;
    for (int i = 0; i < library.FileListBox->count(); ++i)
        files << library.FileListBox->item(i)->text();
    EXPECT_EQ(files, (QStringList{QStringLiteral("empty.ucl"), QStringLiteral("forty.ucl"),
                                  QStringLiteral("short.ucl"), QStringLiteral("spring.ucl")}));
    EXPECT_TRUE(library.sbRead->isChecked());

    // A click puts the name in the edit; a double click in mode Read opens the collection.
    w.Open(QStringLiteral("spring.ucl"));
    EXPECT_EQ(library.edFileName->text(), QStringLiteral("spring.ucl"));
    EXPECT_EQ(library.windowTitle(), QStringLiteral("spring.ucl"));
    ASSERT_EQ(library.collection().Count(), 12);
    TUserColorGrid *grid = library.sgUserColor;
    EXPECT_EQ(grid->columnCount(), 5);
    EXPECT_EQ(grid->item(0, 0)->text(), QStringLiteral("Cell 0"));
    EXPECT_EQ(grid->item(2, 1)->text(), QStringLiteral("Cell 11"));
    EXPECT_EQ(grid->CellIndex(2, 1), 11);
    EXPECT_EQ(grid->CellIndex(2, 2), -1);
    EXPECT_EQ(grid->IndexAt(grid->CellRect(7).center()), 7);
    EXPECT_TRUE(w.messages.isEmpty());

    // A file cut short is told and leaves an empty collection; a count of 0 opens silently.
    w.Open(QStringLiteral("short.ucl"));
    EXPECT_EQ(w.messages, QStringList{QStringLiteral("Unknown Error in UserColorLibForm")});
    EXPECT_EQ(library.collection().Count(), 0);
    EXPECT_EQ(library.windowTitle(), QStringLiteral("short.ucl"));
    EXPECT_EQ(grid->CellIndex(0, 0), -1);
    EXPECT_EQ(grid->item(0, 0)->text(), QString());
    w.Open(QStringLiteral("spring.ucl"));
    w.Open(QStringLiteral("empty.ucl"));
    EXPECT_EQ(w.messages.size(), 1);
    EXPECT_EQ(library.collection().Count(), 0);
    EXPECT_EQ(library.windowTitle(), QStringLiteral("empty.ucl"));

    // A mask typed into the edit filters the list; a name typed there opens in mode Read.
    Retype(library.edFileName, QStringLiteral("s*.ucl"));
    QTest::keyClick(library.edFileName, Qt::Key_Return);
    EXPECT_EQ(library.FileListBox->count(), 2);
    Retype(library.edFileName, QStringLiteral("forty"));
    QTest::keyClick(library.edFileName, Qt::Key_Return);
    EXPECT_EQ(library.collection().Count(), 40);
    EXPECT_EQ(library.windowTitle(), QStringLiteral("forty.ucl"));

    library.sbNew->click();
    EXPECT_EQ(library.collection().Count(), 0);
    EXPECT_EQ(library.windowTitle(), QStringLiteral("Noname-01"));
    EXPECT_EQ(library.edFileName->text(), QStringLiteral("noname.ucl"));
}

TEST(UserColorLibWindow, DraggedCellsStopAfterEntry251WithOneUndoEach)
{
    UserColorWindows w;
    TUserColorLibForm &library = *w.library;
    w.Open(QStringLiteral("spring.ucl"));
    TUserColorGrid *grid = library.sgUserColor;
    TPalette before;
    before.SetPalette(w.palette->palette());
    const int undoBefore = w.palette->editor().UndoCount();

    // The dragged cells are copied: a move would take them out of the collection.
    EXPECT_EQ(grid->model()->supportedDragActions(), Qt::CopyAction);
    grid->selectAll();
    EXPECT_EQ(grid->SelectedIndices().size(), 12u);
    std::unique_ptr<QMimeData> mime(
        grid->model()->mimeData(grid->selectionModel()->selectedIndexes()));
    ASSERT_NE(mime, nullptr);

    TDIB256Palette *target = w.palette->Palette256;
    target->ScrollToRowOf(245);
    const QPointF at(target->SquareRect(245).center());
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    for (int i = 245; i <= 251; ++i) {
        const TColorData &entry = w.Entry(i);
        EXPECT_EQ(entry.GetKind(), kUserColorFlag | ColorKvStandard) << i;
        EXPECT_EQ(entry.PageNumber, 5);
        EXPECT_EQ(entry.ColorNumber, i - 245);
        EXPECT_EQ(entry.color.rgbRed, i - 245);
        EXPECT_EQ(entry.FileName, QByteArray("spring.ucl"));
        EXPECT_EQ(entry.ColorName, "Cell " + QByteArray::number(i - 245));
    }
    EXPECT_TRUE(w.Entry(252).Compare(*before.GetColorData(252)));
    EXPECT_EQ(library.collection().Count(), 12);
    ASSERT_EQ(w.palette->editor().UndoCount(), undoBefore + 7);
    for (int i = 0; i < 7; ++i)
        w.palette->sbUndo->click();
    for (int i = 245; i <= 251; ++i)
        EXPECT_TRUE(w.Entry(i).Compare(*before.GetColorData(i))) << i;
    EXPECT_EQ(w.palette->editor().UndoCount(), undoBefore);

    // Cells come row by row whatever order they were picked in.
    grid->clearSelection();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(7).center());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      grid->CellRect(2).center());
    EXPECT_EQ(grid->SelectedIndices(), (std::vector<int>{2, 7}));
    mime.reset(grid->model()->mimeData(grid->selectionModel()->selectedIndexes()));
    QByteArray collection;
    std::vector<UserColor> colors;
    ASSERT_TRUE(DecodeUserColorDrag(mime->data(UserColorDragMimeType()), collection, colors));
    EXPECT_EQ(collection, QByteArray("spring.ucl"));
    ASSERT_EQ(colors.size(), 2u);
    EXPECT_EQ(colors[0].name, QByteArray("Cell 2"));
    EXPECT_EQ(colors[1].name, QByteArray("Cell 7"));
}

TEST(UserColorLibWindow, LoadAllAndDoubleClickStopAfterEntry251)
{
    UserColorWindows w;
    TUserColorLibForm &library = *w.library;
    w.Open(QStringLiteral("forty.ucl"));
    TPalette before;
    before.SetPalette(w.palette->palette());
    const int undoBefore = w.palette->editor().UndoCount();
    const int editsBefore = w.host.edits;

    w.palette->Palette256->SetChoiceIndex(230);
    library.sbLoadAll->click();
    for (int i = 230; i <= 251; ++i) {
        EXPECT_EQ(w.Entry(i).GetKind(), kUserColorFlag | ColorKvStandard) << i;
        EXPECT_EQ(w.Entry(i).ColorName, "C" + QByteArray::number(i - 230)) << i;
        EXPECT_EQ(w.Entry(i).FileName, QByteArray("forty.ucl"));
    }
    EXPECT_TRUE(w.Entry(229).Compare(*before.GetColorData(229)));
    EXPECT_TRUE(w.Entry(252).Compare(*before.GetColorData(252)));
    EXPECT_EQ(w.palette->editor().UndoCount(), undoBefore + 22);
    EXPECT_TRUE(w.palette->sbUndo->isEnabled());
    // The palette window repainted and told the design views.
    EXPECT_GT(w.host.edits, editsBefore);
    EXPECT_TRUE(w.messages.isEmpty());
    // Undo goes back one entry at a time, newest first.
    w.palette->sbUndo->click();
    EXPECT_TRUE(w.Entry(251).Compare(*before.GetColorData(251)));
    EXPECT_FALSE(w.Entry(250).Compare(*before.GetColorData(250)));

    // A double click stores one colour in the chosen entry, with one snapshot.
    w.palette->Palette256->SetChoiceIndex(100);
    const int undoNow = w.palette->editor().UndoCount();
    TUserColorGrid *grid = library.sgUserColor;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(6).center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(6).center());
    EXPECT_EQ(w.Entry(100).ColorName, QByteArray("C6"));
    EXPECT_EQ(w.Entry(100).color.rgbRed, 6);
    EXPECT_EQ(w.palette->editor().UndoCount(), undoNow + 1);
    EXPECT_EQ(w.palette->ShapeFGColor->Color(), w.Entry(100).GetColor());
    w.palette->sbUndo->click();
    EXPECT_TRUE(w.Entry(100).Compare(*before.GetColorData(100)));

    // Past entry 251 nothing is stored, and the designer is told why.
    w.palette->Palette256->SetChoiceIndex(252);
    const int undoLast = w.palette->editor().UndoCount();
    library.sbLoadAll->click();
    EXPECT_FALSE(library.StoreOnPalette(3));
    EXPECT_TRUE(w.Entry(252).Compare(*before.GetColorData(252)));
    EXPECT_EQ(w.palette->editor().UndoCount(), undoLast);
    EXPECT_EQ(w.messages,
              QStringList(2, QStringLiteral(
                                 "User colors can only be put into palette entries up to 250.")));
}

TEST(UserColorLibWindow, TakesInputWhileThePaletteIsTheModalPicker)
{
    UserColorWindows w;
    TUserColorLibForm &library = *w.library;
    w.Open(QStringLiteral("spring.ucl"));
    w.palette->Palette256->SetChoiceIndex(40);
    // A window outside the palette window, for comparison: the modal picker blocks it.
    QToolButton outsider;
    outsider.setText(QStringLiteral("Outside"));
    int outsiderClicks = 0;
    QObject::connect(&outsider, &QToolButton::clicked, [&] { ++outsiderClicks; });
    outsider.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&outsider));

    // Clicks go through the window system, where a modal window blocks the others.
    auto clickThroughWindow = [](QWidget *button) {
        QWidget *top = button->window();
        QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {},
                          button->mapTo(top, button->rect().center()));
    };
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(QApplication::activeModalWidget(), w.palette.get());
        library.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&library));
        clickThroughWindow(library.sbLoadAll);
        clickThroughWindow(&outsider);
        w.palette->reject();
    });
    EXPECT_EQ(w.palette->PickColor(), std::nullopt);
    EXPECT_EQ(w.Entry(40).ColorName, QByteArray("Cell 0"));
    EXPECT_EQ(w.Entry(51).ColorName, QByteArray("Cell 11"));
    EXPECT_EQ(outsiderClicks, 0);
    // Outside the modal loop the same click reaches the other window.
    clickThroughWindow(&outsider);
    EXPECT_EQ(outsiderClicks, 1);
}

TEST(UserColorLibWindow, ContextMenuAddsEditsAndRemovesAndFileSaveWrites)
{
    UserColorWindows w;
    TUserColorLibForm &library = *w.library;
    library.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&library));
    TUserColorGrid *grid = library.sgUserColor;

    // The menu offers Edit and Remove only over a colour.
    emit grid->customContextMenuRequested(grid->CellRect(0).center());
    EXPECT_TRUE(library.pmUserColor->isVisible());
    EXPECT_TRUE(library.pmAdd->isEnabled());
    EXPECT_FALSE(library.pmEdit->isEnabled());
    EXPECT_FALSE(library.pmRemove->isEnabled());
    library.pmUserColor->hide();

    // Add starts from the palette's chosen entry under the name "Undefined"; OK appends.
    w.palette->Palette256->SetChoiceIndex(7);
    OnNextModal([&](QWidget *modal) {
        auto *data = qobject_cast<TUserColorDataForm *>(modal);
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(data->parentWidget(), &library);
        EXPECT_EQ(data->windowTitle(), QStringLiteral("User Color Data"));
        EXPECT_EQ(data->edName->text(), QStringLiteral("Undefined"));
        EXPECT_EQ(data->Color().color, w.Entry(7).color);
        Retype(data->edName, QStringLiteral("Moss"));
        data->sbOK->click();
    });
    library.pmAdd->trigger();
    ASSERT_EQ(library.collection().Count(), 1);
    EXPECT_EQ(library.collection().Colors()[0].name, QByteArray("Moss"));
    EXPECT_EQ(library.collection().Colors()[0].color, w.Entry(7).color);
    EXPECT_EQ(grid->item(0, 0)->text(), QStringLiteral("Moss"));

    // Cancel adds nothing.
    OnNextModal(
        [](QWidget *modal) { qobject_cast<TUserColorDataForm *>(modal)->sbCancel->click(); });
    library.pmAdd->trigger();
    EXPECT_EQ(library.collection().Count(), 1);
    OnNextModal([](QWidget *modal) {
        auto *data = qobject_cast<TUserColorDataForm *>(modal);
        Retype(data->edName, QStringLiteral("Fern"));
        data->sbOK->click();
    });
    library.pmAdd->trigger();
    ASSERT_EQ(library.collection().Count(), 2);

    // Edit opens on the colour under the mouse; OK replaces it.
    emit grid->customContextMenuRequested(grid->CellRect(0).center());
    EXPECT_TRUE(library.pmEdit->isEnabled());
    library.pmUserColor->hide();
    OnNextModal([](QWidget *modal) {
        auto *data = qobject_cast<TUserColorDataForm *>(modal);
        EXPECT_EQ(data->edName->text(), QStringLiteral("Moss"));
        Retype(data->edName, QStringLiteral("Lichen"));
        data->SetBook(UserColorBook::KvStandard);
        Retype(data->edCode, QStringLiteral("0042"));
        data->sbOK->click();
    });
    library.pmEdit->trigger();
    ASSERT_EQ(library.collection().Count(), 2);
    const UserColor &edited = library.collection().Colors()[0];
    EXPECT_EQ(edited.name, QByteArray("Lichen"));
    EXPECT_EQ(edited.kind, ColorKvStandard);
    EXPECT_EQ(edited.page, 5);
    EXPECT_EQ(edited.number, 1);
    EXPECT_EQ(library.collection().Colors()[1].name, QByteArray("Fern"));

    // Remove takes the selected colours out.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(1).center());
    emit grid->customContextMenuRequested(grid->CellRect(1).center());
    EXPECT_TRUE(library.pmRemove->isEnabled());
    library.pmUserColor->hide();
    library.pmRemove->trigger();
    ASSERT_EQ(library.collection().Count(), 1);
    EXPECT_EQ(library.collection().Colors()[0].name, QByteArray("Lichen"));

    // File Save writes the name in the edit, with ".ucl" added, in the folder shown.
    Retype(library.edFileName, QStringLiteral("moss"));
    library.sbFileSave->click();
    const QString moss = w.ColorFolder() + QStringLiteral("/moss.ucl");
    EXPECT_EQ(test::readFile(moss),
              Bytes().i32(1).raw(Record("Lichen", ColorKvStandard, 5, 1, 100, 50, 50)).data());
    EXPECT_EQ(library.windowTitle(), QStringLiteral("moss.ucl"));
    EXPECT_TRUE(w.messages.isEmpty());
    EXPECT_EQ(library.FileListBox->findItems(QStringLiteral("moss.ucl"), Qt::MatchExactly).size(),
              1);

    // Over another collection's file it asks first; Cancel leaves that file as it was.
    const QByteArray spring = test::readFile(w.ColorFolder() + QStringLiteral("/spring.ucl"));
    w.answer = QMessageBox::Cancel;
    Retype(library.edFileName, QStringLiteral("spring.ucl"));
    library.sbFileSave->click();
    ASSERT_EQ(w.messages.size(), 1);
    EXPECT_EQ(w.messages[0],
              QStringLiteral("The file \"spring.ucl\" already exists.\r\nDo you want to "
                             "overwrite it?"));
    EXPECT_EQ(test::readFile(w.ColorFolder() + QStringLiteral("/spring.ucl")), spring);
    EXPECT_EQ(library.windowTitle(), QStringLiteral("moss.ucl"));
    w.answer = QMessageBox::Ok;
    library.sbFileSave->click();
    EXPECT_EQ(test::readFile(w.ColorFolder() + QStringLiteral("/spring.ucl")),
              test::readFile(moss));
    // Its own file it writes without asking.
    library.sbFileSave->click();
    EXPECT_EQ(w.messages.size(), 2);
}

TEST(UserColorLibWindow, ModesActOnADoubleClickedFile)
{
    UserColorWindows w;
    TUserColorLibForm &library = *w.library;
    w.Open(QStringLiteral("spring.ucl"));

    // Rename asks for the new name; the open collection follows its file; the mode goes back.
    library.sbRename->click();
    EXPECT_EQ(library.CurrentMode(), TUserColorLibForm::ModeRename);
    AnswerText(QStringLiteral("summer"));
    w.Open(QStringLiteral("spring.ucl"));
    EXPECT_TRUE(QFileInfo::exists(w.ColorFolder() + QStringLiteral("/summer.ucl")));
    EXPECT_FALSE(QFileInfo::exists(w.ColorFolder() + QStringLiteral("/spring.ucl")));
    EXPECT_EQ(library.windowTitle(), QStringLiteral("summer.ucl"));
    EXPECT_TRUE(library.sbRead->isChecked());
    // A name that is taken is refused.
    library.sbRename->click();
    AnswerText(QStringLiteral("forty.ucl"));
    w.Open(QStringLiteral("summer.ucl"));
    EXPECT_EQ(w.messages,
              QStringList{QStringLiteral(
                  "The file could not be renamed. A file of that name may already exist.")});
    EXPECT_TRUE(QFileInfo::exists(w.ColorFolder() + QStringLiteral("/summer.ucl")));
    EXPECT_EQ(Collection(40, "C"), test::readFile(w.ColorFolder() + QStringLiteral("/forty.ucl")));

    // Save writes the open collection into the file double clicked, after asking.
    library.sbSave->click();
    w.Open(QStringLiteral("empty.ucl"));
    EXPECT_EQ(w.messages.size(), 2);
    EXPECT_EQ(test::readFile(w.ColorFolder() + QStringLiteral("/empty.ucl")),
              Collection(12, "Cell "));
    EXPECT_EQ(library.windowTitle(), QStringLiteral("empty.ucl"));
    EXPECT_EQ(library.CurrentMode(), TUserColorLibForm::ModeRead);

    // Save As asks for the name to write under.
    library.sbSaveAs->click();
    AnswerText(QStringLiteral("winter"));
    w.Open(QStringLiteral("forty.ucl"));
    EXPECT_EQ(test::readFile(w.ColorFolder() + QStringLiteral("/winter.ucl")),
              Collection(12, "Cell "));
    EXPECT_EQ(library.windowTitle(), QStringLiteral("winter.ucl"));
    EXPECT_EQ(Collection(40, "C"), test::readFile(w.ColorFolder() + QStringLiteral("/forty.ucl")));

    // Make Folder, then into it and back out through the folder list.
    AnswerText(QStringLiteral("old"));
    library.sbMakeFolder->click();
    ASSERT_TRUE(QFileInfo(w.ColorFolder() + QStringLiteral("/old")).isDir());
    UserColorWindows::DoubleClick(library.DirectoryListBox, QStringLiteral("old"));
    EXPECT_EQ(library.Folder(), QDir(w.ColorFolder() + QStringLiteral("/old")).absolutePath());
    EXPECT_EQ(library.FileListBox->count(), 0);
    UserColorWindows::DoubleClick(library.DirectoryListBox, QStringLiteral(".."));
    EXPECT_EQ(library.Folder(), QDir(w.ColorFolder()).absolutePath());
    // A folder that cannot be made is told.
    AnswerText(QStringLiteral("old"));
    library.sbMakeFolder->click();
    EXPECT_EQ(w.messages.last(), QStringLiteral("The folder could not be made."));
}

TEST(UserColorDataWindow, NameBooksCodesAndPickers)
{
    UserColorWindows w;
    TUserColorDataForm data(w.host, *w.catalogs);
    EXPECT_EQ(data.windowTitle(), QStringLiteral("User Color Data"));
    EXPECT_EQ(data.edName->text(), QStringLiteral("Undefined"));
    EXPECT_EQ(data.Book(), UserColorBook::Normal);
    EXPECT_FALSE(data.edCode->isEnabled());
    EXPECT_EQ(data.lstColorBook->count(), 6);
    EXPECT_EQ(data.lstColorBook->item(4)->text(), QStringLiteral("PT 1000 Color"));

    // The name fits the 22-byte field: whole characters only, what is typed past it is dropped.
    Retype(data.edName, QStringLiteral("가나다라마바사아자"));
    EXPECT_EQ(data.edName->text(), QStringLiteral("가나다라마바사"));
    EXPECT_EQ(data.Color().name, QStringLiteral("가나다라마바사").toUtf8());
    data.edName->setCursorPosition(2);
    QTest::keyClick(data.edName, Qt::Key_X);
    EXPECT_EQ(data.edName->text(), QStringLiteral("가나다라마바사"));
    Retype(data.edName, QString(30, u'a'));
    EXPECT_EQ(data.Color().name, QByteArray(21, 'a'));

    // A code is looked up in the chosen book as it is typed.
    data.SetBook(UserColorBook::KvStandard);
    EXPECT_TRUE(data.edCode->isEnabled());
    Retype(data.edCode, QStringLiteral("0042"));
    EXPECT_EQ(data.lbCodeResult->text(), QStringLiteral("0042"));
    UserColor color = data.Color();
    EXPECT_EQ(color.kind, ColorKvStandard);
    EXPECT_EQ(color.page, 5);
    EXPECT_EQ(color.number, 1);
    EXPECT_EQ(color.color, (RGBQUAD{50, 50, 100, 0}));
    EXPECT_EQ(data.ShapeColor->Color(), RGB2TColor(100, 50, 50));
    EXPECT_EQ(data.PSEditCyan->value(), 155);
    // An unknown code says "None" and leaves the colour shown as a free colour.
    Retype(data.edCode, QStringLiteral("0043"));
    EXPECT_EQ(data.lbCodeResult->text(), QStringLiteral("None"));
    color = data.Color();
    EXPECT_EQ(color.kind, 0);
    EXPECT_EQ(color.page, 0);
    EXPECT_EQ(color.color, (RGBQUAD{50, 50, 100, 0}));
    // The same code in another book.
    data.SetBook(UserColorBook::KvTextile);
    Retype(data.edCode, QStringLiteral("19-0052"));
    EXPECT_EQ(data.Color().kind, ColorKvTextile);
    EXPECT_EQ(data.Color().page, 19);
    data.SetBook(UserColorBook::Printer);
    Retype(data.edCode, QStringLiteral("37-1:1"));
    EXPECT_EQ(data.lbCodeResult->text(), QStringLiteral("37-1:1"));
    EXPECT_EQ(data.Color().page, 541);

    // The Pantone books tell where their catalogues go instead of answering "None".
    data.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&data));
    data.SetBook(UserColorBook::Pantone1000);
    EXPECT_TRUE(data.lbNotice->isVisible());
    EXPECT_FALSE(data.lbCodeResult->isVisible());
    EXPECT_FALSE(data.edCode->isEnabled());
    EXPECT_TRUE(data.lbNotice->text().startsWith(
        QStringLiteral("The Pantone color catalogues are not installed.")));
    EXPECT_TRUE(data.lbNotice->text().endsWith(w.ColorFolder()));
    EXPECT_EQ(data.PantoneNotice(), w.palette->PantoneNotice());
    data.SetBook(UserColorBook::KvStandard);
    EXPECT_FALSE(data.lbNotice->isVisible());

    // A picker makes the colour a free colour of the Normal book.
    Retype(data.edCode, QStringLiteral("0042"));
    data.PSEditCyan->setValue(255);
    color = data.Color();
    EXPECT_EQ(data.Book(), UserColorBook::Normal);
    EXPECT_EQ(color.kind, 0);
    EXPECT_EQ(color.page, 0);
    EXPECT_EQ(color.color, (RGBQUAD{50, 50, 0, 0}));
    EXPECT_EQ(data.PSHlsS->value(), 100);
    QTest::mouseClick(data.lbHLS, Qt::LeftButton);
    EXPECT_EQ(data.PickerStack->currentWidget(), data.KvHLS);
    data.PSHlsL->setValue(100);
    EXPECT_EQ(data.Color().color, (RGBQUAD{255, 255, 255, 0}));
    EXPECT_EQ(data.PSEditCyan->value(), 0);

    // An existing colour shows its book and code and keeps its identity.
    UserColor textile;
    textile.name = "Rust";
    textile.kind = ColorKvTextile;
    textile.page = 19;
    textile.number = 3;
    textile.color = RGBQUAD{70, 50, 100, 0};
    data.SetColor(textile);
    EXPECT_EQ(data.edName->text(), QStringLiteral("Rust"));
    EXPECT_EQ(data.Book(), UserColorBook::KvTextile);
    EXPECT_EQ(data.edCode->text(), QStringLiteral("19-0052"));
    EXPECT_EQ(data.lbCodeResult->text(), QStringLiteral("19-0052"));
    color = data.Color();
    EXPECT_EQ(color.name, QByteArray("Rust"));
    EXPECT_EQ(color.kind, ColorKvTextile);
    EXPECT_EQ(color.number, 3);
}

TEST(UserColorWindows, ShowTheirTextsInKorean)
{
    UserColorWindows w(QStringLiteral("Korean"));
    TUserColorLibForm &library = *w.library;
    EXPECT_EQ(library.sbLoadAll->text(), QStringLiteral("팔레트에 모두 넣기"));
    EXPECT_EQ(library.sbRead->text(), QStringLiteral("읽기"));
    EXPECT_EQ(library.pmAdd->text(), QStringLiteral("추가"));
    EXPECT_EQ(library.pmRemove->text(), QStringLiteral("제거"));
    EXPECT_EQ(library.windowTitle(), QStringLiteral("Noname-01"));
    TUserColorDataForm data(w.host, *w.catalogs);
    EXPECT_EQ(data.windowTitle(), QStringLiteral("사용자 색 정보"));
    EXPECT_EQ(data.edName->text(), QStringLiteral("이름 없음"));
    EXPECT_EQ(data.sbCancel->text(), QStringLiteral("취소"));
    EXPECT_EQ(data.lstColorBook->item(2)->text(), QStringLiteral("Kv 표준 색"));
    data.SetBook(UserColorBook::KvStandard);
    Retype(data.edCode, QStringLiteral("9999"));
    EXPECT_EQ(data.lbCodeResult->text(), QStringLiteral("없음"));
}
