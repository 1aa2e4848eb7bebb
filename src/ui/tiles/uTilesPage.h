#pragma once
// The database window's "Tiles" page: every tile code of the project as a
// picture button, in twelve groups of twelve laid out like the palette's
// lists ("Lista 1" … "Lista 11", then "Animações"), two rows of six. A click
// opens "Tiles Edit" for an ordinary tile and "Edit Animação" for one of the
// twelve animated tiles; after an editor's "OK" the page shows the new
// pictures, and so do the palette and the open map.
#include "ui/common/uBtTerreno.h"
#include "ui/common/uDatabaseLinks.h"

#include <QObject>
#include <QPoint>
#include <array>

class QGroupBox;

namespace quillmark {

class Workspace;
class TFormTi;
class TFormTA;
class TTileDialog;

class TTilesPage : public QObject, public TilesPageLink {
    Q_OBJECT
public:
    static constexpr int kGroups = 12;
    static constexpr int kButtons = 144;
    static constexpr int kGroupWidth = 97;
    static constexpr int kGroupHeight = 270;

    TTilesPage(Workspace& ws, TFormTi& tileEditor, TFormTA& animationEditor, QObject* parent = nullptr);
    ~TTilesPage() override;

    // Fills the empty page once: the twelve groups and their 144 buttons.
    void build(QWidget* page) override;
    // The entry step: button k gets the code 48 + k, its click and the picture
    // PegaImg of its code; the tiles table is left showing all its records.
    void entered() override;

    // Open an editor for one code: the tiles table is restricted to the
    // code's record while it is open and shows all its records afterwards.
    void ShowEdit(unsigned char code);
    void ShowEditAni(unsigned char code);

    bool built() const { return page_ != nullptr; }
    // Button k (0 … 143) and group g (0 … 11); nullptr before build().
    TTile* button(int k) const { return buttons_[static_cast<size_t>(k)]; }
    QGroupBox* group(int g) const { return groups_[static_cast<size_t>(g)]; }

    // Where group g lies on the page and button k inside its group.
    static QPoint groupPosition(int g);
    static QPoint buttonPosition(int k);
    // The group captions, in order.
    static QString groupCaption(int g);

private:
    void open(TTileDialog& editor, unsigned char code);
    void redraw();

    Workspace& ws_;
    TFormTi& tileEditor_;
    TFormTA& animationEditor_;
    QWidget* page_ = nullptr;
    std::array<QGroupBox*, kGroups> groups_{};
    std::array<TTile*, kButtons> buttons_{};
};

}  // namespace quillmark
