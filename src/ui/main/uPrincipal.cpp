#include "ui/main/uPrincipal.h"

#include "model/core/Error.h"
#include "model/core/Format.h"
#include "model/core/MapFile.h"
#include "model/core/Paths.h"
#include "model/core/RecordTable.h"
#include "model/core/Text.h"
#include "model/mapedit/NewMap.h"
#include "model/mapedit/TiledExchange.h"
#include "model/session/Association.h"
#include "model/session/Settings.h"
#include "model/session/Workspace.h"
#include "ui/common/uArt.h"
#include "ui/common/uBands.h"
#include "ui/main/uFrameProject.h"
#include "ui/main/uFrameTiles.h"
#include "ui/main/uTerreno.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

namespace quillmark {

namespace {

const QString kCaption = QStringLiteral("Quillmark 1.0");
const QString kCaptionUpper = QStringLiteral("Quillmark 1.0 - Camada Superior");

// Hints of the tool-bar buttons.
const QString kHintNovoProjeto = QStringLiteral("Novo Projeto");
const QString kHintAbrirProjeto = QStringLiteral("Abrir Projeto");
const QString kHintNovoMapa = QStringLiteral("Novo Mapa");
const QString kHintSalvar = QStringLiteral("Salvar");
const QString kHintInferior = QStringLiteral("Modo Mapa - Camada Inferior");
const QString kHintSuperior = QStringLiteral("Modo Mapa - Camada Superior");
const QString kHintEventos = QStringLiteral("Modo Mapa - Camada de Eventos");
const QString kHintPropriedades = QStringLiteral("Propriedades do Mapa");
const QString kHintZoom = QStringLiteral("Zoom");
const QString kHintBanco = QStringLiteral("Bando de Dados");
const QString kHintPlay = QStringLiteral("Play");

// The seventeen menu entries the enabling rules switch.
const QStringList& ruledEntries() {
    static const QStringList entries = {
        QStringLiteral("Salvar"),        QStringLiteral("Novo Mapa"),     QStringLiteral("Importar Mapa"),
        QStringLiteral("Exportar Mapa"), QStringLiteral("Close All"),     QStringLiteral("Copiar"),
        QStringLiteral("Copiar Evento"), QStringLiteral("Copiar Imagem"), QStringLiteral("Colar"),
        QStringLiteral("Colar Evento"),  QStringLiteral("Colar Imagem"),  QStringLiteral("Zoom +/-"),
        QStringLiteral("Modo Inferior"), QStringLiteral("Modo Superior"), QStringLiteral("Modo Eventos"),
        QStringLiteral("Propriedades"),  QStringLiteral("Banco de Dados")};
    return entries;
}

}  // namespace

TForm1::TForm1(Workspace& ws, Options options, QWidget* parent)
    : QMainWindow(parent), ws_(ws), options_(std::move(options)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kCaption);
    setWindowIcon(art::applicationIcon());
    resize(kDefaultWidth, kDefaultHeight);
    if (options_.iniPath.isEmpty()) options_.iniPath = editorIniPath();
    if (options_.recentPath.isEmpty()) options_.recentPath = recentSettingsPath(ws_.session().editorFolder());

    buildMenus();
    buildBands();
    buildCentre();
    statusBar()->setSizeGripEnabled(true);
    connectEditing();

    EditorSession& session = ws_.session();
    session.setProgramStarter(options_.startProgram);
    connect(&session, &EditorSession::stateChanged, this, &TForm1::verificaStatus);
    connect(&session, &EditorSession::mapOpened, this, [this] { setWindowTitle(kCaptionUpper); });
    connect(&session, &EditorSession::newMapOpened, this, [this] { setWindowTitle(kCaptionUpper); });
    connect(&session, &EditorSession::projectClosed, this, [this] {
        setWindowTitle(kCaption);
        if (palette_) palette_->LimpaTiles();
    });

    // 1. The ".qmk" association, written when no program opens such files yet.
    if (options_.registerAssociation) {
        options_.registerAssociation();
    } else {
        ensureAssociation(QCoreApplication::applicationFilePath(), XdgFolders::fromEnvironment(), art::logoSvg());
    }

    // 2. "Reopen" lists the project last opened with "Abrir Projeto"; it is not refreshed while running.
    const QString recent = readRecent(options_.recentPath);
    if (!recent.isEmpty()) {
        QString caption = recent;
        caption.replace('&', QStringLiteral("&&"));
        QAction* entry = reopenMenu_->addAction(caption);
        connect(entry, &QAction::triggered, this, [this, recent] { Reopen(recent); });
    }

    // 3. The brush before any tile is chosen.
    ws_.run([this] { ws_.session().resetStartBrush(); });
    ws_.session().setCellSize(40);

    // 4. The enabling rules.
    verificaStatus();

    // 5. No project strings and no copied event yet: the session starts without them.
}

TForm1::~TForm1() { ws_.session().setProgramStarter(nullptr); }

void TForm1::setProgramStarter(ProgramStarter starter) {
    options_.startProgram = starter;
    ws_.session().setProgramStarter(std::move(starter));
}

// --- building -------------------------------------------------------------------------------

QAction* TForm1::addEntry(QMenu* menu, const QString& caption, const QKeySequence& shortcut,
                          void (TForm1::*handler)()) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(caption);
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    if (handler) connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    actions_.insert(caption, action);
    return action;
}

void TForm1::buildMenus() {
    QMenuBar* bar = menuBar();

    QMenu* arquivo = bar->addMenu(QStringLiteral("Arquivo"));
    addEntry(arquivo, QStringLiteral("Novo Projeto"), QKeySequence(QStringLiteral("Ctrl+Alt+N")),
             &TForm1::NovoProjetoClick);
    addEntry(arquivo, QStringLiteral("Abrir Projeto"), QKeySequence(QStringLiteral("Ctrl+Alt+O")),
             &TForm1::AbrirProjetoClick);
    reopenMenu_ = arquivo->addMenu(QStringLiteral("Reopen"));
    reopenMenu_->setObjectName(QStringLiteral("Reopen"));
    addEntry(arquivo, QStringLiteral("Salvar"), QKeySequence(QStringLiteral("Ctrl+S")), &TForm1::SalvarClick);
    addEntry(arquivo, QStringLiteral("Close All"), QKeySequence(QStringLiteral("Ctrl+Alt+C")), &TForm1::CloseAllClick);
    arquivo->addSeparator();
    addEntry(arquivo, QStringLiteral("Novo Mapa"), QKeySequence(QStringLiteral("Ctrl+N")), &TForm1::NovoMapaClick);
    addEntry(arquivo, QStringLiteral("Importar Mapa"), QKeySequence(QStringLiteral("Ctrl+I")), nullptr);
    addEntry(arquivo, QStringLiteral("Exportar Mapa"), QKeySequence(QStringLiteral("Ctrl+E")), nullptr);
    connectTiledExchange();
    arquivo->addSeparator();
    addEntry(arquivo, QStringLiteral("Sair"), QKeySequence(QStringLiteral("Ctrl+Q")), nullptr);
    connect(actions_.value(QStringLiteral("Sair")), &QAction::triggered, this, &QWidget::close);

    QMenu* editar = bar->addMenu(QStringLiteral("Editar"));
    buildUndoEntries(editar);
    editar->addSeparator();
    struct Clip {
        const char* caption;
        const char* keys;
        bool (TMapCanvas::*command)();
    };
    const Clip clips[] = {{"Copiar", "Ctrl+C", &TMapCanvas::Copiar},
                          {"Colar", "Ctrl+V", &TMapCanvas::Colar},
                          {"Copiar Evento", "Shift+C", &TMapCanvas::CopiarEvento},
                          {"Colar Evento", "Shift+V", &TMapCanvas::ColarEvento},
                          {"Copiar Imagem", "Shift+Ctrl+C", &TMapCanvas::CopiarImagem},
                          {"Colar Imagem", "Shift+Ctrl+V", &TMapCanvas::ColarImagem}};
    for (const Clip& c : clips) {
        QAction* a = addEntry(editar, QString::fromUtf8(c.caption), QKeySequence(QString::fromUtf8(c.keys)), nullptr);
        auto command = c.command;
        connect(a, &QAction::triggered, this, [this, command] {
            ws_.run([this, command] {
                if (mapArea_) (mapArea_->canvas()->*command)();
                updatePasteEntries();
            });
        });
    }

    buildTools(editar);

    QMenu* mapa = bar->addMenu(QStringLiteral("Mapa"));
    addEntry(mapa, QStringLiteral("Zoom +/-"), QKeySequence(), &TForm1::ZoomClick);
    addEntry(mapa, QStringLiteral("Modo Inferior"), QKeySequence(Qt::Key_F10), &TForm1::ModoInferiorClick);
    addEntry(mapa, QStringLiteral("Modo Superior"), QKeySequence(Qt::Key_F11), &TForm1::ModoSuperiorClick);
    addEntry(mapa, QStringLiteral("Modo Eventos"), QKeySequence(Qt::Key_F12), &TForm1::ModoEventosClick);
    addEntry(mapa, QStringLiteral("Propriedades"), QKeySequence(Qt::Key_F6), &TForm1::PropriedadesClick);

    QMenu* projeto = bar->addMenu(QStringLiteral("Projeto"));
    addEntry(projeto, QStringLiteral("Executar"), QKeySequence(Qt::Key_F9), &TForm1::PlayClick);

    QMenu* ferramentas = bar->addMenu(QStringLiteral("Ferramentas"));
    addEntry(ferramentas, QStringLiteral("Banco de Dados"), QKeySequence(Qt::Key_F7), &TForm1::BancoDadosClick);

    QMenu* exibir = bar->addMenu(QStringLiteral("Exibir"));
    struct View {
        const char* caption;
        bool (EditorSession::*shown)() const;
        void (EditorSession::*show)(bool);
    };
    const View views[] = {{"Eventos", &EditorSession::showEventos, &EditorSession::setShowEventos},
                          {"Objetos", &EditorSession::showObjetos, &EditorSession::setShowObjetos},
                          {"Cordenadas", &EditorSession::showCordenadas, &EditorSession::setShowCordenadas}};
    for (const View& v : views) {
        QAction* a = addEntry(exibir, QString::fromUtf8(v.caption), QKeySequence(), nullptr);
        a->setCheckable(true);
        a->setChecked((ws_.session().*(v.shown))());
        auto show = v.show;
        connect(a, &QAction::triggered, this, [this, a, show] { toggleView(a, show); });
    }

    QAction* sobre = bar->addAction(QStringLiteral("Sobre"));
    sobre->setObjectName(QStringLiteral("Sobre"));
    actions_.insert(QStringLiteral("Sobre"), sobre);
    connect(sobre, &QAction::triggered, this, &TForm1::SobreClick);
}

TToolButton* TForm1::addButton(int band, int tool, const QString& hint, void (TForm1::*handler)()) {
    auto* button = new TToolButton(static_cast<art::Tool>(tool), hint);
    connect(button, &QToolButton::clicked, this, [this, handler] { (this->*handler)(); });
    bands_->band(band)->addButton(button);
    buttons_.insert(hint, button);
    return button;
}

void TForm1::buildBands() {
    bands_ = new TBandBar;
    using T = art::Tool;
    addButton(0, int(T::NovoProjeto), kHintNovoProjeto, &TForm1::NovoProjetoClick);
    addButton(0, int(T::AbrirProjeto), kHintAbrirProjeto, &TForm1::AbrirProjetoClick);
    addButton(0, int(T::NovoMapa), kHintNovoMapa, &TForm1::NovoMapaClick);
    addButton(0, int(T::Salvar), kHintSalvar, &TForm1::SalvarClick);
    addButton(1, int(T::CamadaInferior), kHintInferior, &TForm1::ModoInferiorClick);
    addButton(1, int(T::CamadaSuperior), kHintSuperior, &TForm1::ModoSuperiorClick);
    addButton(1, int(T::CamadaEventos), kHintEventos, &TForm1::ModoEventosClick);
    addButton(1, int(T::PropriedadesMapa), kHintPropriedades, &TForm1::PropriedadesClick);
    addButton(1, int(T::Zoom), kHintZoom, &TForm1::ZoomClick);
    addButton(2, int(T::BancoDados), kHintBanco, &TForm1::BancoDadosClick);
    addButton(3, int(T::Play), kHintPlay, &TForm1::PlayClick);
    bands_->packLefts();
}

void TForm1::buildCentre() {
    auto* centre = new QWidget;
    auto* layout = new QVBoxLayout(centre);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bands_);
    auto* rule = new QFrame;
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    layout->addWidget(rule);

    splitter_ = new QSplitter(Qt::Horizontal);
    splitter_->setObjectName(QStringLiteral("Splitter1"));
    splitter_->setChildrenCollapsible(false);
    splitter_->setHandleWidth(3);

    // The left column: the list of palette lists, the palette, a separator, the tree.
    auto* left = new QWidget;
    left->setObjectName(QStringLiteral("LeftColumn"));
    left->setMinimumWidth(TFrame1::kPanelWidth);
    auto* column = new QVBoxLayout(left);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    lista_ = new QComboBox;
    lista_->setObjectName(QStringLiteral("ComboBox1"));
    for (int i = 1; i <= 11; ++i) lista_->addItem(QStringLiteral("Lista %1").arg(i));
    lista_->addItem(QStringLiteral("Animações"));
    column->addWidget(lista_);
    palette_ = new TFrame1(ws_);
    column->addWidget(palette_);
    auto* separator = new QFrame;
    separator->setObjectName(QStringLiteral("Separator"));
    separator->setFixedHeight(3);
    separator->setFrameShape(QFrame::NoFrame);
    column->addWidget(separator);
    tree_ = new TFrame3(ws_);
    column->addWidget(tree_, 1);
    connect(lista_, &QComboBox::currentIndexChanged, palette_, &TFrame1::showPanel);

    mapArea_ = new TMapArea(ws_);
    splitter_->addWidget(left);
    splitter_->addWidget(mapArea_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    // The column starts wide enough for a 20-character map name inside a folder.
    const int nameWidth = tree_->fontMetrics().horizontalAdvance(QStringLiteral("Masmorra do Norte 01.xml")) +
                          2 * tree_->indentation() + tree_->iconSize().width() + 2 * tree_->frameWidth() +
                          tree_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 12;
    const int leftWidth = std::max(kLeftColumnWidth, nameWidth);
    splitter_->setSizes({leftWidth, kDefaultWidth - leftWidth});
    // Moving the splitter: the list takes the palette area's width, the panels are centred.
    connect(splitter_, &QSplitter::splitterMoved, this, [this] {
        lista_->setFixedWidth(palette_->width());
        palette_->centrePanels();
    });
    layout->addWidget(splitter_, 1);
    setCentralWidget(centre);
}

// --- the enabling rules --------------------------------------------------------------------

void TForm1::setGreyed(const QStringList& hints, bool greyed) {
    for (const QString& hint : hints)
        if (TToolButton* b = buttons_.value(hint)) b->setGreyed(greyed);
}

void TForm1::setEntriesEnabled(const QStringList& captions, bool enabled) {
    for (const QString& caption : captions)
        if (QAction* a = actions_.value(caption)) a->setEnabled(enabled);
}

void TForm1::verificaStatus() {
    const EditorSession& session = ws_.session();
    if (!session.projectOpen()) {
        setGreyed({kHintNovoMapa, kHintInferior, kHintZoom, kHintSalvar, kHintSuperior, kHintEventos, kHintBanco,
                   kHintPropriedades, kHintPlay},
                  true);
        setGreyed({kHintNovoProjeto, kHintAbrirProjeto}, false);
        setEntriesEnabled(ruledEntries(), false);
    } else if (session.mapLoaded()) {
        setGreyed(buttons_.keys(), false);
        setEntriesEnabled(ruledEntries(), true);
    } else {
        setGreyed({kHintPropriedades, kHintZoom, kHintSalvar, kHintSuperior, kHintInferior, kHintEventos, kHintPlay},
                  true);
        setGreyed({kHintNovoMapa, kHintBanco}, false);
        const QStringList enabled = {QStringLiteral("Novo Mapa"), QStringLiteral("Importar Mapa"),
                                     QStringLiteral("Close All")};
        QStringList disabled = ruledEntries();
        for (const QString& e : enabled) disabled.removeAll(e);
        setEntriesEnabled(enabled, true);
        setEntriesEnabled(disabled, false);
    }
    updatePasteEntries();
    disableUnlinkedCommands();
    updateTools();
}

void TForm1::disableUnlinkedCommands() {
    // A command whose window does not exist (yet) is shown disabled, never a silent no-op.
    const WindowLinks& links = ws_.session().links();
    const struct {
        const WindowLink<void()>* link;
        QString entry;
        QString hint;
    } commands[] = {{&links.newMapDialog, QStringLiteral("Novo Mapa"), kHintNovoMapa},
                    {&links.newProjectWizard, QStringLiteral("Novo Projeto"), kHintNovoProjeto},
                    {&links.mapProperties, QStringLiteral("Propriedades"), kHintPropriedades},
                    {&links.database, QStringLiteral("Banco de Dados"), kHintBanco}};
    for (const auto& c : commands) {
        TToolButton* b = buttons_.value(c.hint);
        QAction* a = actions_.value(c.entry);
        if (b) b->setEnabled(c.link->filled());
        // Entries outside the enabling rules follow their window alone.
        if (a && !ruledEntries().contains(c.entry)) a->setEnabled(c.link->filled());
        if (c.link->filled()) continue;
        if (a) a->setEnabled(false);
        if (b) b->setGreyed(true);
    }
}

void TForm1::updatePasteEntries() {
    actions_.value(QStringLiteral("Colar"))->setEnabled(ws_.session().copiedCell().has_value());
    actions_.value(QStringLiteral("Colar Evento"))->setEnabled(!ws_.session().copiedEvent().empty());
    actions_.value(QStringLiteral("Colar Imagem"))->setEnabled(ws_.session().copiedImage().has_value());
}

// --- start-up ---------------------------------------------------------------------------------

void TForm1::restorePlacement() {
    IniFile ini(options_.iniPath);
    FormPlacement current;
    current.left = x();
    current.top = y();
    current.width = width();
    current.height = height();
    const FormPlacement p = LoadFormPlacement(ini, current);
    // Bounds that would leave the window out of reach on this screen are not used.
    QRect bounds(p.left, p.top, qMax(200, p.width), qMax(150, p.height));
    const QScreen* screen = QGuiApplication::screenAt(bounds.center());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
        if (screen) bounds.moveCenter(screen->availableGeometry().center());
    }
    resize(bounds.size());
    move(bounds.topLeft());
    // The window is designed maximised: it opens so unless the file says it was not.
    if (p.maximized.value_or(true))
        showMaximized();
    else
        showNormal();

    static_assert(TBandBar::kBands == kBandCount);
    bands_->setLefts(loadBandLefts(ini, bands_->lefts()));
}

void TForm1::FormShow(const QStringList& arguments) {
    restorePlacement();
    // Opening a project fills the tile cache from the project; the pass over
    // the working folder runs only when no project is opened (or the opening
    // stopped before the cache was filled).
    if (!arguments.isEmpty()) {
        const QString path = arguments.first();
        ws_.run([this, &path] { abrirProjeto(path); });
    }
    if (ws_.session().tiles().count() < TileCache::kEntries) {
        FolderListingScope listings;
        ws_.run([this] { ws_.session().refreshTiles(); });
    }
}

// --- opening and closing -----------------------------------------------------------------------

bool TForm1::projectAndMap() const { return ws_.session().projectOpen() && ws_.session().mapLoaded(); }

void TForm1::abrirProjeto(const QString& path) {
    ws_.session().openProject(path);
    ws_.session().offerRepairs();  // a project left incomplete is offered its mend, as from "Abrir Projeto"
}

void TForm1::closeProject() { ws_.session().closeProject(); }

void TForm1::AbrirProjetoClick() {
    ws_.run([this] {
        const std::optional<QString> chosen =
            ws_.prompts().openFile(QStringLiteral("Quillmark Project|*.qmk"), QStringLiteral("*.qmk"));
        if (!chosen || chosen->isEmpty()) return;
        if (ws_.session().openProjectAsking(*chosen)) writeRecent(options_.recentPath, *chosen);
    });
}

void TForm1::Reopen(const QString& path) {
    ws_.run([this, &path] { ws_.session().openProjectAsking(path); });
}

void TForm1::SalvarClick() {
    if (!projectAndMap()) return;
    ws_.run([this] { ws_.session().save(); });
}

void TForm1::CloseAllClick() {
    if (!ws_.session().projectOpen()) return;
    ws_.run([this] { ws_.session().closeAll(); });
}

void TForm1::PlayClick() {
    if (!ws_.session().projectOpen()) return;
    ws_.run([this] { ws_.session().play(); });
}

// --- map commands ------------------------------------------------------------------------------------

void TForm1::ModoInferiorClick() {
    if (!projectAndMap()) return;
    ws_.run([this] {
        setWindowTitle(kCaption + QStringLiteral(" - Camada Inferior"));
        mapArea_->canvas()->ModoFundo();
    });
}

void TForm1::ModoSuperiorClick() {
    if (!projectAndMap()) return;
    ws_.run([this] {
        setWindowTitle(kCaption + QStringLiteral(" - Camada Superior"));
        mapArea_->canvas()->ModoMapa();
    });
}

void TForm1::ModoEventosClick() {
    if (!projectAndMap()) return;
    ws_.run([this] {
        setWindowTitle(kCaption + QStringLiteral(" - Camada de Eventos"));
        mapArea_->canvas()->ModoEventos();
    });
}

// --- maps exchanged with Tiled -------------------------------------------------------------------

namespace {
const QString kTmxFilter = QStringLiteral("Mapa do Tiled (TMX)|*.tmx");
}

namespace {
// What becomes of what the map file cannot hold, asked before the import:
// the code of empty cells, leaving out the layers the editor does not know.
// Hidden layers are told. Nothing when the user cancels.
std::optional<tiled::ImportOptions> importOptionsFor(Prompts& prompts, const tiled::ImportNotes& notes) {
    tiled::ImportOptions options;
    if (notes.emptyCells > 0) {
        const QString cells = notes.emptyCells == 1
                                  ? QStringLiteral("1 célula do mapa está vazia (%1)")
                                        .arg(QString::fromUtf8(notes.firstEmptyCell.c_str()))
                                  : QStringLiteral("%1 células do mapa estão vazias (a primeira é %2)")
                                        .arg(notes.emptyCells)
                                        .arg(QString::fromUtf8(notes.firstEmptyCell.c_str()));
        const QString question = cells + QStringLiteral(", e uma célula do editor sempre tem um tile.\nCódigo do "
                                                        "tile que elas recebem (48 a 191, ou o seu caractere):");
        QString typed = QStringLiteral("48");
        for (;;) {
            const std::optional<QString> answer = prompts.input(QStringLiteral("Importar Mapa"), question, typed);
            if (!answer) return std::nullopt;
            typed = *answer;
            options.emptyCode = tiled::emptyCodeOf(typed);
            if (options.emptyCode) break;
            prompts.warning(QStringLiteral("\"%1\" não é um código de tile (48 a 191).").arg(typed));
        }
    }
    if (!notes.dropped.empty()) {
        QString list;
        for (const std::string& d : notes.dropped) list += QStringLiteral("\n  • ") + QString::fromUtf8(d.c_str());
        const QString question = QStringLiteral("O editor não guarda:%1\n\nImportar o mapa sem eles?").arg(list);
        if (prompts.message(QStringLiteral("Importar Mapa"), question, Icon::Warning, Buttons::YesNo) != Answer::Yes)
            return std::nullopt;
        options.dropExtra = true;
    }
    if (!notes.hiddenLayers.empty()) {
        QStringList names;
        for (const std::string& l : notes.hiddenLayers)
            names << QStringLiteral("\"%1\"").arg(QString::fromUtf8(l.c_str()));
        prompts.warning(QStringLiteral("As camadas ocultas no Tiled %1 são importadas como as outras.")
                            .arg(names.join(QStringLiteral(", "))));
    }
    return options;
}
}  // namespace

void TForm1::connectTiledExchange() {
    connect(actions_.value(QStringLiteral("Importar Mapa")), &QAction::triggered, this, [this] {
        if (!ws_.session().projectOpen()) return;
        ws_.run([this] {
            const std::optional<QString> file = ws_.prompts().openFile(kTmxFilter, QStringLiteral("tmx"));
            if (!file) return;
            // A file that cannot be imported is told before a name is asked for;
            // so is what the map file cannot hold, as questions.
            std::optional<tiled::ImportOptions> options =
                importOptionsFor(ws_.prompts(), ws_.session().readImport(*file));
            if (!options) return;
            // As in the new-map dialog, a refused name is asked for again.
            QString typed = QFileInfo(*file).completeBaseName().left(kMapNameMaxLength);
            for (;;) {
                const std::optional<QString> name =
                    ws_.prompts().input(QStringLiteral("Importar Mapa"), QStringLiteral("Nome do novo mapa:"), typed);
                if (!name) return;
                typed = *name;
                // A character the project cannot hold becomes '?', which the name check refuses.
                const std::string problem =
                    checkNewMapName(ws_.session().tree(), ws_.session().project(), toCp1252(typed));
                if (problem.empty()) break;
                ws_.prompts().warning(QString::fromUtf8(problem.c_str()));
            }
            ws_.session().importMap(*file, toCp1252(typed), *options);
        });
    });
    connect(actions_.value(QStringLiteral("Exportar Mapa")), &QAction::triggered, this, [this] {
        if (!projectAndMap()) return;
        ws_.run([this] {
            QString initial = fromCp1252(ws_.session().currentMap());
            if (initial.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive)) initial.chop(4);
            const std::optional<QString> file =
                ws_.prompts().saveFile(kTmxFilter, QStringLiteral("tmx"), true, initial + QStringLiteral(".tmx"));
            // The dialog asked before replacing a file: the user's yes.
            if (file) ws_.session().exportMap(*file, true);
        });
    });
}

// --- closing -------------------------------------------------------------------------------------------

void TForm1::saveSettings() {
    IniFile ini(options_.iniPath);
    const bool maximized = isMaximized();
    SaveFormPlacement(ini, maximized, x(), y(), width(), height());
    saveBandLefts(ini, bands_->lefts());
    ini.save();
}

void TForm1::closeEvent(QCloseEvent* event) {
    bool goOn = false;
    // A save that fails keeps the window open, so the changes are not lost.
    if (!ws_.run([this, &goOn] { goOn = ws_.session().askToSaveChanges(); }) || !goOn) {
        event->ignore();
        return;
    }
    ws_.run([this] { saveSettings(); });
    event->accept();
}

}  // namespace quillmark
