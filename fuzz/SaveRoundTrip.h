#pragma once
// The saved-game round trip, shared by the fuzz harness and the corpus replay
// test: whatever the bytes, reading a save ends with a save or our Error (never
// a crash), and a save read writes back into bytes that read to the same save.
#include "model/core/Error.h"
#include "play/model/SaveGame.h"

#include <QByteArray>
#include <string>
#include <string_view>

namespace qmfuzz {

inline std::string saveFile(std::string_view input) {
    using namespace quillmark;
    play::SavedGame first;
    try {
        first = play::decodeSave(QByteArray(input.data(), static_cast<qsizetype>(input.size())), "Saves\\Save1.sav");
    } catch (const Error&) {
        return {};
    }
    const QByteArray written = play::encodeSave(first);
    play::SavedGame second;
    try {
        second = play::decodeSave(written, "Saves\\Save1.sav");
    } catch (const Error& e) {
        return std::string("the written save does not load: ") + e.what();
    }
    if (play::encodeSave(second) != written) return "the save changed through a write and a read";
    if (second.savedAt != first.savedAt) return "the time of saving changed";
    return {};
}

}  // namespace qmfuzz
