#include "core/MapFile.h"

#include "core/DataPacket.h"
#include "core/Error.h"
#include "core/Paths.h"
#include "core/RecordTable.h"
#include "core/Text.h"

#include <QDir>
#include <array>

namespace quillmark {

const char* const kMapSkeleton =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?> <DATAPACKET Version=\"2.0\">"
    "<METADATA><FIELDS>"
    "<FIELD attrname=\"Tipo\" fieldtype=\"string\" WIDTH=\"1\"/>"
    "<FIELD attrname=\"Fundo\" fieldtype=\"string\" WIDTH=\"1\"/>"
    "<FIELD attrname=\"Tamanho\" fieldtype=\"i4\"/>"
    "<FIELD attrname=\"XO\" fieldtype=\"string\" WIDTH=\"1\"/>"
    "<FIELD attrname=\"Evento\" fieldtype=\"bin.hex\" SUBTYPE=\"Text\"/>"
    "<FIELD attrname=\"Transparente\" fieldtype=\"boolean\"/>"
    "</FIELDS><PARAMS/></METADATA><ROWDATA></ROWDATA></DATAPACKET>";

namespace {

void requireValidSize(const MapGrid& grid) {
    if (grid.N < 0 || grid.N > MapGrid::kCapacity)
        throw Error(formatMessage("Tamanho de mapa inválido: %d (deve estar entre 0 e 100)", {std::to_string(grid.N)}));
}

// Fills an open, empty map table with one row per cell, row by row.
void fillTable(RecordTable& table, const MapGrid& grid, const TransparencyLookup& transparent) {
    // The transparency of a code is looked up once per save: the tiles table
    // does not change while the rows are built.
    std::array<signed char, 256> known;
    known.fill(-1);
    const int n = grid.N;
    for (int r = 1; r <= n; ++r) {
        for (int c = 1; c <= n; ++c) {
            const std::size_t i = MapGrid::index(r, c);
            const unsigned char tipo = grid.Tipo[i];
            if (known[tipo] < 0) known[tipo] = transparent(tipo) ? 1 : 0;
            table.insert();
            table.setInteger("Tamanho", n);
            table.setString("Tipo", std::string(1, static_cast<char>(tipo)));
            table.setString("XO", std::string(1, static_cast<char>(grid.XO[i])));
            table.setString("Fundo", std::string(1, static_cast<char>(grid.Fundo[i])));
            table.setBoolean("Transparente", known[tipo] == 1);
            const std::string& evento = grid.Evento[i];
            table.setString("Evento", evento.empty() ? std::string("NULL") : evento);
            table.post();
        }
    }
}

// The first byte of a code field; an empty value (a row written without it)
// takes the value a new map holds.
unsigned char firstByte(const std::string& value, unsigned char fallback) {
    return value.empty() ? fallback : static_cast<unsigned char>(value[0]);
}

}  // namespace

std::string mapFileText(const MapGrid& grid, const TransparencyLookup& transparent) {
    requireValidSize(grid);
    RecordTable table("Mapa");
    table.openFromText(kMapSkeleton);
    fillTable(table, grid, transparent);
    return datapacket::write(table.fields(), table.allRecords());
}

void salvarEm(const MapGrid& grid, const QString& fullPath, const TransparencyLookup& transparent) {
    requireValidSize(grid);
    RecordTable table("Mapa");
    table.setFileName(fullPath);
    table.openFromText(kMapSkeleton);
    fillTable(table, grid, transparent);
    // One atomic replacement of the whole file, even for a map without rows.
    table.writeToFile();
}

void Salvar(const MapGrid& grid, const QString& projectFolder, const TransparencyLookup& transparent) {
    salvarEm(grid, projectPath(projectFolder, "Mapas\\" + grid.CurrentMap), transparent);
}

void Abrir(MapGrid& grid, const QString& fullPath) {
    RecordTable table("Mapa");
    table.setFileName(fullPath);
    table.open();

    const int n = table.isEmpty() ? 0 : table.asInteger("Tamanho");
    if (n < 0 || n > MapGrid::kCapacity)
        throw Error(formatMessage("O mapa \"%s\" declara o tamanho %d; um mapa tem de 0 a 100 células de lado",
                                  {QDir::toNativeSeparators(fullPath).toStdString(), std::to_string(n)}));

    // Everything is read into a fresh grid first, so a failure part-way keeps
    // the grid that was loaded before.
    MapGrid loaded;
    loaded.CurrentMap = grid.CurrentMap;
    loaded.N = n;
    if (n > 0) {
        table.first();
        for (int r = 1; r <= n; ++r) {
            for (int c = 1; c <= n; ++c) {
                const std::size_t i = MapGrid::index(r, c);
                loaded.Tipo[i] = firstByte(table.asString("Tipo"), MapGrid::kNewTipo);
                loaded.XO[i] = firstByte(table.asString("XO"), MapGrid::kNewXO);
                loaded.Fundo[i] = firstByte(table.asString("Fundo"), MapGrid::kNewFundo);
                loaded.Evento[i] = table.asString("Evento");
                table.next();  // on the last row it stays there
            }
        }
    }
    grid.swap(loaded);
}

}  // namespace quillmark
