// The git drivers' model: readable text and three-way merges of maps,
// tables, project files and map trees, on files in a temporary folder.
#include "model/mapedit/ProjectMerge.h"
#include "Errors.h"
#include "TempDir.h"
#include "model/core/MapFile.h"

#include <gtest/gtest.h>

using namespace quillmark;
using qmtest::errorOf;

namespace {

struct Three {
    vcs::MergeResult merge(const QByteArray& base, const QByteArray& ours, const QByteArray& theirs) {
        dir.write("base", base);
        dir.write("ours", ours);
        dir.write("theirs", theirs);
        return vcs::merge(dir.file("base"), dir.file("ours"), dir.file("theirs"), "X");
    }
    std::string refusal(const QByteArray& base, const QByteArray& ours, const QByteArray& theirs) {
        return errorOf([&] { merge(base, ours, theirs); });
    }
    qmtest::TempDir dir;
};

QByteArray mapText(const MapGrid& g) {
    return QByteArray::fromStdString(mapFileText(g, [](unsigned char c) { return c == 'T'; }));
}

MapGrid grid(int n) {
    MapGrid g;
    g.newGrid(n);
    return g;
}

QByteArray project(const std::string& maps, const std::string& initial = "Vila.xml", const std::string& x = "200") {
    return QByteArray::fromStdString("Project Name:Vale\r\nProject Autor:Ana\r\nMapas:" + maps +
                                     "\r\nMapa Inicial:" + initial + "\r\nChar X:" + x + "\r\nChar Y:190\r\n");
}

}  // namespace

TEST(ProjectMerge, MapTextListsChangedCellsAndEventsInRowOrder) {
    qmtest::TempDir dir;
    MapGrid g = grid(4);
    g.setTipo(3, 2, 'H');
    g.setXO(1, 4, 'X');
    g.setEvento(2, 2, "ShowDialog:a\r\nb\tc\\d \xE9");
    g.setEvento(4, 4, "NULL");
    dir.write("m.xml", mapText(g));
    EXPECT_EQ(vcs::readableText(dir.file("m.xml")), "Mapa 4 x 4\n"
                                                    "linha 1, coluna 4: Tipo 48, Fundo 48, XO X\n"
                                                    "linha 2, coluna 2: Evento ShowDialog:a\\r\\nb\\tc\\\\d é\n"
                                                    "linha 3, coluna 2: Tipo 72, Fundo 48, XO O\n");
}

TEST(ProjectMerge, MapCellsMergeFieldByFieldAndConflictsKeepOurs) {
    Three t;
    MapGrid base = grid(3), ours = grid(3), theirs = grid(3);
    ours.setTipo(1, 1, 'T');  // transparent: the flag follows into the result
    ours.setFundo(2, 2, 'A');
    theirs.setXO(2, 2, 'X');
    theirs.setEvento(3, 3, "AddChar:Ana|1");
    ours.setTipo(3, 1, 'K');
    theirs.setTipo(3, 1, 'M');
    const vcs::MergeResult r = t.merge(mapText(base), mapText(ours), mapText(theirs));
    EXPECT_EQ(r.conflicts, std::vector<std::string>{"X linha 3, coluna 1: Tipo (nosso 75, deles 77)"});
    MapGrid expected = ours;
    expected.setXO(2, 2, 'X');
    expected.setEvento(3, 3, "AddChar:Ana|1");
    EXPECT_EQ(r.text, mapText(expected));

    // A side that resized the map is taken whole when the other only painted;
    // both resizing differently is refused.
    const MapGrid bigger = grid(5);
    EXPECT_EQ(t.merge(mapText(base), mapText(bigger), mapText(base)).text, mapText(bigger));
    EXPECT_NE(
        t.refusal(mapText(base), mapText(bigger), mapText(grid(4))).find("o tamanho do mapa mudou dos dois lados"),
        std::string::npos);
}

TEST(ProjectMerge, ProjectFilesMergeLineByLineWithTheMapListAsASet) {
    Three t;
    const auto r = t.merge(project("Vila.xml%Caverna.xml%"), project("Vila.xml%Caverna.xml%Casa.xml%", "Casa.xml"),
                           project("Vila.xml%Loja.xml%", "Vila.xml", "240"));
    EXPECT_TRUE(r.conflicts.empty());
    EXPECT_EQ(r.text, project("Vila.xml%Casa.xml%Loja.xml%", "Casa.xml", "240"));

    const auto both =
        t.merge(project("Vila.xml%"), project("Vila.xml%", "Vila.xml", "1"), project("Vila.xml%", "Vila.xml", "2"));
    EXPECT_EQ(both.conflicts, std::vector<std::string>{"X linha 5 (Char X)"});
    EXPECT_EQ(both.text, project("Vila.xml%", "Vila.xml", "1"));
    EXPECT_NE(t.refusal(project("Vila.xml%"), project("Vila.xml%") + "extra\r\n", project("")).find("seis linhas"),
              std::string::npos);
}

TEST(ProjectMerge, TreesMergeWhereSafeAndAreRefusedWhereNot) {
    Three t;
    const QByteArray base = "Vale\r\n\tCidades\r\n\t\tVila.xml\r\n\tCaverna.xml\r\n";
    const auto r = t.merge(base, "Vale\r\n\tCidades\r\n\t\tVila.xml\r\n\t\tCasa.xml\r\n\tCaverna.xml\r\n",
                           "Vale\r\n\tCidades\r\n\t\tVila.xml\r\n\tCaverna.xml\r\n\tLoja.xml\r\n");
    EXPECT_EQ(r.text, "Vale\r\n\tCidades\r\n\t\tVila.xml\r\n\t\tCasa.xml\r\n\tCaverna.xml\r\n\tLoja.xml\r\n");
    // Both add after the same line: both kept.
    EXPECT_EQ(t.merge(base, base + "\tA.xml\r\n", base + "\tB.xml\r\n").text, base + "\tA.xml\r\n\tB.xml\r\n");
    // One removes the folder, the other adds a map inside it: no valid tree.
    const std::string error = t.refusal(base, "Vale\r\n\tCaverna.xml\r\n",
                                        "Vale\r\n\tCidades\r\n\t\tVila.xml\r\n\t\tPorto.xml\r\n\tCaverna.xml\r\n");
    EXPECT_NE(error.find("Não foi possível unir \"X\""), std::string::npos) << error;
}

TEST(ProjectMerge, TableRecordsMergeByNameAndDeletionsAgainstChangesConflict) {
    Three t;
    auto table = [](const std::string& rows) {
        return QByteArray::fromStdString(
            R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?><DATAPACKET Version="2.0"><METADATA><FIELDS><FIELD attrname="Nome" fieldtype="string" WIDTH="30"/><FIELD attrname="HP" fieldtype="i4"/></FIELDS><PARAMS/></METADATA><ROWDATA>)" +
            rows + "</ROWDATA></DATAPACKET>");
    };
    const QByteArray base = table(R"(<ROW Nome="Slime" HP="10"/><ROW Nome="Rato" HP="5"/><ROW Nome="Lobo" HP="20"/>)");
    const QByteArray ours = table(R"(<ROW Nome="Slime" HP="12"/><ROW Nome="Lobo" HP="20"/><ROW Nome="Orc" HP="40"/>)");
    const QByteArray theirs = table(
        R"(<ROW Nome="Slime" HP="10"/><ROW Nome="Rato" HP="5"/><ROW Nome="Lobo" HP="25"/><ROW Nome="Morcego" HP="3"/>)");
    const auto r = t.merge(base, ours, theirs);
    EXPECT_TRUE(r.conflicts.empty());
    t.dir.write("r.xml", r.text);
    EXPECT_EQ(vcs::readableText(t.dir.file("r.xml")), "Tabela: Nome (string 30), HP (i4)\n"
                                                      "Nome \"Slime\": Nome = Slime\nNome \"Slime\": HP = 12\n"
                                                      "Nome \"Lobo\": Nome = Lobo\nNome \"Lobo\": HP = 25\n"
                                                      "Nome \"Orc\": Nome = Orc\nNome \"Orc\": HP = 40\n"
                                                      "Nome \"Morcego\": Nome = Morcego\nNome \"Morcego\": HP = 3\n");

    const auto removed =
        t.merge(base, table(R"(<ROW Nome="Slime" HP="10"/><ROW Nome="Lobo" HP="20"/>)"),
                table(R"(<ROW Nome="Slime" HP="10"/><ROW Nome="Rato" HP="6"/><ROW Nome="Lobo" HP="20"/>)"));
    EXPECT_EQ(removed.conflicts, std::vector<std::string>{"X Nome \"Rato\": apagado por nós, mudado por eles"});
}
