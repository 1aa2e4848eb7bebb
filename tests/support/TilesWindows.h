#pragma once
// What the window tests of the "Tiles" page and the tile editors share: a
// project made from the template set, a workspace on it with scripted
// prompts and a filled tile image cache, the two editors, and the page built
// on a bare widget standing in for the database window's empty "Tiles" tab.
#include "ModalDriver.h"
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"

#include "SessionSetUp.h"
#include "model/database/DataModule.h"
#include "model/session/Workspace.h"
#include "model/tiles/TileEditing.h"
#include "ui/tiles/uAniTilesEdit.h"
#include "ui/tiles/uTilePictureBox.h"
#include "ui/tiles/uTilesEdit.h"
#include "ui/tiles/uTilesPage.h"

#include <QApplication>
#include <QCheckBox>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace qmtest {

inline QImage rgb(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }
inline QImage rgb(const quillmark::Picture& picture) { return rgb(picture.image()); }
inline QImage fileImage(const QString& path) { return rgb(quillmark::Picture::fromFile(path)); }
inline QImage grabbed(QWidget* widget) { return rgb(widget->grab().toImage()); }

// True when `needle` appears, pixel for pixel, somewhere inside `hay`.
inline bool containsImage(const QImage& hay, const QImage& needle) {
    const QImage h = rgb(hay);
    const QImage n = rgb(needle);
    for (int y = 0; y + n.height() <= h.height(); ++y)
        for (int x = 0; x + n.width() <= h.width(); ++x) {
            bool same = true;
            for (int j = 0; j < n.height() && same; ++j)
                for (int i = 0; i < n.width() && same; ++i) same = h.pixel(x + i, y + j) == n.pixel(i, j);
            if (same) return true;
        }
    return false;
}

class TilesWindowTest : public ::testing::Test {
protected:
    TilesWindowTest() {
        ws.session().setEditorFolder(binFolder());
        qmtest::projectOf(ws).ProjectFolder = project.folder();
        ws.session().tables().pointAt(ws.session().tables().cdsTiles, project.folder());
        ws.session().refreshTiles();
        tab.resize(701, 589);
        page.build(&tab);
    }

    void TearDown() override { EXPECT_TRUE(prompts->allAnswersUsed()) << "a scripted answer was never asked for"; }

    quillmark::RecordTable& tiles() { return ws.session().tables().cdsTiles; }
    QString image(const std::string& name) const { return quillmark::tiles::imagePath(project.folder(), name); }
    QImage placeholder() const { return fileImage(quillmark::placeholderPath(ws.session().editorFolder())); }
    // The cache entry a code is drawn with.
    const quillmark::Picture& cached(unsigned char code) { return ws.session().PegaImg(code); }

    // Shows the tab with its buttons, as the database window does when the page comes to the front.
    void showPage() {
        page.entered();
        tab.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&tab));
    }
    // A left click on button k of the page (its editor, if any, runs modally inside).
    void clickTile(int k) { QTest::mouseClick(page.button(k), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20)); }

    // A field of the tile of `code`, read without moving the table ("<none>" when no tile has it).
    std::string field(unsigned char code, const char* name) {
        const quillmark::RecordTable& t = tiles();
        const int tipo = t.fieldIndex("Tipo");
        const int f = t.fieldIndex(name);
        for (const quillmark::Record& r : t.allRecords())
            if (r[size_t(tipo)] && *r[size_t(tipo)] == std::string(1, char(code)))
                return r[size_t(f)] ? *r[size_t(f)] : std::string();
        return "<none>";
    }
    void setField(unsigned char code, const char* name, const std::string& value) {
        tiles().setFilter(quillmark::tiles::tipoFilter(code));
        tiles().setFiltered(true);
        tiles().edit();
        tiles().setString(name, value);
        tiles().post();
        tiles().setFiltered(false);
    }
    // Walks the tiles table from its first record and counts the records visited.
    int walk() {
        int n = 0;
        tiles().first();
        while (!tiles().eof()) {
            ++n;
            tiles().next();
        }
        return n;
    }
    // Every file of the project's "Imagens\" with a digest of its bytes.
    std::map<QString, QByteArray> imageFiles() const {
        std::map<QString, QByteArray> files;
        QDirIterator it(project.folder() + "Imagens", QDir::Files);
        while (it.hasNext()) {
            it.next();
            files[it.fileName()] =
                QCryptographicHash::hash(project.dir.read("Imagens/" + it.fileName()), QCryptographicHash::Md5);
        }
        return files;
    }

    ProjectFixture project;
    ScriptedPrompts* prompts = new ScriptedPrompts;
    quillmark::Workspace ws{std::unique_ptr<quillmark::Prompts>(prompts)};
    QWidget tab;  // the database window's empty "Tiles" tab
    quillmark::TFormTi edit{ws};
    quillmark::TFormTA ani{ws};
    quillmark::TTilesPage page{ws, edit, ani};
};

}  // namespace qmtest
