// Project files that other programs wrote: a UTF-8 byte-order mark from a
// text editor, lines ended by CR alone. Opened through the editor's session,
// saved, and the file on disk checked.
#include "HeadlessEditor.h"

#include "model/core/ProjectFile.h"
#include "model/session/Workspace.h"

#include <gtest/gtest.h>

using namespace quillmark;

namespace {

using Editor = qmtest::HeadlessEditor;

TEST(ForeignProjectFile, AByteOrderMarkIsNoPartOfTheNameAndIsGoneAfterSaving) {
    qmtest::ProjectFixture p;
    p.addMap("Vila.xml");
    const QByteArray plain = p.dir.read("Aventura.qmk");
    p.dir.write("Aventura.qmk", "\xEF\xBB\xBF" + plain);

    Editor e;
    ASSERT_TRUE(e.ws->run([&] { e.session().openProject(p.projectFile()); }));
    EXPECT_EQ(e.ws->session().project().ProjectName, "Aventura");
    EXPECT_EQ(e.ws->session().project().CharX, kNewProjectCharX);
    e.ws->session().mapEditing().paint(EditLayer::Tipo, 1, 1, '6');
    ASSERT_TRUE(e.ws->run([&] { e.session().save(); }));
    // the project file as the editor writes it when its map list changes
    writeProjectFile(e.ws->session().project());
    const QByteArray saved = p.dir.read("Aventura.qmk");
    EXPECT_TRUE(saved.startsWith("Project Name:Aventura\r\nProject Autor:Equipe\r\nMapas:Vila.xml%\r\n"))
        << saved.constData();

    // and the project opens again under its own name
    Editor again;
    ASSERT_TRUE(again.ws->run([&] { again.session().openProject(p.projectFile()); }));
    EXPECT_EQ(again.ws->session().project().ProjectName, "Aventura");
    EXPECT_TRUE(again.prompts->messages().isEmpty());
}

TEST(ForeignProjectFile, LinesEndedByCrAloneAreRefusedNamingFileAndLineAndKeptAsTheyWere) {
    qmtest::ProjectFixture p;
    p.addMap("Vila.xml");
    QByteArray text = p.dir.read("Aventura.qmk");
    text.replace("\r\n", "\r");
    p.dir.write("Aventura.qmk", text);

    Editor e;
    EXPECT_FALSE(e.ws->run([&] { e.session().openProject(p.projectFile()); }));
    ASSERT_EQ(e.prompts->messages().size(), 1);
    const QString message = e.prompts->messages()[0];
    EXPECT_TRUE(message.startsWith("Aventura.qmk, line 5: '' is not a valid integer value")) << message.toStdString();
    EXPECT_TRUE(message.contains("CR alone")) << message.toStdString();
    EXPECT_FALSE(e.session().projectOpen());
    EXPECT_EQ(p.dir.read("Aventura.qmk"), text);  // nothing written

    // A bad Y names line 6; the file itself is fine otherwise.
    QByteArray badY = p.dir.read("Aventura.qmk");
    badY.replace("\r", "\r\n");
    badY.replace("Char Y:190", "Char Y:19O");
    p.dir.write("Aventura.qmk", badY);
    Editor f;
    EXPECT_FALSE(f.ws->run([&] { f.session().openProject(p.projectFile()); }));
    ASSERT_EQ(f.prompts->messages().size(), 1);
    EXPECT_EQ(f.prompts->messages()[0], "Aventura.qmk, line 6: '19O' is not a valid integer value.");
}

TEST(ForeignDataFile, AFieldNameOutsideTheCodePageIsRefusedOnOpeningAndTheFileKept) {
    qmtest::ProjectFixture p;
    p.addMap("Vila.xml");
    const QByteArray original = p.dir.read("Data/Magias.xml");
    QByteArray table = original;
    ASSERT_TRUE(table.contains("attrname=\"CustoDeMP\""));
    table.replace("attrname=\"CustoDeMP\"", "attrname=\"Custo\xE2\x82\xB9\"");  // an Indian rupee sign
    table.replace("CustoDeMP=", "Custo\xE2\x82\xB9=");
    p.dir.write("Data/Magias.xml", table);

    Editor e;
    EXPECT_FALSE(e.ws->run([&] { e.session().openProject(p.projectFile()); }));
    ASSERT_EQ(e.prompts->messages().size(), 1);
    EXPECT_TRUE(e.prompts->messages()[0].contains("Magias.xml")) << e.prompts->messages()[0].toStdString();
    EXPECT_TRUE(e.prompts->messages()[0].contains("outside Windows-1252")) << e.prompts->messages()[0].toStdString();
    EXPECT_FALSE(e.session().projectOpen());
    EXPECT_EQ(p.dir.read("Data/Magias.xml"), table);

    // A name the code page holds ("Descrição") is fine; two fields of one name are not.
    QByteArray twice = p.dir.read("Data/Itens.xml");
    const qsizetype first = twice.indexOf("attrname=\"");
    ASSERT_GE(first, 0);
    const qsizetype end = twice.indexOf('"', first + 10);
    const QByteArray firstName = twice.mid(first + 10, end - first - 10);
    const qsizetype second = twice.indexOf("attrname=\"", end);
    const qsizetype secondEnd = twice.indexOf('"', second + 10);
    twice.replace(second + 10, secondEnd - second - 10, firstName.toLower());
    p.dir.write("Data/Magias.xml", original);
    p.dir.write("Data/Itens.xml", twice);
    Editor f;
    EXPECT_FALSE(f.ws->run([&] { f.session().openProject(p.projectFile()); }));
    ASSERT_FALSE(f.prompts->messages().isEmpty());
    EXPECT_TRUE(f.prompts->messages().last().contains("defined twice")) << f.prompts->messages().last().toStdString();
}

}  // namespace
