#include "apps/play/Sound.h"

#include "model/core/Paths.h"
#include "model/core/Text.h"

#include <QFile>
#include <SDL.h>
#include <SDL_mixer.h>

namespace quillmark::play {

Sound::Sound(const QString& projectFolder, bool silent) : folder_(projectFolder), silent_(silent) {}

Sound::~Sound() {
    if (!open_) return;
    Mix_HaltMusic();
    Mix_HaltChannel(-1);
    if (music_) Mix_FreeMusic(static_cast<Mix_Music*>(music_));
    for (auto& [name, chunk] : chunks_)
        if (chunk) Mix_FreeChunk(static_cast<Mix_Chunk*>(chunk));
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void Sound::problemOnce(const std::string& key, const std::string& line) {
    if (!reported_.insert(key).second) return;
    if (onProblem) onProblem(line);
}

QString Sound::pathOf(const std::string& file) const { return projectPath(folder_, "Sounds\\" + file); }

namespace {

bool openDevice(bool silent) {
    if (silent) SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    Mix_Init(MIX_INIT_MP3);
    if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(8);
    return true;
}

}  // namespace

void Sound::play(const std::string& file) {
    if (!triedOpen_) {
        triedOpen_ = true;
        open_ = openDevice(silent_);
        if (!open_) problemOnce("", std::string("sem som: ") + SDL_GetError());
    }
    if (!open_) return;
    auto it = chunks_.find(file);
    if (it == chunks_.end()) {
        const QString path = pathOf(file);
        Mix_Chunk* chunk = nullptr;
        if (!fileExists(path))
            problemOnce(file, "o som \"Sounds\\" + cp1252ToUtf8(file) + "\" não existe: nada a tocar");
        else if (!(chunk = Mix_LoadWAV(QFile::encodeName(path).constData())))
            problemOnce(file, "o som \"Sounds\\" + cp1252ToUtf8(file) + "\" não pode ser lido: " + Mix_GetError());
        it = chunks_.emplace(file, chunk).first;
    }
    if (it->second) Mix_PlayChannel(-1, static_cast<Mix_Chunk*>(it->second), 0);
}

void Sound::music(const std::string& file) {
    if (!triedOpen_) {
        triedOpen_ = true;
        open_ = openDevice(silent_);
        if (!open_) problemOnce("", std::string("sem som: ") + SDL_GetError());
    }
    if (!open_ || file == playing_) return;
    Mix_HaltMusic();
    if (music_) Mix_FreeMusic(static_cast<Mix_Music*>(music_));
    music_ = nullptr;
    playing_ = file;
    if (file.empty()) return;
    const QString path = pathOf(file);
    if (!fileExists(path)) {
        problemOnce(file, "o som \"Sounds\\" + cp1252ToUtf8(file) + "\" não existe: nada a tocar");
        return;
    }
    Mix_Music* m = Mix_LoadMUS(QFile::encodeName(path).constData());
    if (!m) {
        problemOnce(file, "o som \"Sounds\\" + cp1252ToUtf8(file) + "\" não pode ser lido: " + Mix_GetError());
        return;
    }
    music_ = m;
    Mix_PlayMusic(m, file == "Battle.mp3" ? -1 : 0);
}

}  // namespace quillmark::play
