// check: a sound project passes; every kind of broken reference is found and
// named on a line of its own.
#include "CliRunner.h"
#include "ProjectFixture.h"

#include "model/core/RecordTable.h"
#include "model/database/DataModule.h"
#include "model/mapedit/MapProperties.h"

#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

using qmtest::runCli;

namespace {

QStringList outputLines(const qmtest::CliResult& r) {
    QStringList lines = QString::fromUtf8(r.out).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

// The one line that mentions every given piece, or an empty string (and a failure).
QString lineWith(const QStringList& lines, const QStringList& pieces) {
    QStringList found;
    for (const QString& l : lines) {
        bool all = true;
        for (const QString& piece : pieces) all = all && l.contains(piece);
        if (all) found << l;
    }
    EXPECT_EQ(found.size(), 1) << pieces.join(" + ").toStdString() << "\n" << lines.join('\n').toStdString();
    return found.value(0);
}

// The tree file as the editor writes it.
void writeTree(qmtest::ProjectFixture& p, const std::vector<std::string>& lines) {
    QByteArray bytes;
    for (const std::string& l : lines) bytes += QByteArray::fromStdString(l) + "\r\n";
    p.dir.write("Data/Project.dat", bytes);
}

}  // namespace

TEST(CliCheck, ASoundProjectHasNoProblem) {
    qmtest::ProjectFixture p;
    quillmark::MapGrid g;
    g.newGrid(14);
    g.setTipo(3, 3, 120);  // a tree over grass
    g.setTipo(4, 4, 180);  // an animated tile
    g.setEvento(5, 5, "OnActionPress>ShowMessage:Oi&");
    p.addMap("Vila.xml", g);
    p.addMap("Caverna.xml");
    writeTree(p, {"Aventura", "\tCidades", "\t\tVila.xml", "\tCaverna.xml"});
    const auto r = runCli({"check", p.projectFile()});
    EXPECT_EQ(r.status, 0) << r.outText() << r.errText();
    EXPECT_TRUE(r.out.isEmpty()) << r.outText();
}

TEST(CliCheck, FindsEveryKindOfBrokenReference) {
    qmtest::ProjectFixture p;
    quillmark::MapGrid g;
    g.newGrid(14);
    g.setTipo(2, 3, 200);                  // no tile has the code 200 …
    g.setFundo(6, 6, 200);                 // … here either
    g.setFundo(7, 1, 47);                  // nor '/'
    g.setEvento(4, 5, "AddChar:Ana|3");    // no folder Imagens\Ana
    g.setEvento(4, 6, "AddChar:Bento|2");  // this one has its folder
    p.addMap("Vila.xml", g);
    p.dir.write("Imagens/Bento/Evento.dat", "");
    p.maps.push_back("Sumiu.xml");     // listed, never written
    p.maps.push_back("Quebrado.xml");  // listed, unreadable
    p.writeProjectFile();
    p.dir.write("Mapas/Quebrado.xml", "<DATAPACKET Version=\"2.0\"><METADATA>");
    writeTree(p, {"Aventura", "\tVila.xml", "\tSumiu.xml", "\tFantasma.xml"});

    // Tiles: one picture gone, one that does not decode, one animated frame gone.
    QFile::remove(p.folder() + "Imagens/Agua.bmp");
    p.dir.write("Imagens/Areia.bmp", "not a bitmap");
    QFile::remove(p.folder() + "Imagens/TileAni302.bmp");
    // The hero: one frame gone.
    QFile::remove(p.folder() + "Imagens/Face02.bmp");
    // A monster and an item whose record folders were never made.
    quillmark::TDataModule1 data;
    data.pointAt(data.cdsMonstros, p.folder());
    data.cdsMonstros.insert();
    data.cdsMonstros.setString("Nome", "Slime");
    data.cdsMonstros.post();
    data.cdsMonstros.close();
    data.pointAt(data.cdsItens, p.folder());
    data.cdsItens.insert();
    data.cdsItens.setString("Nome", "Po\xE7\xE3o");  // "Poção"
    data.cdsItens.post();
    data.cdsItens.close();
    // A table that cannot be read.
    p.dir.write("Data/Magias.xml", "<DATAPACKET");

    const auto r = runCli({"check", p.projectFile()});
    EXPECT_EQ(r.status, 1);
    const QStringList lines = outputLines(r);

    lineWith(lines, {"Data\\Magias.xml:"});
    lineWith(lines, {"Mapas\\Sumiu.xml:", "não existe"});
    lineWith(lines, {"Mapas\\Quebrado.xml:"});
    lineWith(lines, {"Data\\Project.dat:", "\"Fantasma.xml\"", "não tem mapa"});
    EXPECT_FALSE(r.outText().find("\"Sumiu.xml\" não tem mapa") != std::string::npos)
        << "a listed map that is missing is named once";
    lineWith(lines, {"Mapas\\Vila.xml:", "(200)", "linha 2, coluna 3, e mais 1"});
    lineWith(lines, {"Mapas\\Vila.xml:", "'/' (47)", "linha 7, coluna 1)"});
    lineWith(lines, {"Mapas\\Vila.xml:", "\"Ana\"", "linha 4, coluna 5", "Imagens\\Ana"});
    EXPECT_FALSE(r.outText().find("Bento") != std::string::npos);
    lineWith(lines, {"Imagens\\Agua.bmp:", "tile 'H' (72)", "não existe"});
    lineWith(lines, {"Imagens\\Areia.bmp:", "tile '6' (54)", "não pode ser lido"});
    lineWith(lines, {"Imagens\\TileAni302.bmp:", "(182), quadro 2", "não existe"});
    lineWith(lines, {"Imagens\\Face02.bmp:", "herói, Face02", "não existe"});
    lineWith(lines, {"Imagens\\Slime\\CharParado01.bmp:", "inimigo \"Slime\", Parado01"});
    lineWith(lines, {"Imagens\\Slime\\CharFace.bmp:", "inimigo \"Slime\", Face"});
    lineWith(lines, {QString::fromUtf8("Imagens\\Poção\\ItImage.bmp:"), QString::fromUtf8("item \"Poção\", Imagem")});
    lineWith(lines, {QString::fromUtf8("Imagens\\Poção\\ItAni5.bmp:")});
    // 19 monster frames, 6 item frames and the 11 other problems above, nothing more.
    EXPECT_EQ(lines.size(), 19 + 6 + 11) << lines.join('\n').toStdString();
}

TEST(CliCheck, UnreadableProjectFileOrTreeIsAProblem) {
    qmtest::TempDir dir;
    const auto missing = runCli({"check", dir.file("Nada.qmk")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(outputLines(missing).size(), 1);
    EXPECT_NE(missing.outText().find("Nada.qmk: Cannot open file"), std::string::npos) << missing.outText();

    qmtest::ProjectFixture p;
    p.addMap("Vila.xml");
    writeTree(p, {"Aventura", "\t\t\tVila.xml"});
    const auto tree = runCli({"check", p.projectFile()});
    EXPECT_EQ(tree.status, 1);
    EXPECT_EQ(outputLines(tree), QStringList{"Data\\Project.dat: Invalid level (3) for item \"Vila.xml\""});

    p.dir.write("Aventura.qmk",
                "Project Name:Aventura\r\nProject Autor:x\r\nMapas:\r\nMapa Inicial:\r\nChar X:abc\r\n");
    const auto badNumber = runCli({"check", p.projectFile()});
    EXPECT_EQ(badNumber.status, 1);
    EXPECT_EQ(outputLines(badNumber), QStringList{"Aventura.qmk, line 5: 'abc' is not a valid integer value"});
}

TEST(CliCheck, EventScriptsNameEveryBadReferenceByMapCellAndCommand) {
    qmtest::ProjectFixture p;
    quillmark::TDataModule1 data;
    data.pointAt(data.cdsMonstros, p.folder());
    data.cdsMonstros.insert();
    data.cdsMonstros.setString("Nome", "Lobo");
    data.cdsMonstros.post();
    data.cdsMonstros.close();
    data.pointAt(data.cdsItens, p.folder());
    data.cdsItens.insert();
    data.cdsItens.setString("Nome", "Chave");
    data.cdsItens.setString("Evento", "OnActionPress>LigarInterruptor:0&");  // a script an item runs
    data.cdsItens.post();
    data.cdsItens.close();

    quillmark::MapGrid cave;
    cave.newGrid(10);
    cave.setEvento(1, 1, "OnPlayerTouch>MudarMapa:2|3|vila.xml&");  // sound: letter case does not matter
    p.addMap("Caverna.xml", cave);
    quillmark::MapGrid g;
    g.newGrid(14);
    g.setEvento(2, 2, "OnActionPress>MudarMapa:5|5|Floresta.xml&");               // no such map
    g.setEvento(2, 3, "OnActionPress>MudarMapa:4|11|Caverna.xml&");               // row 11 on a 10 x 10 map
    g.setEvento(2, 4, "OnActionPress>IniciarBatalha:Fuga|Lobo|Drag\xE3o&");       // one unknown monster
    g.setEvento(2, 5, "OnActionPress>SeTemItem:1|Espada&FimSe:");                 // unknown item
    g.setEvento(2, 6, "OnActionPress>;SeInterruptor:101|Ligado&;FimSe:");         // switch outside 1 to 100
    g.setEvento(2, 7, "OnActionPress>QuestaoObjetiva:Entra?&Sim:GameOver:Nao:");  // no "FimQuestao:"
    g.setEvento(2, 8, "OnActionPress>SeDinheiro:5&AdicionarItem:1|Chave&FimSe:ApagarEvento:");  // sound
    g.setEvento(2, 9, "AddChar:Bento|2");
    p.addMap("Vila.xml", g);
    p.dir.write("Imagens/Bento/Evento.dat", "OnActionPress>\r\nAdicionarItem:2|Escudo&\r\n");

    const auto r = runCli({"check", p.projectFile()});
    EXPECT_EQ(r.status, 1);
    QStringList lines = outputLines(r);
    lines = lines.filter(QStringLiteral("comando"));  // the record folders' missing frames are not the point here
    lineWith(lines, {"Mapas\\Vila.xml:", "linha 2, coluna 2", "MudarMapa:5|5|Floresta.xml&",
                     QString::fromUtf8("o mapa \"Floresta.xml\" não está no projeto")});
    lineWith(lines, {"Mapas\\Vila.xml:", "linha 2, coluna 3", "MudarMapa:4|11|Caverna.xml&",
                     QString::fromUtf8("linha 11, coluna 4 fica fora do mapa \"Caverna.xml\" (10 × 10)")});
    lineWith(lines, {"Mapas\\Vila.xml:", "linha 2, coluna 4", QString::fromUtf8("o monstro \"Dragão\" não está"),
                     "Data\\Monstros.xml"});
    lineWith(lines, {"Mapas\\Vila.xml:", "linha 2, coluna 5", QString::fromUtf8("o item \"Espada\" não está")});
    lineWith(lines, {"Mapas\\Vila.xml:", "linha 2, coluna 6", "SeInterruptor:101|Ligado&",
                     QString::fromUtf8("não está entre 1 e 100")});
    lineWith(lines, {"Mapas\\Vila.xml:", "linha 2, coluna 7", "QuestaoObjetiva:Entra?&", "bloco sem \"FimQuestao:\""});
    lineWith(lines, {"Imagens\\Bento\\Evento.dat:", "AdicionarItem:2|Escudo&", "\"Escudo\""});
    lineWith(lines, {"Data\\Itens.xml:", "item \"Chave\"", "LigarInterruptor:0&"});
    EXPECT_EQ(lines.size(), 8) << lines.join('\n').toStdString();
}

namespace {

void addRecord(const QString& file, const std::vector<std::pair<std::string, std::string>>& fields) {
    quillmark::RecordTable t;
    t.setFileName(file);
    t.open();
    t.insert();
    for (const auto& [name, value] : fields) t.setString(name, value);
    t.post();
    t.close();
}

}  // namespace

TEST(CliCheck, FindsWhatTheGameCannotPlayAsWritten) {
    qmtest::ProjectFixture p;
    p.addMap("Vila.xml");
    addRecord(p.folder() + "Data/Monstros.xml", {{"Nome", "Slime"},
                                                 {"HP", "0"},
                                                 {"Forca", "4"},
                                                 {"Magia1", "77"},
                                                 {"Parado01", ""},
                                                 {"Atacando01", ""},
                                                 {"UsMagia01", ""},
                                                 {"Face", ""}});
    addRecord(p.folder() + "Data/Magias.xml", {{"Nome", "Raio"}, {"DanoCausado", "2000000000"}, {"Cod_Magia", "8"}});
    quillmark::MapSettings vila;
    vila.EnemysTipe = true;
    vila.Enemy = {"Slime", "Fantasma", ""};
    quillmark::storeMapSettings(p.folder(), "Vila.xml", vila);
    quillmark::storeMapSettings(p.folder(), "Sumido.xml", quillmark::MapSettings{"", true, {"Slime", "", ""}});

    const auto r = runCli({"check", p.projectFile()});
    EXPECT_EQ(r.status, 1);
    const QStringList lines = outputLines(r);
    lineWith(lines, {"Data\\PropMapas.xml", "\"Vila.xml\", Enemy2", "Fantasma"});
    lineWith(lines, {"Data\\PropMapas.xml", "\"Sumido.xml\"", "não existe"});
    lineWith(lines, {"Data\\Monstros.xml", "\"Slime\"", "HP 0 fora de 1 a 9999"});
    lineWith(lines, {"Data\\Monstros.xml", "\"Slime\"", "Magia1", "77"});
    lineWith(lines, {"Data\\Magias.xml", "\"Raio\"", "DanoCausado 2000000000"});
    EXPECT_TRUE(lines.filter("\"Vila.xml\", Enemy1").isEmpty()) << r.outText();

    // a broken settings table is named
    p.dir.write("Data/PropMapas.xml", "<DATAPACKET");
    lineWith(outputLines(runCli({"check", p.projectFile()})), {"Data\\PropMapas.xml"});
}

TEST(CliCheck, TheHerosStartOutsideTheInitialMapIsAProblemAndOffACellANote) {
    qmtest::ProjectFixture p;
    p.addMap("Vila.xml");  // 14 x 14, the initial map
    // a new project's 200/190: inside, but not on a cell, so only a note on standard error
    auto r = runCli({"check", p.projectFile()});
    EXPECT_EQ(r.status, 0) << r.outText() << r.errText();
    EXPECT_TRUE(r.out.isEmpty()) << r.outText();
    EXPECT_TRUE(r.err.contains("nota: Aventura.qmk: a posição inicial do herói (X 200, Y 190) não fica sobre uma "
                               "célula; o jogo começa na mais próxima (linha 4, coluna 2: X 200, Y 180)"))
        << r.errText();

    // on a cell: nothing at all
    QByteArray text = p.dir.read("Aventura.qmk");
    p.dir.write("Aventura.qmk", QByteArray(text).replace("Char Y:190", "Char Y:180"));
    r = runCli({"check", p.projectFile()});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.isEmpty() && r.err.isEmpty()) << r.outText() << r.errText();

    // 9999 lies past the 14th column: a problem, and still a note
    p.dir.write("Aventura.qmk", QByteArray(text).replace("Char X:200", "Char X:9999"));
    r = runCli({"check", p.projectFile()});
    EXPECT_EQ(r.status, 1);
    lineWith(outputLines(r), {"Aventura.qmk: a posição inicial do herói (X 9999, Y 190: linha 4, coluna 247) fica fora "
                              "do mapa inicial \"Vila.xml\" (14 × 14)"});
    EXPECT_TRUE(r.err.contains("nota: ")) << r.errText();
}

TEST(CliCheck, SwitchNamesOutsideOneToAHundredAreFlagged) {
    qmtest::ProjectFixture p;
    p.addMap("Vila.xml");
    p.dir.write("Data/Interruptores.xml",
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
                "<FIELD attrname=\"Numero\" fieldtype=\"i4\"/><FIELD attrname=\"Nome\" fieldtype=\"string\" "
                "WIDTH=\"50\"/></FIELDS><PARAMS/></METADATA><ROWDATA><ROW Numero=\"1\" Nome=\"Port\xC3\xA3o\"/>"
                "<ROW Numero=\"100\" Nome=\"Fim\"/><ROW Numero=\"0\" Nome=\"Nada\"/><ROW Numero=\"101\" "
                "Nome=\"Al\xC3\xA9m\"/></ROWDATA></DATAPACKET>");
    auto r = runCli({"check", p.projectFile()});
    EXPECT_EQ(r.status, 1);
    const QStringList lines = outputLines(r);
    EXPECT_EQ(lines.size(), 2) << r.outText();
    lineWith(lines, {"Data\\Interruptores.xml: o nome \"Nada\" é do interruptor 0, fora de 1 a 100"});
    lineWith(lines, {"Data\\Interruptores.xml: o nome \"Além\" é do interruptor 101, fora de 1 a 100"});
    // a table that cannot be read is named too
    p.dir.write("Data/Interruptores.xml", "<DATAPACKET>");
    r = runCli({"check", p.projectFile()});
    EXPECT_EQ(r.status, 1);
    lineWith(outputLines(r), {"Data\\Interruptores.xml: "});
}
