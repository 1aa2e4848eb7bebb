// A project unpacked from someone else's archive may hold symbolic links. No
// write of the editor follows one out of the project folder: each writer
// refuses, naming the link, and the file outside stays as it was. Links that
// stay inside the project, and reading through any link, keep working.
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"

#include "model/animation/Animations.h"
#include "model/core/Error.h"
#include "model/core/Files.h"
#include "model/core/MapFile.h"
#include "model/core/MapTree.h"
#include "model/core/Picture.h"
#include "model/database/DataModule.h"
#include "model/database/DatabasePages.h"
#include "model/events/Character.h"
#include "model/mapedit/MapProperties.h"
#include "model/session/Workspace.h"
#include "model/tiles/TileEditing.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace quillmark;

namespace {

// What a write must not touch: a file and a folder outside the project.
struct Outside {
    qmtest::TempDir dir;
    Outside() {
        dir.write("alvo.txt", "de fora");
        QDir().mkpath(dir.path() + "pasta");
    }
    QString file() const { return dir.file("alvo.txt"); }
    QString folder() const { return dir.file("pasta"); }
    bool untouched() const {
        return dir.read("alvo.txt") == "de fora" &&
               QDir(folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty();
    }
};

// Replaces an entry of the project with a symbolic link to `target`.
void linkInPlace(const QString& entry, const QString& target) {
    QDir(entry).removeRecursively();
    QFile::remove(entry);
    ASSERT_TRUE(QFile::link(target, entry)) << entry.toStdString();
}

// The text of the Error the call throws, or "(no error)".
std::string refusal(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& e) {
        return e.what();
    }
    return "(no error)";
}

// The refusal names the link and says why.
void expectRefusedNaming(const std::string& message, const QString& link) {
    EXPECT_NE(message.find("link simbólico"), std::string::npos) << message;
    EXPECT_NE(message.find(QDir::toNativeSeparators(link).toStdString()), std::string::npos) << message;
}

struct OpenProject {
    qmtest::ProjectFixture fixture;
    Outside outside;
    std::unique_ptr<Workspace> ws;
    explicit OpenProject(bool withMap = true) {
        if (withMap) fixture.addMap("Vila.xml");
        ws = std::make_unique<Workspace>(std::make_unique<qmtest::ScriptedPrompts>());
        ws->session().setEditorFolder(qmtest::binFolder());
        ws->session().openProject(fixture.projectFile());
    }
    QString at(const QString& relative) const { return fixture.folder() + relative; }
    QString folder() const { return fixture.folder(); }
};

Picture somePicture() {
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::green);
    Picture p;
    p.setImage(image);
    return p;
}

}  // namespace

TEST(WriteInsideProject, TheCheckItself) {
    qmtest::TempDir project;
    Outside outside;
    QDir().mkpath(project.path() + "Mapas");
    QDir().mkpath(project.path() + "Imagens/Real");
    const QString root = project.path();
    // plain entries, entries still to be made, and links that stay inside pass
    EXPECT_NO_THROW(checkWriteInsideProject(root, root + "Mapas/Vila.xml"));
    EXPECT_NO_THROW(checkWriteInsideProject(root, root + "Novo/Sub/x.bmp"));
    ASSERT_TRUE(QFile::link(root + "Imagens/Real", root + "Imagens/Atalho"));
    EXPECT_NO_THROW(checkWriteInsideProject(root, root + "Imagens/Atalho/x.bmp"));
    // a link out, as the target or as a folder on the way, and a link to nothing
    ASSERT_TRUE(QFile::link(outside.file(), root + "Mapas/Vila.xml"));
    expectRefusedNaming(refusal([&] { checkWriteInsideProject(root, root + "Mapas/Vila.xml"); }),
                        root + "Mapas/Vila.xml");
    ASSERT_TRUE(QFile::link(outside.folder(), root + "Sons"));
    expectRefusedNaming(refusal([&] { checkWriteInsideProject(root, root + "Sons/a/b.wav"); }), root + "Sons");
    ASSERT_TRUE(QFile::link(outside.dir.path() + "nada/x.xml", root + "Mapas/Morto.xml"));
    expectRefusedNaming(refusal([&] { checkWriteInsideProject(root, root + "Mapas/Morto.xml"); }),
                        root + "Mapas/Morto.xml");
    // a link to what is not there yet inside the project leads inside
    ASSERT_TRUE(QFile::link(root + "Novo/quadro.bmp", root + "Mapas/Adiante.xml"));
    EXPECT_NO_THROW(checkWriteInsideProject(root, root + "Mapas/Adiante.xml"));
    // a path that climbs out is refused too; the project folder being a link is fine
    EXPECT_NE(refusal([&] { checkWriteInsideProject(root, root + "Mapas/../../x.txt"); }), "(no error)");
    EXPECT_NE(refusal([&] { checkWriteInsideProject(root, root + "Sons/../Mapas/x.xml"); }), "(no error)");
    ASSERT_TRUE(QFile::link(root + "Imagens", outside.dir.path() + "projeto-link"));
    EXPECT_NO_THROW(
        checkWriteInsideProject(outside.dir.path() + "projeto-link/", outside.dir.path() + "projeto-link/Real/y.bmp"));
    EXPECT_NO_THROW(checkWriteInsideProject(QString(), outside.file()));  // nothing to check against
    EXPECT_TRUE(outside.untouched());
}

TEST(WriteInsideProject, SavingTheMapRefusesAMapFileLinkedOutAndKeepsTheMap) {
    OpenProject p;
    linkInPlace(p.at("Mapas/Vila.xml"), p.outside.file());
    p.ws->session().markModified();
    expectRefusedNaming(refusal([&] { p.ws->session().save(); }), p.at("Mapas/Vila.xml"));
    EXPECT_TRUE(p.outside.untouched());
    EXPECT_TRUE(p.ws->session().modified());  // the edits are still there to save elsewhere
}

TEST(WriteInsideProject, ANewMapRefusesAMapsFolderLinkedOutAndRegistersNothing) {
    OpenProject p;
    const QByteArray projectFile = p.fixture.dir.read("Aventura.qmk");
    linkInPlace(p.at("Mapas"), p.outside.folder());
    expectRefusedNaming(refusal([&] { p.ws->session().newMap("Caverna", 10); }), p.at("Mapas"));
    EXPECT_TRUE(p.outside.untouched());
    EXPECT_EQ(p.fixture.dir.read("Aventura.qmk"), projectFile);
}

TEST(WriteInsideProject, TheTreeFileAndTheProjectFileLinkedOutAreRefused) {
    {
        OpenProject p;
        linkInPlace(p.at("Data/Project.dat"), p.outside.file());
        expectRefusedNaming(refusal([&] { p.ws->session().newMap("Caverna", 10); }), p.at("Data/Project.dat"));
        EXPECT_TRUE(p.outside.untouched());
        EXPECT_FALSE(p.fixture.dir.exists("Mapas/Caverna.xml"));  // the map file written first is taken back
    }
    {
        // the project file read through its link (reading may follow links), never written through it
        OpenProject p;
        const QByteArray projectBytes = p.fixture.dir.read("Aventura.qmk");
        p.outside.dir.write("Aventura.qmk", projectBytes);
        linkInPlace(p.at("Aventura.qmk"), p.outside.dir.file("Aventura.qmk"));
        expectRefusedNaming(refusal([&] { p.ws->session().newMap("Caverna", 10); }), p.at("Aventura.qmk"));
        EXPECT_EQ(p.outside.dir.read("Aventura.qmk"), projectBytes);
        auto reopened = std::make_unique<Workspace>(std::make_unique<qmtest::ScriptedPrompts>());
        reopened->session().setEditorFolder(qmtest::binFolder());
        EXPECT_NO_THROW(reopened->session().openProject(p.fixture.projectFile()));
    }
}

TEST(WriteInsideProject, ATableLinkedOutIsNotWrittenOnClose) {
    OpenProject p;
    RecordTable& monsters = p.ws->session().tables().cdsMonstros;
    monsters.insert();
    monsters.setString("Nome", "Lobo");
    monsters.post();
    linkInPlace(p.at("Data/Monstros.xml"), p.outside.file());
    expectRefusedNaming(refusal([&] { monsters.close(); }), p.at("Data/Monstros.xml"));
    EXPECT_TRUE(p.outside.untouched());
}

TEST(WriteInsideProject, PictureEditorsRefuseTargetsLinkedOut) {
    OpenProject p;
    const Picture picture = somePicture();
    // the tile editor: its writability check and its store
    linkInPlace(p.at("Imagens/Grama.bmp"), p.outside.file());
    expectRefusedNaming(refusal([&] { tiles::checkWritable(p.at("Imagens/Grama.bmp"), p.folder()); }),
                        p.at("Imagens/Grama.bmp"));
    expectRefusedNaming(refusal([&] {
                            tiles::writePictures({{p.at("Imagens/Grama.bmp"), &picture}}, p.folder());
                        }),
                        p.at("Imagens/Grama.bmp"));
    // the hero's frame editor
    const Animation& morto = *findAnimation("HeroMorto");
    const FrameRecord hero = readFrameRecord(p.ws->session().tables(), morto);
    ASSERT_FALSE(hero.files.empty());
    const QString frame = p.at("Imagens/" + QString::fromStdString(hero.files[0]));
    linkInPlace(frame, p.outside.file());
    expectRefusedNaming(refusal([&] { checkedTargets(p.folder(), morto, hero, {0}); }), frame);
    // the character editor, into a character folder linked out
    linkInPlace(p.at("Imagens/Slime"), p.outside.folder());
    Character slime = newCharacter(p.folder());
    slime.name = "Slime";
    expectRefusedNaming(refusal([&] { saveCharacter(p.folder(), slime); }), p.at("Imagens/Slime"));
    // a record's picture and the map's battle background
    expectRefusedNaming(refusal([&] { writeRecordPicture(picture, p.folder(), "Slime", "Face.bmp", "Inimigo"); }),
                        p.at("Imagens/Slime"));
    expectRefusedNaming(refusal([&] { makeRecordFolder(p.folder(), "Slime", "item"); }), p.at("Imagens/Slime"));
    linkInPlace(p.at("Imagens/VilaBat.bmp"), p.outside.file());
    expectRefusedNaming(refusal([&] { storeBattleBackground(picture, p.folder(), "Vila.xml"); }),
                        p.at("Imagens/VilaBat.bmp"));
    EXPECT_TRUE(p.outside.untouched());
}

TEST(WriteInsideProject, ANewProjectCopiesNothingIntoAPictureFolderLinkedOut) {
    qmtest::TempDir target;
    Outside outside;
    ASSERT_TRUE(QFile::link(outside.folder(), target.path() + "Imagens"));
    Workspace ws(std::make_unique<qmtest::ScriptedPrompts>());
    ws.session().setEditorFolder(qmtest::binFolder());
    expectRefusedNaming(refusal([&] { ws.session().createProject(target.file("Novo.qmk"), "Novo", "Eu"); }),
                        target.path() + "Imagens");
    EXPECT_TRUE(outside.untouched());
    EXPECT_FALSE(target.exists("Novo.qmk"));
}

TEST(WriteInsideProject, ExportWritesNothingThroughALinkBesideItsOutput) {
    OpenProject p;
    qmtest::TempDir out;
    // a picture outside, so that only the link stops the export
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(p.outside.dir.file("figura.png"), "PNG"));
    const QByteArray pictureBytes = p.outside.dir.read("figura.png");
    ASSERT_TRUE(QFile::link(p.outside.dir.file("figura.png"), out.path() + "Tiles.png"));
    const std::string message = refusal([&] { p.ws->session().exportMap(out.file("Vila.tmx")); });
    expectRefusedNaming(message, out.path() + "Tiles.png");
    EXPECT_EQ(p.outside.dir.read("figura.png"), pictureBytes);
    EXPECT_TRUE(p.outside.untouched());
    EXPECT_FALSE(out.exists("Vila.tmx"));
}
