#pragma once
// TForm1: the editor's main window. Menus, the band bar of picture buttons,
// the left column (palette list, tile palette, project tree), the map area and
// the status bar; the enabling rules (verificaStatus); opening, closing and
// saving a project; Play; the settings kept between runs.
#include <QHash>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <functional>

#include "model/session/EditorSession.h"
#include "ui/main/uTerreno.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QSplitter;
class QToolBar;
class QUndoStack;

namespace quillmark {

class Workspace;
class TFrame1;
class TFrame3;
class TMapArea;
class TBandBar;
class TToolButton;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // Starts a program by path, without arguments and without waiting; false
    // with the reason when it cannot.
    using ProgramStarter = EditorSession::ProgramStarter;

    struct Options {
        // The placement file; empty: "quillmark.INI" in the user's configuration folder.
        QString iniPath;
        // The recent-project file; empty: "Data/conf.ini" beside the editor (or the
        // user's configuration folder when the editor folder cannot be written).
        QString recentPath;
        // Registers the ".qmk" association when none exists; empty: the freedesktop
        // association of this executable in the user's folders.
        std::function<void()> registerAssociation;
        // Starts the game runtime; empty: a detached process in the editor's working folder.
        ProgramStarter startProgram;
    };

    static constexpr int kDefaultWidth = 808;
    static constexpr int kDefaultHeight = 615;
    static constexpr int kLeftColumnWidth = 119;

    // Runs the main window's creation steps: association, "Reopen", the brush
    // picture, CellSize, BrushCode, the enabling rules. Follows the session's
    // signals: the enabling rules, the caption, the palette blanked on close.
    explicit TForm1(Workspace& ws, Options options = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    // The first show: placement and bands from the INI file, the tile image
    // cache, then the project named by the first argument, if any.
    void FormShow(const QStringList& arguments);

    // --- the enabling rules --------------------------------------------------------
    void verificaStatus();

    // --- commands ---------------------------------------------------------------------
    // Opens the project file at path (steps 1 to 11). A failure at any step
    // leaves the editor without a project and is thrown on.
    void abrirProjeto(const QString& path);
    // "Abrir Projeto": file dialog, the save question and the close, open, "Recent".
    void AbrirProjetoClick();
    // A "Reopen" entry.
    void Reopen(const QString& path);
    // "Salvar" (menu and button): Salvar, Modified cleared, the tree saved.
    void SalvarClick();
    // "Close All": the save question, then the close command.
    void CloseAllClick();
    // The close command itself: discards the map and the project without asking.
    void closeProject();
    // "Play" and "Executar".
    void PlayClick();
    // The three mode buttons and menu entries.
    void ModoInferiorClick();
    void ModoSuperiorClick();
    void ModoEventosClick();
    void ZoomClick();
    void NovoMapaClick();
    void PropriedadesClick();
    void BancoDadosClick();
    void NovoProjetoClick();
    void SobreClick();

    // The about box "Sobre" shows (created once by the application's windows).
    void setAboutBox(QWidget* about) { about_ = about; }
    void setProgramStarter(ProgramStarter starter);

    // --- parts, for the other windows and for tests ---------------------------------
    // A menu entry by its caption ("Salvar", "Colar Evento" …).
    QAction* menuAction(const QString& caption) const;
    // A tool-bar button by its hint.
    TToolButton* toolButton(const QString& hint) const;
    QMenu* reopenMenu() const { return reopenMenu_; }
    TFrame1* palette() const { return palette_; }
    TFrame3* projectTree() const { return tree_; }
    QComboBox* paletteList() const { return lista_; }
    TMapArea* mapArea() const { return mapArea_; }
    TBandBar* bandBar() const { return bands_; }
    QSplitter* splitter() const { return splitter_; }
    const QString& iniPath() const { return options_.iniPath; }
    const QString& recentPath() const { return options_.recentPath; }

    // Writes the placement and band positions (done when the window closes).
    void saveSettings();

    // --- undo, redo and the status bar -------------------------------------------
    // The map tools: an entry of "Editar" and a button of the tool bar each.
    QAction* toolAction(MapTool tool) const;
    QToolBar* toolBar() const { return tools_; }
    // "Desfazer" / "Refazer": one step back or forward, of the project tree
    // while it has the focus, of the map otherwise.
    void DesfazerClick();
    void RefazerClick();
    // The status bar's text: the cell under the pointer, its code on the
    // current layer and the picture's file, the layer, the map and its state.
    QString statusText() const;
    QLabel* statusLabel() const { return status_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildBands();
    void buildCentre();
    QAction* addEntry(QMenu* menu, const QString& caption, const QKeySequence& shortcut, void (TForm1::*handler)());
    TToolButton* addButton(int band, int tool, const QString& hint, void (TForm1::*handler)());
    void setGreyed(const QStringList& hints, bool greyed);
    void setEntriesEnabled(const QStringList& captions, bool enabled);
    void updatePasteEntries();
    void disableUnlinkedCommands();
    // "Importar Mapa" and "Exportar Mapa": TMX maps exchanged with Tiled.
    void connectTiledExchange();
    void toggleView(QAction* action, void (EditorSession::*show)(bool));
    void restorePlacement();
    bool projectAndMap() const;

    Workspace& ws_;
    Options options_;
    QHash<QString, QAction*> actions_;
    QHash<QString, TToolButton*> buttons_;
    QMenu* reopenMenu_ = nullptr;
    TBandBar* bands_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QComboBox* lista_ = nullptr;
    TFrame1* palette_ = nullptr;
    TFrame3* tree_ = nullptr;
    TMapArea* mapArea_ = nullptr;
    QWidget* about_ = nullptr;

    // --- undo, redo and the status bar ---
    void buildUndoEntries(QMenu* editar);
    QUndoStack& undoTarget(bool redo) const;
    void buildTools(QMenu* editar);
    void updateTools();
    void showTool(MapTool tool);
    void connectEditing();
    void updateStatus();
    QLabel* status_ = nullptr;
    QLabel* toolStatus_ = nullptr;
    QToolBar* tools_ = nullptr;
    QHash<int, QAction*> toolActions_;
};

}  // namespace quillmark
