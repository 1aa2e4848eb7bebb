#pragma once
// The places where the database window ("Banco de Dados", TForm2) hands work to
// the windows of other subsystems: the frame previews and frame-set editors
// (src/animation/) and the "Tiles" page with the tile editors (src/tiles/).
// Each link is filled once at start-up; a window that needs an unfilled link
// throws a programming error instead of doing nothing.
#include <QString>

class QWidget;

namespace quillmark {

// The six pages of the database window, in tab order.
enum class DatabasePage { Game, Personagem, Inimigos, Itens, Magias, Tiles };

// The frame previews and the "Editar" buttons of the frame-set editors.
//
// The window gives every preview an empty host widget of the box's size
// (65 x 65, the hero faces 81 x 81) at the box's place, named by its key:
//   "Personagem": HeroAndando, HeroMorto, HeroBatParado, HeroBatAtacando, HeroBatDefendendo,
//                 HeroBatMagia, HeroBatAtingido, HeroBatMorto, HeroFaces
//   "Inimigos":   MonsterParado, MonsterAtacando, MonsterMagia
//   "Itens":      ItemAnim
//   "Magias":     SpellAnim (shows the spell's first frame; it does not run, and
//                 stays empty for a spell without frames)
// and every "Editar" of a frame set calls editFrames with the editor's unit name:
//   uCharAniEdit, uCharAniMorendo, uCharAniBatParado, uCharAniBatAtacar, uCharAniBatDef,
//   uCharAniBatMagic, uCharAniBatAtingido, uCharAniBatMorrendo, uCharFaces,
//   uEnemyParado, uEnemyAtacando, uEnemyMagic, uAniItem, uMagicAni
class FramePreviewsLink {
public:
    virtual ~FramePreviewsLink() = default;
    // Once, when the window is built: the host widget of each preview key.
    virtual void attach(const QString& key, QWidget* host) = 0;
    // Entry step of "Personagem", "Inimigos", "Itens" and "Magias" (after the
    // page's record is current): shows each box's first frame and starts the
    // page's previews.
    virtual void pageEntered(DatabasePage page) = 0;
    // Leave step of those pages: stops the page's previews (the last picture stays).
    virtual void pageLeft(DatabasePage page) = 0;
    // The current record of a page changed (a list selection, a new record):
    // the boxes of that page show the new record's first frames; counters keep running.
    virtual void recordChanged(DatabasePage page) = 0;
    // "Editar": opens the frame-set editor of that unit modally over the window.
    virtual void editFrames(const QString& unit) = 0;
};

// The "Tiles" page.
class TilesPageLink {
public:
    virtual ~TilesPageLink() = default;
    // Once, when the window is built: fills the empty "Tiles" tab.
    virtual void build(QWidget* page) = 0;
    // The page's entry step (it has no leave step).
    virtual void entered() = 0;
};

}  // namespace quillmark
