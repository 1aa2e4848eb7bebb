#include "model/database/DataModule.h"

#include "model/core/Format.h"

#include "model/core/Error.h"
#include "model/core/Paths.h"
#include "model/core/ProjectFile.h"
#include "model/core/Text.h"

#include <algorithm>
#include <exception>
#include <initializer_list>
#include <limits>
#include <optional>

namespace quillmark {

namespace {

// A field definition; `fill` is what an inserted record receives in it.
FieldDef str(std::string name, int width, std::optional<std::string> fill = std::nullopt) {
    return {std::move(name), FieldKind::String, width, std::move(fill)};
}
FieldDef integer(std::string name) { return {std::move(name), FieldKind::Integer, 0}; }
FieldDef boolean(std::string name, std::optional<std::string> fill = std::nullopt) {
    return {std::move(name), FieldKind::Boolean, 0, std::move(fill)};
}
FieldDef memo(std::string name) { return {std::move(name), FieldKind::Memo, 0}; }

std::string number(int i, bool twoDigits) { return (twoDigits && i < 10 ? "0" : "") + std::to_string(i); }

// prefix + "01" … prefix + "0n" (two digits) as strings of one width; when
// `fillPrefix` is given, field i of a new record receives fillPrefix + i + ".bmp"
// (the number written as in the field's name).
void numbered(Schema& s, const std::string& prefix, int count, int width, bool twoDigits = true,
              const char* fillPrefix = nullptr) {
    for (int i = 1; i <= count; ++i) {
        const std::string n = number(i, twoDigits);
        std::optional<std::string> fill;
        if (fillPrefix) fill = fillPrefix + n + ".bmp";
        s.push_back(str(prefix + n, width, fill));
    }
}

Schema makeItens() {
    Schema s{str("Nome", 30), str("Descricao", 100), str("Imagem", 60, "ItImage.bmp"), integer("Acao")};
    numbered(s, "Anim", 5, 60, false, "ItAni");
    s.push_back(integer("AcaoAux"));
    s.push_back(integer("Cod_Item"));  // the next free code, given by the after-insert step
    s.push_back(boolean("usMapa", "TRUE"));
    s.push_back(boolean("usBatlle", "TRUE"));
    s.push_back(memo("Evento"));
    return s;
}

Schema makeMagias() {
    Schema s{str("Nome", 60), integer("DanoCausado"), integer("CustoDeMP")};
    // the spell frame-set editor reads and writes these in the spell's record folder
    numbered(s, "Anim", 5, 60, false, "MgAni");
    s.push_back(integer("TipoAnim"));
    s.push_back(str("Descri\xE7\xE3o", 100));  // "Descrição" in CP1252
    s.push_back(integer("Cod_Magia"));         // the next free code, given by the after-insert step
    s.push_back(integer("TipoMagia"));
    return s;
}

Schema makeMonstros() {
    Schema s{str("Nome", 60)};
    for (const char* f : {"Nivel", "HP", "MP", "Forca", "Defesa", "Agilidade", "Dinheiro", "ExpGanha"})
        s.push_back(integer(f));
    numbered(s, "Magia", 3, 50, false);
    // a new monster's frames and face are named in its record folder; the files need not exist yet
    numbered(s, "Parado", 6, 50, true, "CharParado");
    numbered(s, "Atacando", 6, 50, true, "CharAtacando");
    numbered(s, "UsMagia", 6, 50, true, "CharMagia");
    s.push_back(str("Face", 50, "CharFace.bmp"));
    return s;
}

Schema makePersonagem() {
    Schema s{str("Nome", 60), str("Tipo", 40), integer("NvInicial"), integer("NvMax")};
    numbered(s, "Face", 5, 40);
    for (const char* dir : {"Up", "Down", "Left", "Right"})
        for (int i = 1; i <= 3; ++i) s.push_back(str("AnAndando0" + std::to_string(i) + dir, 40));
    numbered(s, "AnMorto", 3, 40);
    numbered(s, "AnBatParado", 5, 40);
    numbered(s, "AnBatAtacar", 7, 40);
    numbered(s, "AnBatGolpe", 4, 40);
    numbered(s, "AnBatDef", 3, 40);
    numbered(s, "AnBatMagic", 6, 40);
    numbered(s, "AnBatAting", 3, 40);
    numbered(s, "AnBatMorto", 3, 40);
    for (const char* f : {"HPInicial", "HPMax", "MPInicial", "MPMax", "ForcaInicial", "ForcaMax", "DefIncial", "DefMax",
                          "AgInicial", "AgMax"})
        s.push_back(integer(f));
    numbered(s, "Magia", 8, 50);
    numbered(s, "Iten", 8, 50);
    return s;
}

Schema makeTiles() {
    return {str("Tipo", 1),   str("Fundo", 1), str("File", 50),
            str("VFile", 50), integer("Cod"),  boolean("Transparente")};
}

// Fills the new record with the defaults of the schema, only where the table
// has the field: a table opened from an older file may lack one, and that must
// not stop the insertion.
void applyDefaults(RecordTable& t, const Schema& schema) {
    for (const FieldDef& f : schema)
        if (f.onInsert && t.hasField(f.name)) t.setString(f.name, *f.onInsert);
}

// One more than the largest code in the table (all records, whatever the
// filter), 1 for an empty table or one without codes.
void giveNextCode(RecordTable& t, const std::string& field) {
    const int i = t.fieldIndex(field);
    if (i < 0) return;
    long long largest = 0;
    for (const Record& r : t.allRecords()) {
        const auto& v = r[static_cast<std::size_t>(i)];
        if (!v || v->empty()) continue;
        try {
            largest = std::max<long long>(largest, parseIntegerValue(*v));
        } catch (const Error&) {
        }
    }
    if (largest < std::numeric_limits<int>::max()) t.setInteger(field, static_cast<int>(largest + 1));
}

void notify(const std::function<void()>& f) {
    if (f) f();
}

// Raw booleans as the data packet stores them.
bool rawBoolean(const std::optional<std::string>& v) {
    if (!v) return false;
    const std::string lower = asciiLower(*v);
    return lower == "true" || lower == "1";
}

}  // namespace

const Schema& itensSchema() {
    static const Schema s = makeItens();
    return s;
}
const Schema& magiasSchema() {
    static const Schema s = makeMagias();
    return s;
}
const Schema& monstrosSchema() {
    static const Schema s = makeMonstros();
    return s;
}
const Schema& personagemSchema() {
    static const Schema s = makePersonagem();
    return s;
}
const Schema& tilesSchema() {
    static const Schema s = makeTiles();
    return s;
}

TDataModule1::TDataModule1() {
    // A new monster gets its 19 frame and face names; the files live in the
    // monster's record folder and need not exist yet.
    cdsMonstros.afterInsert = [](RecordTable& t) { applyDefaults(t, monstrosSchema()); };
    cdsMonstros.afterPost = [this](RecordTable&) { notify(onMonstrosListChanged); };
    cdsMonstros.afterDelete = [this](RecordTable&) { notify(onMonstrosListChanged); };

    cdsItens.afterInsert = [this](RecordTable& t) {
        applyDefaults(t, itensSchema());
        giveNextCode(t, "Cod_Item");
        notify(onNewItem);
    };
    cdsItens.afterPost = [this](RecordTable&) { notify(onItensListChanged); };
    cdsItens.afterDelete = [this](RecordTable&) { notify(onItensListChanged); };

    cdsMagias.afterInsert = [](RecordTable& t) {
        applyDefaults(t, magiasSchema());
        giveNextCode(t, "Cod_Magia");
    };
    cdsMagias.afterPost = [this](RecordTable&) { notify(onMagiaPosted); };
    cdsMagias.afterOpen = [this](RecordTable&) { notify(onMagiasListChanged); };
    cdsMagias.afterDelete = [this](RecordTable&) { notify(onMagiasListChanged); };
}

const char* TDataModule1::relativeFileOf(const RecordTable& table) const {
    if (&table == &cdsItens) return kItensFile;
    if (&table == &cdsMagias) return kMagiasFile;
    if (&table == &cdsMonstros) return kMonstrosFile;
    if (&table == &cdsPersonagem) return kPersonagemFile;
    if (&table == &cdsTiles) return kTilesFile;
    throw Error(formatMessage("A tabela '%s' não pertence ao banco de dados", {table.name()}));
}

void TDataModule1::pointAt(RecordTable& table, const QString& folder) {
    const char* relative = relativeFileOf(table);
    table.close();
    table.setFileName(projectPath(folder, std::string_view(relative)));
    table.setProjectFolder(folder);
    table.open();
}

void TDataModule1::DataModuleCreate(const QString& editorFolder) {
    for (RecordTable* t : {&cdsItens, &cdsMagias, &cdsMonstros, &cdsPersonagem, &cdsTiles}) pointAt(*t, editorFolder);
}

void TDataModule1::pointAtProject(const QString& projectFolder) {
    // Every table is closed (and so written) before any of them is pointed at
    // the new folder: a table missing there leaves the later ones closed
    // rather than still open on the previous project's files.
    closeAll();
    for (RecordTable* t : {&cdsTiles, &cdsMonstros, &cdsItens, &cdsMagias, &cdsPersonagem}) pointAt(*t, projectFolder);
}

void TDataModule1::commitPending(RecordTable& t) {
    if (!t.active() || !t.editing()) return;
    if (t.state() == RecordTable::State::Insert) {
        // a new record the user never named holds only its defaults: dropped
        if (!t.hasField("Nome") || t.isNull("Nome")) {
            t.cancel();
            return;
        }
        t.post();
    } else if (t.modified()) {
        t.post();
    } else {
        t.cancel();
    }
}

void TDataModule1::closeAll() {
    // A table that cannot be written must not keep the others open; the first
    // failure is reported once all have been tried. What the user typed into a
    // record still being edited is committed first, so that it reaches the file.
    std::exception_ptr first;
    for (RecordTable* t : {&cdsItens, &cdsMagias, &cdsMonstros, &cdsPersonagem, &cdsTiles}) {
        try {
            if (t != &cdsTiles) commitPending(*t);
        } catch (...) {
            if (!first) first = std::current_exception();
        }
        try {
            t->close();
        } catch (...) {
            if (!first) first = std::current_exception();
        }
    }
    if (first) std::rethrow_exception(first);
}

int TDataModule1::firstTileWithCode(unsigned char code) const { return format::tileRecordIndex(cdsTiles, code); }

bool TDataModule1::VerificaTransparencia(unsigned char code) {
    if (cdsTiles.active() && cdsTiles.filtered()) cdsTiles.setFiltered(false);
    const int i = firstTileWithCode(code);
    if (i < 0) return false;
    const int transparente = cdsTiles.fieldIndex("Transparente");
    if (transparente < 0) return false;
    return rawBoolean(cdsTiles.allRecords()[static_cast<std::size_t>(i)][static_cast<std::size_t>(transparente)]);
}

int TDataModule1::tileCodByCode(unsigned char code) {
    if (!cdsTiles.active()) return 0;
    if (cdsTiles.filtered()) cdsTiles.setFiltered(false);
    const int i = firstTileWithCode(code);
    if (i < 0) {
        cdsTiles.first();
        return 0;
    }
    cdsTiles.setRecNo(i + 1);
    return cdsTiles.hasField("Cod") ? cdsTiles.asInteger("Cod") : 0;
}

}  // namespace quillmark
