#include "model/project/ProjectCreation.h"
#include "Errors.h"
#include "ScriptedPrompts.h"
#include "SessionSetUp.h"
#include "TempDir.h"
#include "model/core/DataPacket.h"
#include "model/core/Error.h"
#include "model/core/MapTree.h"
#include "model/core/Paths.h"
#include "model/core/ProjectFile.h"
#include "model/core/Text.h"
#include "model/database/DataModule.h"
#include "model/session/Workspace.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <map>
#include <set>

#include <sys/stat.h>

using namespace quillmark;

namespace {

using qmtest::folderFiles;

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

// A copy of the template set that a test may doctor.
class EditorCopy {
public:
    EditorCopy() {
        const QString bin = qmtest::binFolder();
        for (const char* sub : {"Data", "Imagens"}) {
            QDir().mkpath(dir.path() + sub);
            QDirIterator it(bin + sub, QDir::Files);
            while (it.hasNext()) {
                it.next();
                QFile::copy(it.filePath(), dir.path() + sub + '/' + it.fileName());
            }
        }
        QFile::copy(bin + "VeroviZBlue.dll", dir.path() + "VeroviZBlue.dll");
    }
    QString path() const { return dir.path(); }
    void remove(const QString& relative) const {
        ASSERT_TRUE(QFile::remove(dir.path() + relative)) << relative.toStdString();
    }
    qmtest::TempDir dir;
};

// A tiles table of the given (Tipo, File) records.
QByteArray tilesTable(const std::vector<std::pair<std::string, std::string>>& rows) {
    std::vector<Record> records;
    int cod = 0;
    for (const auto& [tipo, file] : rows) {
        Record r(tilesSchema().size());
        r[0] = tipo;
        r[2] = file;
        r[4] = std::to_string(cod++);
        r[5] = "FALSE";
        records.push_back(r);
    }
    return QByteArray::fromStdString(datapacket::write(tilesSchema(), records));
}

struct Created {
    TDataModule1 data;
    ProjectState project;
    MapTree tree;
};

void create(Created& c, const QString& editor, const QString& file, const std::string& name = "Aventura",
            const std::string& author = "Equipe") {
    NewProjectRequest request{editor, file, name, author};
    createProject(request, c.data, c.project, c.tree);
}

// What a new project receives from the template set in `editor`: destination
// (relative to the project folder) -> source (relative to the editor folder),
// built from the template tables and the lists of fixed copies.
std::map<QString, QString> expectedCopies(const QString& editor, const QString& runtimeName) {
    std::map<QString, QString> expected;
    auto add = [&](const std::string& src, const std::string& dst) {
        QString s = fromCp1252(src), d = fromCp1252(dst);
        s.replace('\\', '/');
        d.replace('\\', '/');
        if (QFileInfo::exists(editor + s) && !expected.count(d)) expected[d] = s;
    };
    for (const std::string& table : templateTables()) add(table, table);
    add("Data\\Vorpex.exe", toCp1252(runtimeName));
    add("VeroviZBlue.dll", "Data\\VeroviZ.dll");
    add("Imagens\\null.bmp", "Imagens\\null.bmp");
    TDataModule1 data;
    data.pointAt(data.cdsTiles, editor);
    data.pointAt(data.cdsPersonagem, editor);
    for (data.cdsTiles.first(); !data.cdsTiles.eof(); data.cdsTiles.next()) {
        const std::string file = data.cdsTiles.asString("File");
        add("Imagens\\" + file, "Imagens\\" + file);
        const std::string tipo = data.cdsTiles.asString("Tipo");
        const auto frames = animatedTileFrames(static_cast<unsigned char>(tipo[0]));
        if (frames.size() == 2 && QFileInfo::exists(editor + "Imagens/" + fromCp1252(frames[0])) &&
            QFileInfo::exists(editor + "Imagens/" + fromCp1252(frames[1])))
            for (const std::string& f : frames) add("Imagens\\" + f, "Imagens\\" + f);
    }
    for (const TemplateCopy& c : fixedTemplateFiles()) add(c.source, c.destination);
    for (const std::string& field : heroFrameFields()) {
        const std::string file = data.cdsPersonagem.asString(field);
        add("Imagens\\" + file, "Imagens\\" + file);
    }
    return expected;
}

using qmtest::errorOf;

}  // namespace

TEST(ProjectCreation, EmptyFolderReceivesTheTemplateSetFileByFile) {
    const QString editor = qmtest::binFolder();
    ASSERT_TRUE(QFileInfo::exists(editor + "Data/Tiles.xml")) << "the template set is built with the editor";
    qmtest::TempDir dir;
    Created c;
    bool foldersMadeBeforeTables = false;
    NewProjectRequest request{editor, dir.file("Aventura.qmk"), "Aventura", "Equipe"};
    createProject(request, c.data, c.project, c.tree, [&] {
        foldersMadeBeforeTables = QFileInfo(dir.file("Saves")).isDir() && !dir.exists("Data/Tiles.xml");
    });
    EXPECT_TRUE(foldersMadeBeforeTables);

    EXPECT_EQ(dir.read("Aventura.qmk"), QByteArray("Project Name:Aventura\r\nProject Autor:Equipe\r\nMapas:\r\n"
                                                   "Mapa Inicial:\r\nChar X:200\r\nChar Y:190\r\n"));
    for (const char* sub : {"Mapas", "Imagens", "Sounds", "Data", "Saves"})
        EXPECT_TRUE(QFileInfo(dir.file(sub)).isDir()) << sub;

    // Exactly the expected files, each a byte copy of its template.
    const std::map<QString, QString> expected = expectedCopies(editor, "Aventura.exe");
    std::map<QString, QByteArray> files = folderFiles(dir.path());
    ASSERT_TRUE(files.count("Aventura.qmk"));
    files.erase("Aventura.qmk");
    std::set<QString> got, want;
    for (const auto& [name, bytes] : files) got.insert(name);
    for (const auto& [dst, src] : expected) want.insert(dst);
    EXPECT_EQ(got, want);
    for (const auto& [dst, src] : expected)
        EXPECT_EQ(files[dst], bytesOf(editor + src)) << dst.toStdString() << " from " << src.toStdString();

    // Facts independent of the lists above.
    EXPECT_EQ(files["Aventura.exe"], bytesOf(editor + "Data/Vorpex.exe"));
    EXPECT_EQ(files["Data/VeroviZ.dll"], bytesOf(editor + "VeroviZBlue.dll"));
    EXPECT_EQ(files["Imagens/CharDown.bmp"], bytesOf(editor + "Imagens/CDown.bmp"));
    EXPECT_EQ(files["Imagens/CharRight3.bmp"], bytesOf(editor + "Imagens/CRight3.bmp"));
    EXPECT_EQ(files["Sounds/MenuSelect.wav"], bytesOf(editor + "Data/MenuSelect.wav"));
    EXPECT_TRUE(files.count("Gen_VisDrawer.dll"));
    EXPECT_TRUE(files.count("Imagens/Grama.bmp"));
    EXPECT_TRUE(files.count("Imagens/TileAni102.bmp"));
    EXPECT_TRUE(files.count("Imagens/TileAni1203.bmp"));
    EXPECT_TRUE(files.count("Imagens/Face01.bmp"));
    EXPECT_FALSE(files.count("Imagens/grass.bmp"));  // the editor's own picture stays behind
    EXPECT_FALSE(files.count("Imagens/CDown.bmp"));

    // The project state and the tables.
    EXPECT_EQ(c.project.ProjectFile, dir.file("Aventura.qmk"));
    EXPECT_EQ(c.project.ProjectFolder, dir.path());
    EXPECT_EQ(c.project.RuntimePath, dir.file("Aventura.exe"));
    EXPECT_TRUE(c.project.MapList.isEmpty());
    EXPECT_EQ(c.project.MapsLine, "");
    EXPECT_EQ(c.project.InitialMap, "");
    EXPECT_EQ(c.project.CharX, 200);
    EXPECT_EQ(c.project.CharY, 190);
    for (RecordTable* t :
         {&c.data.cdsTiles, &c.data.cdsMonstros, &c.data.cdsItens, &c.data.cdsMagias, &c.data.cdsPersonagem}) {
        EXPECT_TRUE(t->active());
        EXPECT_TRUE(t->fileName().startsWith(dir.path())) << t->name();
    }
    ASSERT_NE(c.tree.root(), nullptr);
    EXPECT_EQ(c.tree.root()->text(), "Aventura");
    EXPECT_EQ(c.tree.count(), 1u);
}

TEST(ProjectCreation, TablesAreReopenedInTheirOrder) {
    qmtest::TempDir dir;
    Created c;
    std::vector<std::string> opened;
    for (RecordTable* t :
         {&c.data.cdsItens, &c.data.cdsMagias, &c.data.cdsMonstros, &c.data.cdsPersonagem, &c.data.cdsTiles}) {
        RecordTable::Step previous = t->afterOpen;
        t->afterOpen = [&opened, previous](RecordTable& table) {
            opened.push_back(table.name());
            if (previous) previous(table);
        };
    }
    create(c, qmtest::binFolder(), dir.file("A.qmk"));
    EXPECT_EQ(opened, (std::vector<std::string>{"Tiles", "Monstros", "Itens", "Magias", "Personagem"}));
}

TEST(ProjectCreation, FolderWithAProjectKeepsEveryFileButTheProjectFile) {
    const QString editor = qmtest::binFolder();
    qmtest::TempDir dir;
    {
        Created first;
        create(first, editor, dir.file("Aventura.qmk"), "Aventura", "Equipe");
    }
    // The user's work since: a changed table, a changed picture, a map, a runtime of their own.
    dir.write("Data/Tiles.xml", tilesTable({{"0", "Grama.bmp"}}));
    dir.write("Imagens/Grama.bmp", "my own grass");
    dir.write("Aventura.exe", "my runtime");
    dir.write("Sounds/Battle.mp3", "my battle");
    dir.write("Mapas/Vila.xml", "a map");
    dir.write("Data/Project.dat", "Aventura\r\n\tVila.xml\r\n");
    const std::map<QString, QByteArray> before = folderFiles(dir.path());

    Created second;
    create(second, editor, dir.file("Aventura.qmk"), "Outra", "Eu");
    const std::map<QString, QByteArray> after = folderFiles(dir.path());
    EXPECT_EQ(after.size(), before.size());
    for (const auto& [name, bytes] : before) {
        if (name == "Aventura.qmk") continue;
        ASSERT_TRUE(after.count(name)) << name.toStdString();
        EXPECT_EQ(after.at(name), bytes) << name.toStdString();
    }
    EXPECT_EQ(after.at("Aventura.qmk"), QByteArray("Project Name:Outra\r\nProject Autor:Eu\r\nMapas:\r\n"
                                                   "Mapa Inicial:\r\nChar X:200\r\nChar Y:190\r\n"));
    // The tables are the project's own, as they were.
    EXPECT_EQ(second.data.cdsTiles.recordCount(), 1);
}

TEST(ProjectCreation, FileNameWithSeveralDotsNamesTheRuntimeBeforeTheFirstDot) {
    qmtest::TempDir dir;
    Created c;
    create(c, qmtest::binFolder(), dir.file("Aventura.final.v2.qmk"));
    EXPECT_EQ(c.project.RuntimePath, dir.file("Aventura.exe"));
    EXPECT_EQ(dir.read("Aventura.exe"), bytesOf(qmtest::binFolder() + "Data/Vorpex.exe"));
    EXPECT_FALSE(dir.exists("Aventura.final.v2.exe"));
    EXPECT_TRUE(dir.exists("Aventura.final.v2.qmk"));
}

TEST(ProjectCreation, ShortTilesTableIsWalkedWithoutFailing) {
    EditorCopy editor;
    editor.dir.write("Data/Tiles.xml",
                     tilesTable({{"0", "Grama.bmp"}, {"1", "Terra.bmp"}, {"\xB4", "TileAni101.bmp"}}));
    qmtest::TempDir dir;
    Created c;
    create(c, editor.path(), dir.file("A.qmk"));
    EXPECT_TRUE(dir.exists("Imagens/Grama.bmp"));
    EXPECT_TRUE(dir.exists("Imagens/Terra.bmp"));
    EXPECT_TRUE(dir.exists("Imagens/TileAni101.bmp"));
    EXPECT_TRUE(dir.exists("Imagens/TileAni102.bmp"));
    EXPECT_TRUE(dir.exists("Imagens/TileAni103.bmp"));
    EXPECT_FALSE(dir.exists("Imagens/Areia.bmp"));  // a tile of the full set, not of this table
    EXPECT_FALSE(dir.exists("Imagens/TileAni202.bmp"));
    EXPECT_EQ(c.data.cdsTiles.recordCount(), 3);
}

TEST(ProjectCreation, EmptyTilesTableCopiesNoTilePicture) {
    EditorCopy editor;
    editor.dir.write("Data/Tiles.xml", tilesTable({}));
    qmtest::TempDir dir;
    Created c;
    create(c, editor.path(), dir.file("A.qmk"));
    EXPECT_FALSE(dir.exists("Imagens/Grama.bmp"));
    EXPECT_TRUE(dir.exists("Imagens/null.bmp"));
    EXPECT_TRUE(dir.exists("Imagens/Face01.bmp"));
}

TEST(ProjectCreation, AnimatedTileWithOneTemplateFrameCopiesNeither) {
    EditorCopy editor;
    editor.remove("Imagens/TileAni103.bmp");
    editor.remove("Imagens/TileAni1202.bmp");
    qmtest::TempDir dir;
    Created c;
    create(c, editor.path(), dir.file("A.qmk"));
    EXPECT_TRUE(dir.exists("Imagens/TileAni101.bmp"));  // the tile's own picture still comes
    EXPECT_FALSE(dir.exists("Imagens/TileAni102.bmp"));
    EXPECT_FALSE(dir.exists("Imagens/TileAni1203.bmp"));
    EXPECT_TRUE(dir.exists("Imagens/TileAni202.bmp"));
    EXPECT_TRUE(dir.exists("Imagens/TileAni203.bmp"));
}

TEST(ProjectCreation, MissingTemplateFilesAreSkippedSilently) {
    EditorCopy editor;
    editor.remove("Data/Vorpex.exe");
    editor.remove("VeroviZBlue.dll");
    editor.remove("Imagens/CUp2.bmp");
    editor.remove("Imagens/Face03.bmp");
    qmtest::TempDir dir;
    Created c;
    create(c, editor.path(), dir.file("A.qmk"));
    EXPECT_FALSE(dir.exists("A.exe"));
    // the second source of the runtime library lands when the first is missing
    EXPECT_EQ(dir.read("Data/VeroviZ.dll"), editor.dir.read("Data/VeroviZBlue.dll"));
    EXPECT_FALSE(dir.exists("Imagens/CharUp2.bmp"));
    EXPECT_TRUE(dir.exists("Imagens/CharUp3.bmp"));
    EXPECT_FALSE(dir.exists("Imagens/Face03.bmp"));
    EXPECT_TRUE(dir.exists("Imagens/Face04.bmp"));
    ASSERT_NE(c.tree.root(), nullptr);
}

TEST(ProjectCreation, MissingTemplateTableStopsWithWhatWasCopiedLeftInPlace) {
    EditorCopy editor;
    editor.remove("Data/Itens.xml");
    qmtest::TempDir dir;
    Workspace ws(std::make_unique<qmtest::ScriptedPrompts>());
    ws.session().setEditorFolder(editor.path());
    EXPECT_EQ(errorOf([&] { ws.session().createProject(dir.file("A.qmk"), "A", "B"); }),
              "Missing data provider or data packet");
    EXPECT_FALSE(ws.session().projectOpen());
    // the project file comes last: no file names the half-made project
    EXPECT_FALSE(dir.exists("A.qmk"));
    EXPECT_TRUE(QFileInfo(dir.file("Saves")).isDir());
    EXPECT_TRUE(dir.exists("Data/Tiles.xml"));
    EXPECT_TRUE(dir.exists("Data/Monstros.xml"));
    EXPECT_FALSE(dir.exists("Data/Itens.xml"));
    EXPECT_FALSE(dir.exists("Data/Magias.xml"));
    EXPECT_FALSE(dir.exists("A.exe"));
    EXPECT_FALSE(dir.exists("Imagens/Grama.bmp"));
    EXPECT_TRUE(ws.session().tables().cdsTiles.active());
    EXPECT_FALSE(ws.session().tables().cdsItens.active());
    EXPECT_EQ(ws.session().tree().root(), nullptr);
}

TEST(ProjectCreation, ProjectFileThatCannotBeWrittenStopsBeforeAnyFolder) {
    qmtest::TempDir dir;
    Created c;
    EXPECT_NE(errorOf([&] { create(c, qmtest::binFolder(), dir.file("no/such/folder/A.qmk")); }), "(no error)");
    EXPECT_FALSE(dir.exists("no"));
    EXPECT_EQ(c.tree.root(), nullptr);
}

TEST(ProjectCreation, NamesAndFileNames) {
    EXPECT_TRUE(canCreateProject("   ", "/x/A.qmk"));
    EXPECT_FALSE(canCreateProject("", "/x/A.qmk"));
    EXPECT_FALSE(canCreateProject("A", ""));
    EXPECT_FALSE(canCreateProject("A", "   "));

    qmtest::TempDir dir;
    Created c;
    create(c, qmtest::binFolder(), dir.file("A.qmk"), "   ", "");
    EXPECT_EQ(dir.read("A.qmk").left(20), QByteArray("Project Name:   \r\nPr"));
    EXPECT_EQ(c.tree.root()->text(), "   ");

    // CP1252 text reaches the file as single bytes.
    qmtest::TempDir dir2;
    Created c2;
    create(c2, qmtest::binFolder(), dir2.file("B.qmk"), "Aventura \xE0 Vista", "Jo\xE3o");
    EXPECT_TRUE(dir2.read("B.qmk").startsWith("Project Name:Aventura \xE0 Vista\r\nProject Autor:Jo\xE3o\r\n"));
}

TEST(ProjectCreation, WorkspaceEndsOpenWithoutAMap) {
    qmtest::TempDir dir;
    Workspace ws(std::make_unique<qmtest::ScriptedPrompts>());
    ws.session().setEditorFolder(qmtest::binFolder());
    qmtest::gridOf(ws).CurrentMap = "Old.xml";
    ws.session().createProject(dir.file("Novo.qmk"), "Novo", "Eu");
    EXPECT_TRUE(ws.session().projectOpen());
    EXPECT_FALSE(ws.session().mapLoaded());
    EXPECT_EQ(ws.session().grid().CurrentMap, "");
    EXPECT_EQ(ws.session().project().ProjectName, "Novo");
    EXPECT_EQ(ws.session().project().RuntimePath, dir.file("Novo.exe"));
    ASSERT_NE(ws.session().tree().root(), nullptr);
    EXPECT_EQ(ws.session().tree().root()->text(), "Novo");
}

TEST(ProjectCreation, ListsOfTheTemplateSet) {
    EXPECT_EQ(heroFrameFields().size(), 36u);
    EXPECT_EQ(heroFrameFields().front(), "Face01");
    EXPECT_EQ(heroFrameFields()[5], "AnMorto01");
    EXPECT_EQ(heroFrameFields().back(), "AnBatAting03");
    for (const std::string& f : heroFrameFields())
        EXPECT_TRUE(personagemSchema().end() != std::find_if(personagemSchema().begin(), personagemSchema().end(),
                                                             [&](const FieldDef& d) { return d.name == f; }))
            << f;
    EXPECT_EQ(animatedTileFrames(180), (std::vector<std::string>{"TileAni102.bmp", "TileAni103.bmp"}));
    EXPECT_EQ(animatedTileFrames(191), (std::vector<std::string>{"TileAni1202.bmp", "TileAni1203.bmp"}));
    EXPECT_TRUE(animatedTileFrames(179).empty());
    EXPECT_TRUE(animatedTileFrames(192).empty());
    ASSERT_EQ(fixedTemplateFiles().size(), 28u);
    EXPECT_EQ(fixedTemplateFiles()[10].destination, "Data\\VeroviZ.dll");
    EXPECT_EQ(fixedTemplateFiles()[16].source, "Imagens\\CDown.bmp");
    EXPECT_EQ(fixedTemplateFiles()[16].destination, "Imagens\\CharDown.bmp");
    EXPECT_EQ(fixedTemplateFiles()[27].destination, "Imagens\\CharRight3.bmp");
}

namespace {
mode_t modeOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 0777;
}
}  // namespace

TEST(ProjectCreation, CopiesCarryTheTemplatePermissionsAndLeaveNothingElse) {
    EditorCopy editor;
    ::chmod(QFile::encodeName(editor.path() + "Data/Vorpex.exe").constData(), 0755);
    ::chmod(QFile::encodeName(editor.path() + "Imagens/null.bmp").constData(), 0600);
    ::chmod(QFile::encodeName(editor.path() + "Data/Battle.mp3").constData(), 0640);
    qmtest::TempDir into;
    Created c;
    create(c, editor.path(), into.file("Aventura.qmk"));

    const std::map<QString, QString> expected = expectedCopies(editor.path(), "Aventura.exe");
    std::map<QString, QByteArray> files = folderFiles(into.path());
    files.erase("Aventura.qmk");
    ASSERT_EQ(files.size(), expected.size());  // no temporary or half-made file beside them
    for (const auto& [destination, source] : expected) {
        ASSERT_TRUE(files.count(destination)) << destination.toStdString();
        EXPECT_EQ(files[destination], bytesOf(editor.path() + source)) << destination.toStdString();
        EXPECT_EQ(modeOf(into.file(destination)), modeOf(editor.path() + source)) << destination.toStdString();
    }
    EXPECT_EQ(modeOf(into.file("Aventura.exe")), 0755u);
    EXPECT_EQ(modeOf(into.file("Imagens/null.bmp")), 0600u);
    EXPECT_EQ(modeOf(into.file("Sounds/Battle.mp3")), 0640u);
}

TEST(ProjectCreation, FolderOfAnotherLetterCaseReceivesTheCopiesAndKeepsItsFiles) {
    EditorCopy editor;
    qmtest::TempDir into;
    into.write("imagens/grama.BMP", "the user's own grass");
    into.write("imagens/NULL.bmp", "the user's own placeholder");
    Created c;
    create(c, editor.path(), into.file("Aventura.qmk"));

    EXPECT_FALSE(QFileInfo::exists(into.file("Imagens")));
    EXPECT_EQ(into.read("imagens/grama.BMP"), "the user's own grass");
    EXPECT_EQ(into.read("imagens/NULL.bmp"), "the user's own placeholder");
    EXPECT_FALSE(QFileInfo::exists(into.file("imagens/Grama.bmp")));
    EXPECT_FALSE(QFileInfo::exists(into.file("imagens/null.bmp")));
    // every other picture arrived in the folder that was there
    std::size_t pictures = 0;
    for (const auto& [destination, source] : expectedCopies(editor.path(), "Aventura.exe"))
        if (destination.startsWith("Imagens/")) ++pictures;
    EXPECT_EQ(static_cast<std::size_t>(QDir(into.file("imagens")).entryList(QDir::Files).size()), pictures);
    EXPECT_EQ(into.read("imagens/Arvore.bmp"), bytesOf(editor.path() + "Imagens/Arvore.bmp"));
}
