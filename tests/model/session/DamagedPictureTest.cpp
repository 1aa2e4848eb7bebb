// One damaged tile picture does not lock the project: it opens with the
// placeholder in its place and the user hears once which pictures could not be
// read.
#include "HeadlessEditor.h"

#include "model/core/Format.h"
#include "model/core/Paths.h"
#include "model/core/Picture.h"
#include "model/session/Workspace.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

struct Editor : qmtest::HeadlessEditor {
    // The File of the first tiles record of a code.
    std::string fileOf(unsigned char code) {
        const RecordTable& tiles = ws->session().tables().cdsTiles;
        const int i = format::tileRecordIndex(tiles, code);
        const auto& f = tiles.allRecords()[size_t(i)][size_t(tiles.fieldIndex("File"))];
        return f ? *f : std::string();
    }
};

QImage placeholder() {
    Picture p;
    p.LoadFromFile(qmtest::binFolder() + "Imagens/null.bmp");
    return p.image();
}

TEST(DamagedPicture, TheProjectOpensWithThePlaceholderAndOneNotice) {
    qmtest::ProjectFixture p;
    p.addMap("Vila.xml");
    std::string file;
    {
        Editor probe;
        ASSERT_TRUE(probe.open(p.projectFile()));
        file = probe.fileOf('6');
        ASSERT_FALSE(file.empty());
        EXPECT_NE(probe.ws->session().PegaImg('6').image(), placeholder());
    }
    const QString path = projectPath(p.folder(), "Imagens\\" + file);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray cut = f.read(20);  // the first 20 bytes of a BMP
    f.close();
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(cut);
    f.close();

    Editor e;
    ASSERT_TRUE(e.open(p.projectFile()));
    EXPECT_TRUE(e.session().projectOpen());
    EXPECT_TRUE(e.session().mapLoaded());
    ASSERT_EQ(e.prompts->messages().size(), 1);
    const QString notice = e.prompts->messages()[0];
    EXPECT_TRUE(notice.contains(QString::fromStdString("Imagens\\" + file))) << notice.toStdString();
    EXPECT_EQ(notice.count("Imagens\\"), 1) << notice.toStdString();  // each picture once
    EXPECT_EQ(e.ws->session().PegaImg('6').image(), placeholder());
    EXPECT_FALSE(e.ws->session().PegaImg('6').transparent());

    // Editing and saving go on; the notice is not repeated.
    e.ws->session().mapEditing().paint(EditLayer::Tipo, 2, 2, '6');
    ASSERT_TRUE(e.ws->run([&] { e.session().save(); }));
    EXPECT_EQ(e.prompts->messages().size(), 1);
    EXPECT_EQ(QFile(path).size(), 20);  // the damaged file is left as it was

    // A sound project says nothing.
    qmtest::ProjectFixture sound;
    sound.addMap("Vila.xml");
    Editor quiet;
    ASSERT_TRUE(quiet.open(sound.projectFile()));
    EXPECT_TRUE(quiet.prompts->messages().isEmpty());
}

}  // namespace
