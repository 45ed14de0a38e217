#include "app/drivecombobox.h"
#include "app/messagebox.h"
#include "color/colorcatalogs.h"
#include "color/dib256palette.h"
#include "color/paletteform.h"
#include "color/pfmform.h"
#include "colortestfiles.h"
#include "testhost.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

using namespace warplon;
using test::TempDir;
using test::TestHost;

namespace {

// The design palette the palette window starts with, and the colours of two files.
std::tuple<int, int, int> DesignColour(int i)
{
    return {i, 100, 255 - i};
}
std::tuple<int, int, int> RedFile(int i)
{
    return {200, i, (i * 3) % 256};
}
std::tuple<int, int, int> GreenFile(int i)
{
    return {(i * 5) % 256, 150, i};
}

std::tuple<int, int, int> EntryRgb(const TPalette &palette, int index)
{
    const RGBQUAD c = palette.GetColorData(index)->color;
    return {c.rgbRed, c.rgbGreen, c.rgbBlue};
}

template<typename Colour>
void ExpectPalette(const TPalette &palette, Colour colour, int first = 1, int last = 255)
{
    for (int i = first; i <= last; ++i)
        ASSERT_EQ(EntryRgb(palette, i), colour(i)) << "entry " << i;
}

// The palette window over a program directory of its own, and the palette file manager on a
// folder holding "red.fcr", "green.fcr" and a file that is no palette file. Message boxes and
// name boxes are answered by the test.
struct FileManager
{
    explicit FileManager(const QString &language = QStringLiteral("English"))
        : host(language)
    {
        test::WriteColorFile(host.programDirectory(), QStringLiteral("Textile.fcr"),
                             test::FreePaletteFile(DesignColour));
        catalogs = std::make_unique<ColorCatalogs>(host.programDirectory());
        palette = std::make_unique<TPaletteForm>(host, *catalogs);
        EXPECT_TRUE(test::writeFile(folder.file(QStringLiteral("red.fcr")),
                                    test::FreePaletteFile(RedFile)));
        EXPECT_TRUE(test::writeFile(folder.file(QStringLiteral("green.fcr")),
                                    test::FreePaletteFile(GreenFile)));
        EXPECT_TRUE(test::writeFile(folder.file(QStringLiteral("notes.txt")), "no palette"));
        form = std::make_unique<TPFMForm>(host, *palette);
        form->SetFolder(folder.path());
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        SetMessageHandler([this](QMessageBox::Icon, const QString &, const QString &text,
                                 QMessageBox::StandardButtons) {
            messages.append(text);
            return answer;
        });
        form->SetNameAsker(
            [this](const QString &caption, const QString &prompt, const QString &start) {
                asked.append({caption, prompt, start});
                return typedName;
            });
    }
    ~FileManager()
    {
        SetMessageHandler({});
        form.reset();
        palette.reset();
    }

    QStringList Files() const
    {
        QStringList names;
        for (int i = 0; i < form->FileListBox->count(); ++i)
            names.append(form->FileListBox->item(i)->text());
        return names;
    }
    QListWidgetItem *Item(const QString &name) const
    {
        const QList<QListWidgetItem *> items = form->FileListBox->findItems(name, Qt::MatchExactly);
        return items.isEmpty() ? nullptr : items.first();
    }
    void Click(const QString &name)
    {
        QListWidgetItem *item = Item(name);
        ASSERT_NE(item, nullptr) << qPrintable(name);
        QListWidget *list = form->FileListBox;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(item).center());
    }
    void DoubleClick(const QString &name)
    {
        QListWidgetItem *item = Item(name);
        ASSERT_NE(item, nullptr) << qPrintable(name);
        QListWidget *list = form->FileListBox;
        const QPoint at = list->visualItemRect(item).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    QByteArray Bytes(const QString &name) const { return test::readFile(folder.file(name)); }
    qsizetype FileCount() const { return QDir(folder.path()).entryList(QDir::Files).size(); }
    TPalette &Design() { return palette->palette(); }

    TestHost host;
    TempDir folder;
    std::unique_ptr<ColorCatalogs> catalogs;
    std::unique_ptr<TPaletteForm> palette;
    std::unique_ptr<TPFMForm> form;
    QStringList messages;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    std::optional<QString> typedName;
    QList<std::tuple<QString, QString, QString>> asked;
};

// Sets an environment variable for one test and gives back the old value.
class Environment
{
public:
    Environment(const char *name, const QString &value)
        : m_name(name)
        , m_old(qgetenv(name))
        , m_was(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value.toUtf8());
    }
    ~Environment()
    {
        if (m_was)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    QByteArray m_old;
    bool m_was;
};

} // namespace

// The window opens on the colour folder of the program; a press on a file shows it in the
// preview (a palette of its own) and the mouse over the preview tells the entry and its inks.
TEST(PfmForm, ListsPaletteFilesAndPreviewsThePressedOne)
{
    FileManager w;
    EXPECT_EQ(w.form->windowTitle(), QStringLiteral("Palette File Manager  ( *.fcr )"));
    EXPECT_EQ(w.form->parentWidget(), w.palette.get());
    EXPECT_EQ(w.Files(), (QStringList{QStringLiteral("green.fcr"), QStringLiteral("red.fcr")}));
    EXPECT_EQ(w.form->FileEdit->text(), QStringLiteral("*.fcr"));
    EXPECT_EQ(w.form->Mode(), PaletteFileMode::Read);
    EXPECT_EQ(w.form->DriveComboBox1->Drive(),
              DriveComboBox::RootHolding(w.form->DriveComboBox1->Drives(), w.folder.path()));
    EXPECT_FALSE(w.form->DriveComboBox1->Drive().isEmpty());

    w.Click(QStringLiteral("red.fcr"));
    EXPECT_EQ(w.form->FileEdit->text(), QStringLiteral("red.fcr"));
    ExpectPalette(w.form->Preview(), RedFile, 0);
    ExpectPalette(w.Design(), DesignColour, 0);
    EXPECT_EQ(w.host.edits, 0);

    TDIB256Palette *view = w.form->PaletteView;
    const int shown = view->FirstVisibleIndex() + 3;
    QMouseEvent move(QEvent::MouseMove, QPointF(view->SquareRect(shown).center()),
                     view->mapToGlobal(QPointF(view->SquareRect(shown).center())), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view, &move);
    const auto [r, g, b] = RedFile(shown);
    EXPECT_EQ(w.form->StatusPanel0->text(), QString::number(shown - 1));
    EXPECT_EQ(w.form->StatusPanel1->text(),
              QStringLiteral("%1 - %2 - %3").arg(255 - r).arg(255 - g).arg(255 - b));

    // A sub-folder is entered with a double click, ".." leads back.
    ASSERT_TRUE(QDir(w.folder.path()).mkdir(QStringLiteral("old")));
    w.form->Refresh();
    const QList<QListWidgetItem *> sub
        = w.form->DirectoryListBox->findItems(QStringLiteral("old"), Qt::MatchExactly);
    ASSERT_EQ(sub.size(), 1);
    emit w.form->DirectoryListBox->itemActivated(sub.first());
    EXPECT_EQ(w.form->Folder(), w.folder.file(QStringLiteral("old")));
    EXPECT_TRUE(w.Files().isEmpty());
    emit w.form->DirectoryListBox->itemActivated(w.form->DirectoryListBox->item(0));
    EXPECT_EQ(w.form->Folder(), w.folder.path());
}

// Read replaces the design palette; Merge adds the file's colours after those in use, up to
// entry 250. Both tell the design views, and the mode is Read again after Merge.
TEST(PfmForm, ReadAndMergeChangeTheDesignPalette)
{
    FileManager w;
    w.DoubleClick(QStringLiteral("red.fcr"));
    ExpectPalette(w.Design(), RedFile, 0);
    EXPECT_EQ(w.host.edits, 1);
    EXPECT_TRUE(w.messages.isEmpty());

    w.Design().UseColor = 200;
    w.form->sbMerge->click();
    EXPECT_EQ(w.form->Mode(), PaletteFileMode::Merge);
    w.DoubleClick(QStringLiteral("green.fcr"));
    EXPECT_EQ(w.Design().UseColor, 200);
    ExpectPalette(w.Design(), RedFile, 0, 200);
    ExpectPalette(
        w.Design(), [](int i) { return GreenFile(i - 199); }, 201, 250);
    ExpectPalette(w.Design(), RedFile, 251, 255);
    EXPECT_EQ(w.host.edits, 2);
    EXPECT_EQ(w.form->Mode(), PaletteFileMode::Read);
    EXPECT_TRUE(w.form->sbRead->isChecked());
}

// A file that cannot be read (gone since the list was made) leaves both the preview and the
// design palette as they were, with a message.
TEST(PfmForm, UnreadableFileKeepsThePalettes)
{
    FileManager w;
    w.Click(QStringLiteral("green.fcr"));
    ASSERT_TRUE(QFile::remove(w.folder.file(QStringLiteral("red.fcr"))));

    w.Click(QStringLiteral("red.fcr"));
    ASSERT_EQ(w.messages.size(), 1);
    EXPECT_TRUE(w.messages[0].startsWith(QStringLiteral("The file could not be read:")));
    ExpectPalette(w.form->Preview(), GreenFile, 0);

    w.messages.clear();
    w.form->ActOnFile(QStringLiteral("red.fcr"));
    EXPECT_EQ(w.messages.size(), 1);
    ExpectPalette(w.Design(), DesignColour, 0);
    EXPECT_EQ(w.host.edits, 0);
}

// Save writes the design palette under the typed name. A mask, an empty name or a folder is
// refused and writes nothing; an existing file is overwritten only after the beep and OK.
TEST(PfmForm, SaveRefusesMasksAndAsksBeforeOverwriting)
{
    FileManager w;
    const QByteArray redBefore = w.Bytes(QStringLiteral("red.fcr"));
    w.form->sbSave->click();
    const struct
    {
        QString typed;
        QString message;
    } refused[] = {
        {QStringLiteral("*.fcr"), QStringLiteral("A file name cannot hold * or ?.")},
        {QStringLiteral("  "), QStringLiteral("Type the name of a palette file.")},
        {QStringLiteral("old/red"), QStringLiteral("Type a file name without a folder")},
    };
    for (const auto &r : refused) {
        w.messages.clear();
        w.form->FileEdit->setText(r.typed);
        w.form->sbFileSave->click();
        ASSERT_EQ(w.messages.size(), 1) << qPrintable(r.typed);
        EXPECT_TRUE(w.messages[0].startsWith(r.message)) << qPrintable(w.messages[0]);
        EXPECT_EQ(w.FileCount(), 3);
        EXPECT_EQ(w.form->Mode(), PaletteFileMode::Save);
    }

    // A new name: ".fcr" is added, no question.
    w.messages.clear();
    w.form->FileEdit->setText(QStringLiteral("blue"));
    QTest::keyClick(w.form->FileEdit, Qt::Key_Return);
    EXPECT_TRUE(w.messages.isEmpty());
    EXPECT_EQ(w.Bytes(QStringLiteral("blue.fcr")), w.Design().ToFileBytes());
    EXPECT_TRUE(w.Files().contains(QStringLiteral("blue.fcr")));
    EXPECT_EQ(w.form->Mode(), PaletteFileMode::Read);

    // Over an existing file: Message 0; Cancel keeps the file's bytes.
    w.form->sbSave->click();
    w.answer = QMessageBox::Cancel;
    w.DoubleClick(QStringLiteral("red.fcr"));
    EXPECT_EQ(w.messages, QStringList{w.host.messageTable().TextAt(0)});
    EXPECT_EQ(w.Bytes(QStringLiteral("red.fcr")), redBefore);
    EXPECT_EQ(w.form->Mode(), PaletteFileMode::Read);

    w.messages.clear();
    w.form->sbSave->click();
    w.answer = QMessageBox::Ok;
    w.DoubleClick(QStringLiteral("red.fcr"));
    EXPECT_EQ(w.messages.size(), 1);
    EXPECT_EQ(w.Bytes(QStringLiteral("red.fcr")), w.Design().ToFileBytes());
    ExpectPalette(w.form->Preview(), DesignColour, 0);
}

// Save As asks for the name, starting from the typed one (not from a mask).
TEST(PfmForm, SaveAsAsksForTheName)
{
    FileManager w;
    w.typedName = std::nullopt;
    w.form->sbSaveAs->click();
    ASSERT_EQ(w.asked.size(), 1);
    EXPECT_EQ(std::get<0>(w.asked[0]), w.host.commonTable().TextAt(21));
    EXPECT_EQ(std::get<2>(w.asked[0]), QString());
    EXPECT_EQ(w.FileCount(), 3);
    EXPECT_EQ(w.form->Mode(), PaletteFileMode::Read);

    w.form->FileEdit->setText(QStringLiteral("spring"));
    w.typedName = QStringLiteral("summer");
    w.form->sbSaveAs->click();
    EXPECT_EQ(std::get<2>(w.asked[1]), QStringLiteral("spring.fcr"));
    EXPECT_EQ(w.Bytes(QStringLiteral("summer.fcr")), w.Design().ToFileBytes());
    EXPECT_FALSE(QFile::exists(w.folder.file(QStringLiteral("spring.fcr"))));
    EXPECT_EQ(w.form->Mode(), PaletteFileMode::Read);

    w.typedName = QStringLiteral("*.fcr");
    w.form->sbSaveAs->click();
    EXPECT_EQ(w.messages.size(), 1);
    EXPECT_EQ(w.FileCount(), 4);
}

// Rename asks with Common 23 and 75; it never overwrites another file.
TEST(PfmForm, RenameNeverOverwrites)
{
    FileManager w;
    const QByteArray red = w.Bytes(QStringLiteral("red.fcr"));
    const QByteArray green = w.Bytes(QStringLiteral("green.fcr"));

    w.form->sbRename->click();
    w.typedName = QStringLiteral("green");
    w.DoubleClick(QStringLiteral("red.fcr"));
    ASSERT_EQ(w.asked.size(), 1);
    EXPECT_EQ(w.asked[0],
              std::make_tuple(w.host.commonTable().TextAt(23), w.host.commonTable().TextAt(75),
                              QStringLiteral("red.fcr")));
    EXPECT_EQ(w.messages, QStringList{QStringLiteral(
                              "A file of this name already exists. Nothing was renamed.")});
    EXPECT_EQ(w.Bytes(QStringLiteral("red.fcr")), red);
    EXPECT_EQ(w.Bytes(QStringLiteral("green.fcr")), green);
    EXPECT_EQ(w.form->Mode(), PaletteFileMode::Read);

    w.messages.clear();
    w.form->sbRename->click();
    w.typedName = QStringLiteral("x?");
    w.form->ActOnFile(QStringLiteral("red.fcr"));
    EXPECT_EQ(w.messages.size(), 1);
    EXPECT_EQ(w.Bytes(QStringLiteral("red.fcr")), red);

    w.messages.clear();
    w.form->sbRename->click();
    w.typedName = QStringLiteral("autumn");
    w.form->ActOnFile(QStringLiteral("red.fcr"));
    EXPECT_TRUE(w.messages.isEmpty());
    EXPECT_FALSE(QFile::exists(w.folder.file(QStringLiteral("red.fcr"))));
    EXPECT_EQ(w.Bytes(QStringLiteral("autumn.fcr")), red);
    EXPECT_EQ(w.Files(), (QStringList{QStringLiteral("autumn.fcr"), QStringLiteral("green.fcr")}));

    // A name with an extension keeps it (and so leaves the palette list).
    w.form->sbRename->click();
    w.typedName = QStringLiteral("autumn.bak");
    w.form->ActOnFile(QStringLiteral("autumn.fcr"));
    EXPECT_EQ(w.Bytes(QStringLiteral("autumn.bak")), red);
    EXPECT_EQ(w.Files(), QStringList{QStringLiteral("green.fcr")});
}

// Delete moves the file to the trash after OK; Cancel keeps it.
TEST(PfmForm, DeleteMovesToTheTrash)
{
    // A trash of the test's own: the home and data folders are set before the trash is looked
    // up, and given back afterwards.
    TempDir home;
    const Environment homeVariable("HOME", home.path());
    const Environment dataVariable("XDG_DATA_HOME", home.file(QStringLiteral("data")));
    ASSERT_EQ(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
              home.file(QStringLiteral("data")));
    ASSERT_TRUE(QDir().mkpath(home.file(QStringLiteral("data"))));
    {
        FileManager w;
        const QByteArray green = w.Bytes(QStringLiteral("green.fcr"));
        w.form->sbDelete->click();
        w.answer = QMessageBox::Cancel;
        w.DoubleClick(QStringLiteral("green.fcr"));
        EXPECT_EQ(w.messages.size(), 1);
        EXPECT_EQ(w.Bytes(QStringLiteral("green.fcr")), green);
        EXPECT_EQ(w.form->Mode(), PaletteFileMode::Read);

        w.form->sbDelete->click();
        w.answer = QMessageBox::Ok;
        w.DoubleClick(QStringLiteral("green.fcr"));
        EXPECT_EQ(w.messages.size(), 2);
        EXPECT_FALSE(QFile::exists(w.folder.file(QStringLiteral("green.fcr"))));
        EXPECT_EQ(test::readFile(home.file(QStringLiteral("data/Trash/files/green.fcr"))), green);
        EXPECT_EQ(w.Files(), QStringList{QStringLiteral("red.fcr")});
        EXPECT_EQ(w.form->Mode(), PaletteFileMode::Read);
    }
}

// Import takes the colours of a text file into entries 1, 2, ...; a bad line changes nothing and
// is named. Export writes what Import reads back.
TEST(PfmForm, ImportAndExport)
{
    FileManager w;
    TempDir dir;
    const QString bad = dir.file(QStringLiteral("bad.gpl"));
    ASSERT_TRUE(test::writeFile(bad, "GIMP Palette\n1 2 3\n# fine\n4 5 666\n"));
    EXPECT_FALSE(w.form->ImportFile(bad, PaletteTextFormat::Gpl));
    EXPECT_EQ(w.messages, QStringList{QStringLiteral(
                              "Line 4 holds a value outside 0 to 255. Nothing was imported.")});
    ExpectPalette(w.Design(), DesignColour, 0);
    EXPECT_EQ(w.host.edits, 0);

    w.messages.clear();
    const QString css = dir.file(QStringLiteral("site.css"));
    ASSERT_TRUE(test::writeFile(css, "a { color: #102030 } b { color: #fff }"));
    EXPECT_TRUE(w.form->ImportFile(css, PaletteTextFormat::Hex));
    EXPECT_TRUE(w.messages.isEmpty());
    EXPECT_EQ(EntryRgb(w.Design(), 1), std::make_tuple(16, 32, 48));
    EXPECT_EQ(EntryRgb(w.Design(), 2), std::make_tuple(255, 255, 255));
    ExpectPalette(w.Design(), DesignColour, 3);
    EXPECT_EQ(w.host.edits, 1);

    const QString exported = dir.file(QStringLiteral("out.gpl"));
    EXPECT_TRUE(w.form->ExportFile(exported, PaletteTextFormat::Gpl));
    TPalette back;
    ApplyImportedColors(back, ParsePaletteText(test::readFile(exported), PaletteTextFormat::Gpl));
    ExpectPalette(back, [&w](int i) { return EntryRgb(w.Design(), i); });
}

// The Korean window shows its own texts, and no button is cut short.
TEST(PfmForm, KoreanTextsFit)
{
    FileManager w(QStringLiteral("Korean"));
    EXPECT_EQ(w.form->windowTitle(), QStringLiteral("팔레트 파일 관리자  ( *.fcr )"));
    for (QToolButton *button : w.form->findChildren<QToolButton *>()) {
        EXPECT_FALSE(button->text().isEmpty()) << qPrintable(button->objectName());
        EXPECT_GE(button->width(), button->sizeHint().width()) << qPrintable(button->objectName());
    }
    EXPECT_GE(w.form->lbFileName->width(), w.form->lbFileName->sizeHint().width());
    // WARPLON_GRAB names a folder for a picture of the window, to look at.
    const QString grab = qEnvironmentVariable("WARPLON_GRAB");
    if (!grab.isEmpty()) {
        FileManager english;
        for (FileManager *shown : {&w, &english}) {
            shown->Click(QStringLiteral("red.fcr"));
            TDIB256Palette *view = shown->form->PaletteView;
            const QPointF at(view->SquareRect(view->FirstVisibleIndex() + 5).center());
            QMouseEvent move(QEvent::MouseMove, at, view->mapToGlobal(at), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(view, &move);
        }
        w.form->grab().save(grab + QStringLiteral("/pfm-korean.png"));
        english.form->grab().save(grab + QStringLiteral("/pfm-english.png"));
    }
}

TEST(DriveComboBox, ShowsTheFileSystemHoldingAFolder)
{
    const QStringList roots{QStringLiteral("/"), QStringLiteral("/home"), QStringLiteral("/home2"),
                            QStringLiteral("C:/")};
    EXPECT_EQ(DriveComboBox::RootHolding(roots, QStringLiteral("/home/ann/color")),
              QStringLiteral("/home"));
    EXPECT_EQ(DriveComboBox::RootHolding(roots, QStringLiteral("/home")), QStringLiteral("/home"));
    EXPECT_EQ(DriveComboBox::RootHolding(roots, QStringLiteral("/home22/x")), QStringLiteral("/"));
    EXPECT_EQ(DriveComboBox::RootHolding(roots, QStringLiteral("C:/Warplon")),
              QStringLiteral("C:/"));
    EXPECT_EQ(DriveComboBox::RootHolding({QStringLiteral("C:/")}, QStringLiteral("D:/x")),
              QString());

    DriveComboBox box;
    ASSERT_GT(box.count(), 0);
    QStringList chosen;
    QObject::connect(&box, &DriveComboBox::driveChosen,
                     [&chosen](const QString &root) { chosen.append(root); });
    box.SetDriveOf(QDir::tempPath());
    EXPECT_EQ(box.Drive(), DriveComboBox::RootHolding(box.Drives(), QDir::tempPath()));
    EXPECT_TRUE(chosen.isEmpty());
    box.Reload();
    EXPECT_EQ(box.Drive(), DriveComboBox::RootHolding(box.Drives(), QDir::tempPath()));
}
