#pragma once
// The game's sound: the battle music, the victory and game-over tunes and the
// short sounds, played from the project's "Sounds\" through SDL2_mixer. The
// test mode uses SDL's silent "dummy" driver, so the same code runs without a
// sound card. A file that is missing or cannot be read plays nothing and is
// reported once; without any audio device the game plays in silence, and
// says so once.
#include <QString>
#include <functional>
#include <map>
#include <set>
#include <string>

namespace quillmark::play {

class Sound {
public:
    // silent: the "dummy" driver, whatever the machine has.
    Sound(const QString& projectFolder, bool silent);
    ~Sound();
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    // A short sound, once ("Ataque.wav").
    void play(const std::string& file);
    // Music from now on, "" for none: "Battle.mp3" loops, the tunes play once.
    void music(const std::string& file);

    bool open() const { return open_; }
    std::function<void(const std::string&)> onProblem;

private:
    void problemOnce(const std::string& key, const std::string& line);
    QString pathOf(const std::string& file) const;

    QString folder_;
    bool open_ = false;
    bool triedOpen_ = false;
    bool silent_ = false;
    std::map<std::string, void*> chunks_;  // Mix_Chunk*, null when it could not be read
    void* music_ = nullptr;                // Mix_Music*
    std::string playing_;
    std::set<std::string> reported_;
};

}  // namespace quillmark::play
