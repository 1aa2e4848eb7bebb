// What a frame of the game looks like, as one number: the window compares it
// from tick to tick and repaints only when it changes.
#include "play/view/PlayRender.h"

#include <cstring>

namespace quillmark::play {

namespace {

// FNV-1a over the values the drawing reads.
class Fingerprint {
public:
    template <typename T> void add(const T& value) {
        static_assert(std::is_trivially_copyable_v<T>);
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        for (unsigned char b : bytes) mix(b);
    }
    void add(const std::string& text) {
        add(text.size());
        for (char c : text) mix(static_cast<unsigned char>(c));
    }
    void add(const Walker& w) {
        add(w.row);
        add(w.column);
        add(w.toRow);
        add(w.toColumn);
        add(w.facing);
        add(w.stepFrame);
        add(w.spriteFrame());
    }
    std::uint64_t value() const { return h_; }

private:
    void mix(unsigned char b) {
        h_ ^= b;
        h_ *= 0x100000001b3ULL;
    }
    std::uint64_t h_ = 0xcbf29ce484222325ULL;
};

// Whether the map shows animated tiles anywhere (codes 180 to 191 on either
// layer): a plain scan, a few microseconds even on the largest map.
bool hasAnimatedTiles(const MapGrid& g) {
    auto animated = [](unsigned char code) { return code >= 180 && code <= 191; };
    for (int r = 1; r <= g.N; ++r)
        for (int c = 1; c <= g.N; ++c) {
            const std::size_t i = MapGrid::index(r, c);
            if (animated(g.Tipo[i]) || animated(g.Fundo[i])) return true;
        }
    return false;
}

void addMap(Fingerprint& f, const Game& game) {
    const World& world = game.world();
    f.add(game.mapName());
    f.add(game.fade());  // a transfer's fade
    f.add(world.hero());
    for (const Walker& w : world.characters()) f.add(w);
    const Weather& wx = world.weather();
    f.add(wx.rain);
    f.add(wx.snow);
    f.add(wx.storm);
    // rain, snow and storms move every frame
    if (wx.rain || wx.snow || wx.storm) f.add(world.frame());
    if (hasAnimatedTiles(game.data().grid)) f.add(world.tileFrame());
    if (const auto& box = world.box()) {
        f.add(box->dialog);
        f.add(box->face);
        f.add(box->text);
        f.add(box->pages.size());
        for (const std::string& c : box->choices) f.add(c);
        f.add(box->cursor);
        f.add((world.frame() / 20) % 2);  // the blinking "more" mark
    }
}

}  // namespace

std::uint64_t Renderer::stamp(const Game& game) {
    Fingerprint f;
    f.add(game.scene());
    switch (game.scene()) {
    case SceneKind::Map:
        addMap(f, game);
        break;
    case SceneKind::Menu: {
        addMap(f, game);
        const MapMenu& menu = game.menu();
        f.add(menu.page());
        f.add(menu.cursor());
        f.add(menu.message());
        for (const std::string& e : menu.entries()) f.add(e);
        break;
    }
    case SceneKind::Title: {
        const TitleScene& title = game.title();
        f.add(title.page());
        f.add(title.cursor());
        f.add(title.message());
        for (const std::string& e : title.entries()) f.add(e);
        break;
    }
    case SceneKind::Battle:
        // a battle animates all the time
        f.add(game.frame());
        break;
    case SceneKind::GameOver:
        f.add(game.state().level());
        f.add(game.state().money());
        break;
    }
    return f.value();
}

}  // namespace quillmark::play
