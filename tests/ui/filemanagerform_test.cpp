#include "app/design.h"
#include "app/designjson.h"
#include "app/filemanagerform.h"
#include "app/filepreferbox.h"
#include "app/messagebox.h"
#include "knit/designfile.h"
#include "testsupport.h"
#include "text/inifile.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>

using namespace warplon;
using test::Bytes;
using test::TempDir;

namespace {

// Points a variable at a folder of the test and puts the old value back afterwards.
class ScopedEnv
{
public:
    ScopedEnv(const char *name, const QString &value)
        : m_name(name)
        , m_old(qgetenv(name))
        , m_had(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value.toUtf8());
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    QByteArray m_old;
    bool m_had;
};

// A program directory with the shipped language files, a folder of designs named in "Main.ini",
// a design behind the callbacks and message boxes answered by the test.
struct Fixture
{
    Fixture()
        : config("XDG_CONFIG_HOME", root.file(QStringLiteral("config")))
        , data("XDG_DATA_HOME", root.file(QStringLiteral("data")))
        , home("HOME", root.file(QStringLiteral("home")))
    {
        for (const char *sub : {"config", "data", "home", "program", "designs"})
            QDir(root.path()).mkpath(QLatin1String(sub));
        for (const QString &name : {QStringLiteral("English.tdw"), QStringLiteral("Korean.tdw")})
            QFile::copy(QStringLiteral(WARPLON_RESOURCES "/") + name,
                        QDir(program()).filePath(name));
        IniFile(QDir(program()).filePath(QStringLiteral("Main.ini")))
            .WriteString(QStringLiteral("FileManager"), QStringLiteral("DirectoryName"), folder());
        MakeNewDesign(design);
        design.header.note1 = "Tulle";
        SetMessageHandler([this](QMessageBox::Icon, const QString &, const QString &text,
                                 QMessageBox::StandardButtons) {
            messages.append(text);
            return answers.isEmpty() ? QMessageBox::Ok : answers.takeFirst();
        });
    }
    ~Fixture()
    {
        form.reset();
        SetMessageHandler({});
    }

    QString program() const { return root.file(QStringLiteral("program")); }
    QString folder() const { return root.file(QStringLiteral("designs")); }
    QString file(const QString &name) const { return QDir(folder()).filePath(name); }

    void Open(bool withCallbacks = true, const QString &language = QStringLiteral("English"))
    {
        form = std::make_unique<TFileManagerForm>(program(), language);
        if (withCallbacks)
            form->SetCallbacks(Callbacks());
        form->show();
    }
    FileManagerCallbacks Callbacks()
    {
        FileManagerCallbacks callbacks;
        callbacks.load = [this](const QString &path) {
            loaded.append(path);
            return LoadDesign(path, design.records()) == LoadResult::Loaded;
        };
        callbacks.completeName
            = [](const QString &name, int filter) { return CompleteDesignName(name, filter); };
        callbacks.save = [this](const QString &path, int compression) {
            compressions.append(compression);
            return SaveDesign(path, design.records(), uint8_t(compression));
        };
        return callbacks;
    }
    void Act(FileManagerMode mode, const QString &typed)
    {
        form->SetMode(mode);
        form->Edit4->setText(typed);
        form->SpeedButton4->click();
    }
    QStringList Listed() const
    {
        QStringList names;
        for (const DesignListEntry &entry : form->Entries())
            names.append(entry.name);
        return names;
    }
    const DesignListEntry *Entry(const QString &name) const
    {
        for (const DesignListEntry &entry : form->Entries())
            if (entry.name == name)
                return &entry;
        return nullptr;
    }
    QString DesignText()
    {
        return QString::fromUtf8(QJsonDocument(DesignToJson(design, 0)).toJson());
    }

    TempDir root;
    ScopedEnv config;
    ScopedEnv data;
    ScopedEnv home;
    Design design;
    std::unique_ptr<TFileManagerForm> form;
    QStringList messages;
    QList<QMessageBox::StandardButton> answers;
    QStringList loaded;
    QList<int> compressions;
};

QString UnknownError()
{
    return QStringLiteral("Unknown Error in FileManagerForm");
}

} // namespace

TEST(FileManagerForm, CommandsAreEnabledByTheCallbacksAndTheTypedName)
{
    Fixture f;
    f.Open(false);
    EXPECT_EQ(f.form->Mode(), FileManagerMode::Read);
    EXPECT_TRUE(f.form->SpeedButtonRead->isChecked());
    EXPECT_FALSE(f.form->SpeedButtonRead->isEnabled());
    EXPECT_FALSE(f.form->SpeedButtonSave->isEnabled());
    EXPECT_FALSE(f.form->SpeedButtonSaveAs->isEnabled());
    FileManagerCallbacks onlyLoad = f.Callbacks();
    onlyLoad.save = nullptr;
    f.form->SetCallbacks(onlyLoad);
    EXPECT_TRUE(f.form->SpeedButtonRead->isEnabled());
    EXPECT_FALSE(f.form->SpeedButtonSave->isEnabled());
    f.form->SetCallbacks(f.Callbacks());
    EXPECT_TRUE(f.form->SpeedButtonSave->isEnabled());
    EXPECT_TRUE(f.form->SpeedButtonSaveAs->isEnabled());
    EXPECT_FALSE(f.form->SpeedButtonMerge->isEnabled());

    f.form->SetMode(FileManagerMode::SaveAs);
    EXPECT_EQ(f.form->SpeedButton4->text(), QStringLiteral("Save As"));
    EXPECT_EQ(f.form->Label4->text(), QStringLiteral("File Name"));
    EXPECT_FALSE(f.form->SpeedButton4->isEnabled());
    f.form->Edit4->setText(QStringLiteral("x"));
    EXPECT_TRUE(f.form->SpeedButton4->isEnabled());
    f.form->SetMode(FileManagerMode::Merge);
    EXPECT_FALSE(f.form->NameRow->isVisible());
    f.form->SetMode(FileManagerMode::MakeFolder);
    EXPECT_TRUE(f.form->NameRow->isVisible());
    EXPECT_EQ(f.form->SpeedButton4->text(), QStringLiteral("Create"));
    EXPECT_EQ(f.form->Label4->text(), QStringLiteral("Folder Name"));

    // Esc is Exit.
    QTest::keyClick(f.form.get(), Qt::Key_Escape);
    EXPECT_FALSE(f.form->isVisible());
    EXPECT_EQ(f.form->result(), QDialog::Rejected);
}

TEST(FileManagerForm, SaveAsCompletesNamesAndAsksBeforeOverwriting)
{
    Fixture f;
    f.Open();
    f.Act(FileManagerMode::SaveAs, QStringLiteral("weft"));
    EXPECT_EQ(f.form->Mode(), FileManagerMode::Read);
    ASSERT_TRUE(QFileInfo::exists(f.file(QStringLiteral("weft.trc"))));
    const DesignListEntry *weft = f.Entry(QStringLiteral("weft.trc"));
    ASSERT_NE(weft, nullptr);
    EXPECT_TRUE(weft->previewRead);
    EXPECT_EQ(weft->preview.size(), QSize(80, 100));
    EXPECT_EQ(weft->noteText, QStringLiteral("Tulle"));
    EXPECT_TRUE(f.messages.isEmpty());

    f.Act(FileManagerMode::SaveAs, QStringLiteral("v1.2"));
    EXPECT_TRUE(QFileInfo::exists(f.file(QStringLiteral("v1.2"))));
    EXPECT_FALSE(QFileInfo::exists(f.file(QStringLiteral("v1.2.trc"))));

    // Overwriting asks; Cancel leaves the file's bytes.
    const QByteArray before = test::readFile(f.file(QStringLiteral("weft.trc")));
    f.design.header.note1 = "Changed";
    f.answers = {QMessageBox::Cancel};
    f.Act(FileManagerMode::SaveAs, QStringLiteral("weft"));
    ASSERT_EQ(f.messages.size(), 1);
    EXPECT_EQ(f.messages[0], QStringLiteral("The file \"weft.trc\" already exists.\r\nDo you want "
                                            "to overwrite it?"));
    EXPECT_EQ(test::readFile(f.file(QStringLiteral("weft.trc"))), before);
    EXPECT_EQ(f.compressions, (QList<int>{0, 0}));

    // OK overwrites, compressed when the box is checked.
    f.form->CompressCheckBox->setChecked(true);
    f.Act(FileManagerMode::Save, QStringLiteral("weft.trc"));
    EXPECT_EQ(f.messages.size(), 2);
    EXPECT_EQ(f.compressions.last(), 2);
    EXPECT_EQ(f.Entry(QStringLiteral("weft.trc"))->noteText, QStringLiteral("Changed"));

    // Names that leave the folder are refused before anything is written.
    f.Act(FileManagerMode::SaveAs, QStringLiteral("../out"));
    f.Act(FileManagerMode::SaveAs, QStringLiteral(".."));
    EXPECT_EQ(f.compressions.size(), 3);
    EXPECT_FALSE(QFileInfo::exists(f.root.file(QStringLiteral("out.trc"))));
    EXPECT_EQ(f.messages.size(), 4);
}

TEST(FileManagerForm, ReadAsksFirstAndRenameNeverOverwrites)
{
    Fixture f;
    ASSERT_TRUE(SaveDesign(f.file(QStringLiteral("a.trc")), f.design.records(), 0));
    ASSERT_TRUE(test::writeFile(f.file(QStringLiteral("c.trc")), "other"));
    f.Open();
    f.design.header.note1 = "Open";

    f.answers = {QMessageBox::Cancel};
    f.form->DoubleClickFile(QStringLiteral("a.trc"));
    EXPECT_TRUE(f.loaded.isEmpty());
    EXPECT_EQ(f.messages.value(0), QStringLiteral("Opening this file replaces the current "
                                                  "design.\r\nChanges that have not been saved "
                                                  "will be lost. Continue?"));
    f.form->DoubleClickFile(QStringLiteral("a.trc"));
    EXPECT_EQ(f.loaded, QStringList{f.file(QStringLiteral("a.trc"))});
    EXPECT_EQ(f.design.header.note1, QByteArray("Tulle"));
    f.messages.clear();

    // Rename without a pressed file, onto an existing file: refused, both files kept.
    f.form->PressFile(QString());
    f.Act(FileManagerMode::Rename, QStringLiteral("b"));
    EXPECT_EQ(f.messages, QStringList{UnknownError()});
    f.form->PressFile(QStringLiteral("a.trc"));
    f.Act(FileManagerMode::Rename, QStringLiteral("c.trc"));
    EXPECT_EQ(f.messages, (QStringList{UnknownError(), UnknownError()}));
    EXPECT_EQ(test::readFile(f.file(QStringLiteral("c.trc"))), QByteArray("other"));
    EXPECT_EQ(f.Listed(), (QStringList{QStringLiteral("a.trc"), QStringLiteral("c.trc")}));

    f.form->PressFile(QStringLiteral("a.trc"));
    f.Act(FileManagerMode::Rename, QStringLiteral("b"));
    EXPECT_EQ(f.Listed(), (QStringList{QStringLiteral("b.trc"), QStringLiteral("c.trc")}));
    EXPECT_EQ(f.form->Mode(), FileManagerMode::Read);

    // The same through an edit of the caption in place.
    QAbstractItemModel *model = f.form->ListViewIcons->model();
    ASSERT_EQ(model->index(0, 0).data().toString(), QStringLiteral("b.trc"));
    ASSERT_TRUE(model->setData(model->index(0, 0), QStringLiteral("d")));
    QTRY_COMPARE(f.Listed(), (QStringList{QStringLiteral("c.trc"), QStringLiteral("d.trc")}));
    EXPECT_EQ(f.messages.size(), 2);

    // A press with the mouse names the file; a double click in Read mode reads it.
    f.form->SetViewType(FileViewType::Report);
    QTreeView *report = f.form->ListViewReport;
    const QPoint at = report->visualRect(report->model()->index(1, 0)).center();
    QTest::mouseClick(report->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(f.form->SelectedFile(), QStringLiteral("d.trc"));
    EXPECT_EQ(f.form->Edit4->text(), QStringLiteral("d.trc"));
    QTest::mouseDClick(report->viewport(), Qt::LeftButton, {}, at);
    QTRY_COMPARE(f.loaded.size(), 2);
    EXPECT_EQ(f.loaded.last(), f.file(QStringLiteral("d.trc")));
    f.messages.removeLast();

    // Make Folder, and once more onto the same name.
    f.Act(FileManagerMode::MakeFolder, QStringLiteral("spring"));
    EXPECT_TRUE(QFileInfo(f.file(QStringLiteral("spring"))).isDir());
    f.Act(FileManagerMode::MakeFolder, QStringLiteral("spring"));
    EXPECT_EQ(f.messages.size(), 3);
    EXPECT_EQ(f.messages.last(), UnknownError());
}

TEST(FileManagerForm, ListsEveryDesignWithoutTouchingTheOpenOne)
{
    Fixture f;
    Design saved;
    MakeNewDesign(saved);
    saved.header.note1 = "Mesh";
    ASSERT_TRUE(SaveDesign(f.file(QStringLiteral("v102.trc")), saved.records(), 0));
    const QByteArray v102 = test::readFile(f.file(QStringLiteral("v102.trc")));
    const auto withVersion = [&](int32_t version) {
        return QByteArray(v102).replace(0, 4, Bytes().i32(version).data());
    };
    ASSERT_TRUE(test::writeFile(f.file(QStringLiteral("v101.trc")), withVersion(101)));
    ASSERT_TRUE(test::writeFile(f.file(QStringLiteral("v103.trc")), withVersion(103)));
    ASSERT_TRUE(test::writeFile(f.file(QStringLiteral("UPPER.TRC")), v102));
    ASSERT_TRUE(test::writeFile(f.file(QStringLiteral("cut.trc")), v102.left(25010)));
    ASSERT_TRUE(test::writeFile(f.file(QStringLiteral("empty.trc")), QByteArray()));
    // Old layout: bars, courses, and a yarn count no file could hold.
    ASSERT_TRUE(test::writeFile(f.file(QStringLiteral("old.trc")), Bytes()
                                                                       .i32(5)
                                                                       .i32(1)
                                                                       .i32(4)
                                                                       .i32(56)
                                                                       .f64(18.0)
                                                                       .i32(2)
                                                                       .i32(3)
                                                                       .u8(1)
                                                                       .i32(5)
                                                                       .i32(28)
                                                                       .f64(20.0)
                                                                       .f64(84.0)
                                                                       .i32(0)
                                                                       .i32(6)
                                                                       .i32(1)
                                                                       .i32(0x7FFFFFF0)));
    ASSERT_TRUE(test::writeFile(f.file(QStringLiteral("notes.txt")), v102));
    const QString before = f.DesignText();
    f.Open();

    EXPECT_EQ(f.Listed(), (QStringList{QStringLiteral("UPPER.TRC"), QStringLiteral("cut.trc"),
                                       QStringLiteral("empty.trc"), QStringLiteral("old.trc"),
                                       QStringLiteral("v101.trc"), QStringLiteral("v102.trc"),
                                       QStringLiteral("v103.trc")}));
    for (const char *name : {"UPPER.TRC", "v101.trc", "v102.trc"}) {
        EXPECT_TRUE(f.Entry(QLatin1String(name))->previewRead) << name;
        EXPECT_EQ(f.Entry(QLatin1String(name))->noteText, QStringLiteral("Mesh")) << name;
    }
    for (const char *name : {"cut.trc", "empty.trc", "old.trc", "v103.trc"})
        EXPECT_FALSE(f.Entry(QLatin1String(name))->previewRead) << name;
    EXPECT_EQ(f.DesignText(), before);

    // The version under the mouse in Large View only.
    f.form->HoverFile(QStringLiteral("v103.trc"));
    EXPECT_EQ(f.form->StatusPanels[2]->text(), QStringLiteral(" Version 103"));
    f.form->HoverFile(QStringLiteral("v101.trc"));
    EXPECT_EQ(f.form->StatusPanels[2]->text(), QStringLiteral(" Version 101"));
    EXPECT_TRUE(
        f.form->StatusPanels[0]->text().startsWith(QStringLiteral("Current Free Spaces :  ")));

    // Report View keeps the list; back in Large View it is read again once, with pictures.
    const int reads = f.form->ListReads();
    f.form->SetViewType(FileViewType::Report);
    EXPECT_EQ(f.form->ListView->currentWidget(), static_cast<QWidget *>(f.form->ListViewReport));
    f.form->HoverFile(QStringLiteral("v101.trc"));
    EXPECT_TRUE(f.form->StatusPanels[2]->text().isEmpty());
    f.form->RebuildList(true);
    EXPECT_TRUE(f.form->ListStale());
    EXPECT_TRUE(f.Entry(QStringLiteral("v102.trc"))->preview.isNull());
    f.form->SetViewType(FileViewType::Large);
    EXPECT_EQ(f.form->ListReads(), reads + 2);
    EXPECT_FALSE(f.Entry(QStringLiteral("v102.trc"))->preview.isNull());
    f.form->SetViewType(FileViewType::Report);
    f.form->SetViewType(FileViewType::Large);
    EXPECT_EQ(f.form->ListReads(), reads + 2);
    EXPECT_EQ(f.DesignText(), before);
}

TEST(FileManagerForm, ColumnClicksSortAscendingFirstThenReverse)
{
    Fixture f;
    const QDateTime early(QDate(2026, 9, 30), QTime(12, 0));
    const QDateTime late(QDate(2026, 10, 1), QTime(8, 0));
    const auto make = [&](const char *name, qsizetype size, const QDateTime &time) {
        ASSERT_TRUE(test::writeFile(f.file(QLatin1String(name)), QByteArray(size, '\0')));
        QFile file(f.file(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
    };
    make("a.trc", 100 * 1024, early);
    make("B.trc", 99 * 1024, late);
    f.Open();
    const auto order = [&] { return f.Listed().join(QLatin1Char(' ')); };

    f.form->ClickColumn(2);
    EXPECT_EQ(order(), QStringLiteral("B.trc a.trc"));
    f.form->ClickColumn(2);
    EXPECT_EQ(order(), QStringLiteral("a.trc B.trc"));
    EXPECT_EQ(f.Entry(QStringLiteral("a.trc"))->dateText, QStringLiteral("2026-9-30  12:0"));
    f.form->ClickColumn(3);
    EXPECT_EQ(order(), QStringLiteral("a.trc B.trc"));
    f.form->ClickColumn(3);
    EXPECT_EQ(order(), QStringLiteral("B.trc a.trc"));
    f.form->ClickColumn(0);
    EXPECT_EQ(order(), QStringLiteral("B.trc a.trc"));
    f.form->ClickColumn(0);
    EXPECT_EQ(order(), QStringLiteral("a.trc B.trc"));
}

TEST(FileManagerForm, DeleteMovesToTheTrashAfterAskingAndSettingsAreKept)
{
    Fixture f;
    const auto table = [&](const QString &section) {
        TStringTable texts;
        LoadTable(texts, f.program(), QStringLiteral("English"), section);
        return texts;
    };
    ASSERT_TRUE(test::writeFile(f.file(QStringLiteral("gone.trc")), "design"));
    f.Open();
    f.form->PressFile(QStringLiteral("gone.trc"));
    f.answers = {QMessageBox::Cancel};
    f.form->PopupDelete();
    EXPECT_TRUE(QFileInfo::exists(f.file(QStringLiteral("gone.trc"))));
    ASSERT_EQ(f.messages.size(), 1);
    EXPECT_TRUE(f.messages[0].contains(QStringLiteral("gone.trc")));
    f.form->PopupDelete();
    EXPECT_FALSE(QFileInfo::exists(f.file(QStringLiteral("gone.trc"))));
    EXPECT_TRUE(f.Listed().isEmpty());
    const QDir trash(f.root.file(QStringLiteral("data/Trash")));
    EXPECT_EQ(test::readFile(trash.filePath(QStringLiteral("files/gone.trc"))),
              QByteArray("design"));
    EXPECT_TRUE(QFileInfo::exists(trash.filePath(QStringLiteral("info/gone.trc.trashinfo"))));

    // Folders of the tree: renamed in place, then deleted; the current folder inside goes up.
    ASSERT_TRUE(QDir(f.folder()).mkpath(QStringLiteral("old/inner")));
    f.form->SetFolder(f.file(QStringLiteral("old/inner")));
    f.form->PressFolder(f.file(QStringLiteral("old")));
    f.form->FolderRename(QStringLiteral("new"));
    EXPECT_EQ(f.form->Folder(), f.file(QStringLiteral("new/inner")));
    f.messages.clear();
    f.form->FolderDelete();
    ASSERT_EQ(f.messages.size(), 1);
    EXPECT_TRUE(f.messages[0].contains(QStringLiteral("new")));
    EXPECT_TRUE(QFileInfo(trash.filePath(QStringLiteral("files/new/inner"))).isDir());
    EXPECT_EQ(f.form->Folder(), f.folder());

    // The information box of a file.
    ASSERT_TRUE(test::writeFile(f.file(QStringLiteral("info.trc")), QByteArray(3000, 'x')));
    TFilePreferBox box(f.file(QStringLiteral("info.trc")), table(QStringLiteral("FileManager")),
                       table(QStringLiteral("Common")));
    EXPECT_TRUE(box.LabelLocation->text().endsWith(QStringLiteral("info.trc")));
    EXPECT_TRUE(box.LabelSize->text().startsWith(QStringLiteral("3KB")));
    EXPECT_EQ(box.LabelModified->text(),
              DateText(QFileInfo(f.file(QStringLiteral("info.trc"))).lastModified()));
    EXPECT_EQ(box.ButtonOK->text(), QStringLiteral("O  K"));

    // Settings go to "Main.ini" on close and come back; bad ones fall back.
    f.form->SetViewType(FileViewType::Report);
    f.form->CompressCheckBox->setChecked(true);
    f.form->SpeedButtonExit->click();
    const QString ini = QDir(f.program()).filePath(QStringLiteral("Main.ini"));
    EXPECT_EQ(
        IniFile(ini).ReadInteger(QStringLiteral("FileManager"), QStringLiteral("ViewType"), -1), 3);
    f.Open();
    EXPECT_EQ(f.form->ViewType(), FileViewType::Report);
    EXPECT_TRUE(f.form->CompressCheckBox->isChecked());
    EXPECT_EQ(f.form->Folder(), f.folder());
    f.form.reset();
    IniFile(ini).WriteString(QStringLiteral("FileManager"), QStringLiteral("DirectoryName"),
                             f.root.file(QStringLiteral("missing")));
    IniFile(ini).WriteInteger(QStringLiteral("FileManager"), QStringLiteral("ViewType"), 9);
    f.Open();
    EXPECT_EQ(f.form->ViewType(), FileViewType::Large);
    EXPECT_EQ(f.form->Folder(), QDir(f.program()).filePath(QStringLiteral("tricot")));
    EXPECT_TRUE(QFileInfo(f.form->Folder()).isDir());
}
