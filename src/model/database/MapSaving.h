#pragma once
// The map file written with "Transparente" looked up in the data holder's
// tiles table (VerificaTransparencia).
#include "model/core/MapFile.h"
#include "model/database/DataModule.h"

namespace quillmark {

inline TransparencyLookup transparencyOf(TDataModule1& data) {
    return [&data](unsigned char code) { return data.VerificaTransparencia(code); };
}

inline void Salvar(const MapGrid& grid, const QString& projectFolder, TDataModule1& data) {
    Salvar(grid, projectFolder, transparencyOf(data));
}

inline void salvarEm(const MapGrid& grid, const QString& fullPath, TDataModule1& data) {
    salvarEm(grid, fullPath, transparencyOf(data));
}

inline std::string mapFileText(const MapGrid& grid, TDataModule1& data) {
    return mapFileText(grid, transparencyOf(data));
}

}  // namespace quillmark
