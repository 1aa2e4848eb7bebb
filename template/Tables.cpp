// The five template tables: every tile of the palette, one hero, a handful of
// spells, and empty monster and item tables for the game maker to fill.
#include "Template.h"

#include "model/core/DataPacket.h"
#include "model/core/Files.h"
#include "model/core/Text.h"
#include "model/database/DataModule.h"

#include <QMap>

namespace tmpl {

namespace {

using quillmark::Record;
using quillmark::Schema;

class Row {
public:
    explicit Row(const Schema& schema) : schema_(schema), record_(schema.size()) {}
    Row& set(const std::string& field, const std::string& cp1252) {
        for (size_t i = 0; i < schema_.size(); ++i)
            if (quillmark::equalsIgnoreCase(schema_[i].name, field)) {
                record_[i] = cp1252;
                return *this;
            }
        qFatal("template table has no field %s", field.c_str());
    }
    Row& set(const std::string& field, int value) { return set(field, std::to_string(value)); }
    Row& flag(const std::string& field, bool value) { return set(field, std::string(value ? "TRUE" : "FALSE")); }
    Record record() const { return record_; }

private:
    const Schema& schema_;
    Record record_;
};

void write(const QString& path, const Schema& schema, const std::vector<Record>& rows) {
    put(path, QByteArray::fromStdString(quillmark::datapacket::write(schema, rows)));
}

std::string cp(const char* utf8) { return quillmark::toCp1252(QString::fromUtf8(utf8)); }

}  // namespace

void writeTables(const QString& data, const std::vector<TileArt>& tiles, const std::vector<NamedImage>& hero) {
    // Tiles: one record per code, in code order; Cod k is cache slot k.
    {
        const Schema& s = quillmark::tilesSchema();
        std::vector<Record> rows;
        for (const TileArt& t : tiles) {
            Row r(s);
            r.set("Tipo", std::string(1, static_cast<char>(t.code)))
                .set("File", t.file.toStdString())
                .set("Cod", t.code - 48)
                .flag("Transparente", t.transparent);
            rows.push_back(r.record());
        }
        write(data + "Tiles.xml", s, rows);
    }
    // The hero.
    {
        const Schema& s = quillmark::personagemSchema();
        Row r(s);
        r.set("Nome", "Arthos").set("Tipo", "Guerreiro").set("NvInicial", 1).set("NvMax", 50);
        auto numbered = [&](const std::string& field, const std::string& file, int count) {
            for (int i = 1; i <= count; ++i) {
                const std::string n = (i < 10 ? "0" : "") + std::to_string(i);
                r.set(field + n, file + n + ".bmp");
            }
        };
        numbered("Face", "Face", 5);
        for (const char* dir : {"Up", "Down", "Left", "Right"}) {
            r.set(std::string("AnAndando01") + dir, std::string("Char") + dir + ".bmp");
            r.set(std::string("AnAndando02") + dir, std::string("Char") + dir + "2.bmp");
            r.set(std::string("AnAndando03") + dir, std::string("Char") + dir + "3.bmp");
        }
        numbered("AnMorto", "CharMorto", 3);
        numbered("AnBatParado", "BatParado", 5);
        numbered("AnBatAtacar", "BatAtacar", 7);
        numbered("AnBatGolpe", "BatGolpe", 4);
        numbered("AnBatDef", "BatDef", 3);
        numbered("AnBatMagic", "BatMagia", 6);
        numbered("AnBatAting", "BatAtingido", 3);
        // A new project receives the hero frames the wizard copies; dying in
        // battle shows the same frames as dying on the map, so it has them too.
        numbered("AnBatMorto", "CharMorto", 3);
        r.set("HPInicial", 60).set("HPMax", 999).set("MPInicial", 20).set("MPMax", 999);
        r.set("ForcaInicial", 12).set("ForcaMax", 255).set("DefIncial", 10).set("DefMax", 255);
        r.set("AgInicial", 9).set("AgMax", 255);
        r.set("Magia01", "1").set("Magia02", "4");
        // every frame the record names must be drawn
        QMap<QString, bool> drawn;
        for (const NamedImage& h : hero) drawn[h.file] = true;
        const Record rec = r.record();
        for (size_t i = 0; i < s.size(); ++i) {
            const std::string& v = rec[i] ? *rec[i] : std::string();
            if (v.size() > 4 && v.substr(v.size() - 4) == ".bmp" && !drawn.contains(QString::fromStdString(v)))
                qFatal("hero frame %s is not drawn", v.c_str());
        }
        write(data + "Personagem.xml", s, {rec});
    }
    // Spells: Cod_Magia 1 … 5, referred to by the hero's Magia fields.
    {
        const Schema& s = quillmark::magiasSchema();
        struct Spell {
            const char* name;
            int damage, mp, anim, code, kind;
            const char* text;
        };
        const Spell spells[] = {
            {"Fogo", 30, 4, 0, 1, 0, "Uma bola de fogo atinge o inimigo."},
            {"Gelo", 26, 4, 0, 2, 0, "Estilhaços de gelo ferem o inimigo."},
            {"Trovão", 45, 8, 1, 3, 0, "Um raio cai do céu sobre os inimigos."},
            {"Cura", 40, 5, 1, 4, 1, "Recupera parte do HP."},
            {"Éter", 15, 0, 1, 5, 2, "Recupera parte do MP."},
        };
        std::vector<Record> rows;
        for (const Spell& sp : spells) {
            Row r(s);
            r.set("Nome", cp(sp.name)).set("DanoCausado", sp.damage).set("CustoDeMP", sp.mp).set("TipoAnim", sp.anim);
            r.set(cp("Descrição"), cp(sp.text)).set("Cod_Magia", sp.code).set("TipoMagia", sp.kind);
            rows.push_back(r.record());
        }
        write(data + "Magias.xml", s, rows);
    }
    write(data + "Monstros.xml", quillmark::monstrosSchema(), {});
    write(data + "Itens.xml", quillmark::itensSchema(), {});
}

}  // namespace tmpl
