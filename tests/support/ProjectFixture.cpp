#include "ProjectFixture.h"

#include "model/core/DataPacket.h"
#include "model/core/Files.h"
#include "model/core/MapFile.h"
#include "model/core/Text.h"
#include "model/database/DataModule.h"
#include "model/database/MapSaving.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

namespace qmtest {

namespace {
void copyFolder(const QString& from, const QString& to) {
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files);
    while (it.hasNext()) {
        it.next();
        QFile::copy(it.filePath(), to + '/' + it.fileName());
    }
}
}  // namespace

ProjectFixture::ProjectFixture(const std::string& name, const QString& file) : projectName(name), file_(file) {
    for (const char* sub : {"Mapas", "Imagens", "Sounds", "Data", "Saves"}) QDir().mkpath(dir.path() + sub);
    const QString bin = binFolder();
    for (const char* table : {"Itens.xml", "Magias.xml", "Monstros.xml", "Personagem.xml", "Tiles.xml"}) {
        QString src = bin + "Data/" + table;
        if (!QFile::exists(src)) {
            // no template set: an empty table of the right schema
            const quillmark::Schema* schema = nullptr;
            std::string t = table;
            if (t == "Itens.xml") schema = &quillmark::itensSchema();
            if (t == "Magias.xml") schema = &quillmark::magiasSchema();
            if (t == "Monstros.xml") schema = &quillmark::monstrosSchema();
            if (t == "Personagem.xml") schema = &quillmark::personagemSchema();
            if (t == "Tiles.xml") schema = &quillmark::tilesSchema();
            dir.write(QString("Data/") + table, QByteArray::fromStdString(quillmark::datapacket::emptyPacket(*schema)));
        } else {
            QFile::copy(src, dir.path() + "Data/" + table);
        }
    }
    copyFolder(bin + "Imagens", dir.path() + "Imagens");
    writeProjectFile();
}

void ProjectFixture::writeProjectFile() {
    std::string text = "Project Name:" + projectName + "\r\n" + "Project Autor:" + author + "\r\n" + "Mapas:";
    for (const std::string& m : maps) text += m + "%";
    text += "\r\nMapa Inicial:" + (maps.empty() ? std::string() : maps.front()) + "\r\n";
    text += "Char X:200\r\nChar Y:190\r\n";
    dir.write(file_, QByteArray::fromStdString(text));
}

void ProjectFixture::addMap(const std::string& name, const quillmark::MapGrid& grid) {
    quillmark::TDataModule1 data;
    data.cdsTiles.setFileName(dir.path() + "Data/Tiles.xml");
    data.cdsTiles.open();
    quillmark::MapGrid copy = grid;
    copy.CurrentMap = name;
    quillmark::Salvar(copy, dir.path(), data);
    maps.push_back(name);
    writeProjectFile();
}

void ProjectFixture::addMap(const std::string& name) {
    quillmark::MapGrid grid;
    grid.newGrid(14);
    addMap(name, grid);
}

}  // namespace qmtest
