#pragma once
// "Banco de Dados" (TForm2): the database window. One modal window with six
// pages — "Game", "Personagem", "Inimigos", "Itens", "Magias", "Tiles" — over
// the five game tables and the shared project state. Each page has an entry
// step and may have a leave step; they run when the page in front changes
// (a tab picked, or showPage from another window), never on closing or
// reopening. The page steps that touch only tables and files live in
// DatabasePages.h, records with their folders and pictures change through
// DatabaseCommands.h; the fields are bound controls (uBoundControls.h). The
// three record pages are one TRecordListPage each, configured by table
// (uConfigRecords.cpp); "Personagem" is built in uConfigHero.cpp.
// Esc does not close the window: on "Itens" and "Magias" it cancels a
// record's edit as the navigator's cancel does; the close box closes.
//
// The frame previews and the frame-set editors, and the "Tiles" page, belong to
// other windows and are reached through the links of uDatabaseLinks.h.
#include "model/database/DatabaseCommands.h"
#include "ui/common/uDatabaseLinks.h"

#include <QDialog>
#include <QMap>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QGridLayout;
class QKeyEvent;

namespace quillmark {

class Workspace;
class RecordTable;
class TDataLink;
class TBoundEdit;
class TBoundSpin;
class TBoundLookup;
class TBoundCodeList;
class TBoundCheck;
class TBoundMemo;
class TBoundPicture;
class TDBNavigator;
class TRecordListPage;
struct RecordListConfig;

class TForm2 : public QDialog {
    Q_OBJECT
public:
    // Created once at start-up, before the data holder opens the tables: it
    // takes the data holder's record-list notifications.
    explicit TForm2(Workspace& ws, QWidget* parent = nullptr);
    ~TForm2() override;

    // The database command: shown modally, only while a project is open.
    void Execute();
    // The steps of showing: the "Game" entries filled, and at the very first
    // opening the entry step of the page in front. Execute runs it before exec().
    void FormShow();
    // The steps of closing; false (the window stays open) when one failed.
    bool FormCloseQuery();

    // Brings a page to the front; its entry step runs only if another page was
    // in front (the previous page's leave step first).
    void showPage(DatabasePage page);
    DatabasePage pageInFront() const { return inFront_; }

    // The links, filled once at start-up: attach and build happen here.
    void setFramePreviewsLink(FramePreviewsLink* link);
    void setTilesPageLink(TilesPageLink* link);

    // --- the controls, for the pages' own steps and the tests ------------------
    QTabWidget* PageControl = nullptr;
    // "Game"
    QLineEdit* EditNome = nullptr;
    QLineEdit* EditAutor = nullptr;
    QLineEdit* EditMapaInicial = nullptr;
    QLineEdit* EditPosX = nullptr;
    QLineEdit* EditPosY = nullptr;
    QLabel* ImageIcone = nullptr;
    // "Personagem"
    TBoundPicture* HeroPortrait = nullptr;
    TBoundEdit* HeroNome = nullptr;
    TBoundSpin* HeroNvInicial = nullptr;
    TBoundSpin* HeroNvMax = nullptr;
    std::vector<TBoundLookup*> HeroMagias;  // Magia01 … Magia08
    std::vector<TBoundLookup*> HeroItens;   // Iten01 … Iten08
    // the three record-list pages
    TRecordListPage* PageInimigos = nullptr;
    TRecordListPage* PageItens = nullptr;
    TRecordListPage* PageMagias = nullptr;
    TRecordListPage* recordPage(DatabasePage page) const;
    // "Inimigos"
    QListWidget* ListaInimigos = nullptr;
    QPushButton* NovoInimigo = nullptr;
    TBoundEdit* InimigoNome = nullptr;
    TBoundPicture* InimigoFace = nullptr;
    std::vector<TBoundLookup*> InimigoMagias;  // Magia1 … Magia3
    // "Itens"
    TDBNavigator* NavItens = nullptr;
    QListWidget* ListaItens = nullptr;
    QPushButton* NovoItem = nullptr;
    TBoundEdit* ItemNome = nullptr;
    QPushButton* ItemOK = nullptr;
    TBoundCodeList* ItemAcao = nullptr;
    TBoundPicture* ItemImagem = nullptr;
    QPushButton* ItemEditarImagem = nullptr;
    TBoundMemo* ItemEvento = nullptr;
    // "Magias"
    TDBNavigator* NavMagias = nullptr;
    QListWidget* ListaMagias = nullptr;
    QPushButton* NovaMagia = nullptr;
    TBoundEdit* MagiaNome = nullptr;
    QLabel* LabelDano = nullptr;
    TBoundCodeList* MagiaTipo = nullptr;
    TBoundCodeList* MagiaTipoAnim = nullptr;
    // "Tiles": left empty for the tiles page
    QWidget* TabTiles = nullptr;

    // The preview hosts by key and the "Editar" buttons by editor unit.
    QMap<QString, QWidget*> previewHosts;
    QMap<QString, QPushButton*> editarButtons;

    // Page actions, also reached by the buttons.
    void NovoInimigoClick();
    void InimigoFaceClick();
    void NovoItemClick();
    void ItemOKClick();
    void ItemEditarImagemClick();
    void NovaMagiaClick();
    void editFrames(DatabasePage page, const QString& unit);

public slots:
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildGame(QWidget* page);
    void buildPersonagem(QWidget* page);
    void buildInimigos(TRecordListPage* page);
    void buildItens(TRecordListPage* page);
    void buildMagias(TRecordListPage* page);
    static const RecordListConfig kRecordPages[3];
    // The model's record commands, pointed at the open project's folder.
    DatabaseCommands& commands();
    QWidget* previewBox(QGridLayout* grid, int row, int column, const QString& caption, const QString& key,
                        DatabasePage page, const QString& unit, int size = 65);

    void pageChanged(int index);
    void enterPage(DatabasePage page);
    void leavePage(DatabasePage page);
    void fillGame();
    void warnOfHeroStart();
    void reloadLookups();
    void setItemNaming(bool on);
    void afterItemInserted();
    void afterSpellPosted();
    FramePreviewsLink& previews();
    TilesPageLink& tilesLink();

    Workspace& ws_;
    FramePreviewsLink* previews_ = nullptr;
    TilesPageLink* tiles_ = nullptr;
    DatabasePage inFront_ = DatabasePage::Game;
    bool openedOnce_ = false;
    bool switching_ = false;
    DatabaseCommands* commands_ = nullptr;
    std::unique_ptr<TDataLink> heroLink_, monstersLink_, itensLink_, magiasLink_;
};

}  // namespace quillmark
