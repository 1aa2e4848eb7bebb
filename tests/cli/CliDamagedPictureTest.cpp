// A damaged tile picture: render draws the placeholder and says which picture
// it was; check lists it as a problem.
#include "CliRunner.h"
#include "ProjectFixture.h"

#include "model/core/Paths.h"

#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

using qmtest::runCli;

namespace {

// Cuts a picture of the project down to the first 20 bytes of its file.
void damage(const qmtest::ProjectFixture& p, const std::string& picture) {
    QFile f(quillmark::projectPath(p.folder(), "Imagens\\" + picture));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray head = f.read(20);
    f.close();
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(head);
}

TEST(CliDamagedPicture, RenderDrawsThePlaceholderAndCheckListsIt) {
    qmtest::ProjectFixture p;
    p.addMap("Vila.xml");
    const QString out = p.folder() + "vila.png";
    ASSERT_EQ(runCli({"check", p.projectFile()}).status, 0);
    damage(p, "Grama.bmp");

    const auto r = runCli({"render", p.projectFile(), "Vila.xml", out});
    ASSERT_EQ(r.status, 0) << r.errText();
    EXPECT_TRUE(r.err.contains("Imagens\\Grama.bmp")) << r.errText();
    EXPECT_EQ(QImage(out).size(), QSize(560, 560));

    const auto c = runCli({"check", p.projectFile()});
    EXPECT_EQ(c.status, 1);
    EXPECT_TRUE(c.out.contains("Grama.bmp")) << c.out.constData();
    EXPECT_TRUE(c.out.contains("não pode ser lido")) << c.out.constData();
}

TEST(CliCheckForeignFiles, AProjectFileWithCrAloneIsNamedWithItsLine) {
    qmtest::ProjectFixture p;
    p.addMap("Vila.xml");
    QByteArray text = p.dir.read("Aventura.qmk");
    text.replace("\r\n", "\r");
    p.dir.write("Aventura.qmk", text);
    const auto c = runCli({"check", p.projectFile()});
    EXPECT_EQ(c.status, 1);
    EXPECT_TRUE(c.out.startsWith("Aventura.qmk, line 5: '' is not a valid integer value (its lines end in CR alone)"))
        << c.out.constData();

    // With a byte-order mark the project checks clean.
    p.dir.write("Aventura.qmk", "\xEF\xBB\xBF" + text.replace("\r", "\r\n"));
    const auto bom = runCli({"check", p.projectFile()});
    EXPECT_EQ(bom.status, 0) << bom.out.constData();
}

}  // namespace
