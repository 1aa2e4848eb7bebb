#include "ui/events/uEventEditor.h"

#include "model/core/Paths.h"
#include "model/core/Text.h"
#include "model/events/EventScript.h"
#include "model/session/Workspace.h"
#include "ui/events/uEvShowDialog.h"
#include "ui/events/uEvShowMessage.h"
#include "ui/events/uNewChar.h"

#include <QAction>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

namespace quillmark {

namespace {

const QString kScriptFilter = QStringLiteral("Quillmark Script|*.qms");
const QString kScriptExtension = QStringLiteral(".qms");

// A text box holds '\n' between lines; files and commands may bring CR LF or CR.
QString withNewlines(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace('\r', '\n');
    return text;
}

QString linesText(const std::vector<std::string>& lines) {
    QStringList out;
    for (const std::string& line : lines) out << fromCp1252(line);
    return out.join('\n');
}

// The lines of a script file as a text box shows them. A text box reads a
// line break at the very end as starting no further line, so a last line that
// is empty gets a break of its own: opening and saving keeps every empty line.
QString fileLinesText(const std::vector<std::string>& lines) {
    QString text = linesText(lines);
    if (!lines.empty() && lines.back().empty()) text += '\n';
    return text;
}

}  // namespace

QString onlyCp1252(const QString& text) {
    if (isCp1252(text)) return text;
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch.isHighSurrogate() && i + 1 < text.size()) {
            ++i;  // a character beyond the code page, in two halves
            continue;
        }
        if (isCp1252(QString(ch))) out += ch;
    }
    return out;
}

TEventMemo::TEventMemo(QWidget* parent) : QPlainTextEdit(parent) { setupEventTextBox(this); }

void TEventMemo::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.at(0).isPrint() && onlyCp1252(typed).isEmpty()) {
        event->accept();  // a character the stored text cannot hold
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TEventMemo::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = onlyCp1252(event->commitString());
    if (commit == event->commitString()) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(commit, event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&filtered);
}

void TEventMemo::insertFromMimeData(const QMimeData* source) {
    if (source->hasText()) {
        insertPlainText(onlyCp1252(source->text()));
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}

QFont eventTextFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(9);
    font.setBold(true);
    font.setItalic(true);
    return font;
}

void setupEventTextBox(QPlainTextEdit* box) {
    box->setFont(eventTextFont());
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

std::vector<std::string> textBoxLines(const QPlainTextEdit* box) {
    QStringList parts = box->toPlainText().split('\n');
    if (!parts.isEmpty() && parts.last().isEmpty()) parts.removeLast();
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(parts.size()));
    for (const QString& p : parts) lines.push_back(toCp1252(p));
    return lines;
}

void setTextBoxLines(QPlainTextEdit* box, const std::vector<std::string>& lines) {
    box->setPlainText(withNewlines(fileLinesText(lines)));
}

TForm6::TForm6(Workspace& ws, QWidget* parent) : QDialog(parent), ws_(ws) {
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Editor de Eventos"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);
    resize(520, 380);

    Memo1 = new TEventMemo(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));

    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("StatusBar1"));

    menuBar_ = new QMenuBar(this);
    buildMenus();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar_);
    layout->addWidget(Memo1, 1);
    layout->addWidget(statusBar_);

    ws_.session().links().eventScript.fill([this](const std::string& text) {
        if (IsNoEvent(text)) {
            // a cell without an event starts at the event-type selector
            setScriptText(fromCp1252(text));
            return ws_.session().links().eventSelector();
        }
        return editEvent(text);
    });
}

TForm6::~TForm6() { ws_.session().links().eventScript.clear(); }

void TForm6::buildMenus() {
    auto entry = [this](QMenu* menu, const QString& caption, const QKeySequence& key, auto&& handler) {
        QAction* a = menu->addAction(caption);
        if (!key.isEmpty()) a->setShortcut(key);
        connect(a, &QAction::triggered, this, [this, handler] { ws_.run(handler); });
        addAction(a);  // the keys work wherever the focus is in the window
        return a;
    };
    auto inert = [](QMenu* menu, const QString& caption) {
        // shown for what is to come; no command keyword exists for it
        menu->addAction(caption)->setEnabled(false);
    };

    QMenu* arquivo = menuBar_->addMenu(QStringLiteral("Arquivo"));
    entry(arquivo, QStringLiteral("Novo"), QKeySequence(Qt::CTRL | Qt::Key_N), [this] { Novo(); });
    entry(arquivo, QStringLiteral("Importar"), QKeySequence(Qt::CTRL | Qt::Key_I), [this] { Importar(); });
    entry(arquivo, QStringLiteral("Exportar"), QKeySequence(Qt::CTRL | Qt::Key_E), [this] { Exportar(); });
    arquivo->addSeparator();
    entry(arquivo, QStringLiteral("Sair"), QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { Sair(); });

    QMenu* editar = menuBar_->addMenu(QStringLiteral("Editar"));
    entry(editar, QStringLiteral("Desfazer"), QKeySequence(Qt::CTRL | Qt::Key_Z), [this] { Memo1->undo(); });
    editar->addSeparator();
    entry(editar, QStringLiteral("Recortar"), QKeySequence(Qt::CTRL | Qt::Key_X), [this] { Memo1->cut(); });
    entry(editar, QStringLiteral("Copiar"), QKeySequence(Qt::CTRL | Qt::Key_C), [this] { Memo1->copy(); });
    entry(editar, QStringLiteral("Colar"), QKeySequence(Qt::CTRL | Qt::Key_V), [this] { Memo1->paste(); });
    editar->addSeparator();
    entry(editar, QStringLiteral("Selecionar tudo"), QKeySequence(Qt::CTRL | Qt::Key_T),
          [this] { Memo1->selectAll(); });

    menuEventos_ = menuBar_->addMenu(QStringLiteral("Eventos"));
    QMenu* clima = menuEventos_->addMenu(QStringLiteral("Eventos de Clima"));
    for (const WeatherCommand& w : kWeatherCommands) {
        const std::string command(w.keyword);
        entry(clima, QString::fromLatin1(w.menuEntry), QKeySequence(), [this, command] { appendCommand(command); });
    }
    QMenu* dialogo = menuEventos_->addMenu(QStringLiteral("Eventos de Dialogo"));
    entry(dialogo, QStringLiteral("Dialogo Normal"), QKeySequence(), [this] { DialogoNormal(); });
    entry(dialogo, QStringLiteral("Mensagem"), QKeySequence(), [this] { Mensagem(); });
    entry(dialogo, QStringLiteral("Questão de Multipla Escolha"), QKeySequence(), [this] { MultiplaEscolha(); });
    entry(dialogo, QStringLiteral("Questão Objetiva"), QKeySequence(), [this] { QuestaoObjetiva(); });
    dialogo->addSeparator();
    entry(dialogo, QStringLiteral("Próxima Resposta"), QKeySequence(), [this] { ProximaResposta(); });
    entry(dialogo, QStringLiteral("Fim da Questão"), QKeySequence(), [this] { FimQuestao(); });
    QMenu* objetos = menuEventos_->addMenu(QStringLiteral("Eventos de Objetos"));
    inert(objetos, QStringLiteral("Mover Objeto"));
    QMenu* heroi = menuEventos_->addMenu(QStringLiteral("Eventos do Heroi"));
    entry(heroi, QStringLiteral("Mover Heroi"), QKeySequence(), [this] { MoverHeroi(); });
    entry(heroi, QStringLiteral("Mudar Nome"), QKeySequence(), [this] { MudarNome(); });
    entry(heroi, QStringLiteral("Mudar Level"), QKeySequence(), [this] { MudarLevel(); });
    // Giving an item is a command of a trigger event; the "Objetos" menu only
    // places characters, whose cell text must stay the character alone.
    entry(heroi, QStringLiteral("Adicionar Item"), QKeySequence(), [this] { AdicionarItem(); });
    QMenu* jogo = menuEventos_->addMenu(QStringLiteral("Eventos do Jogo"));
    entry(jogo, QStringLiteral("Mudar Mapa"), QKeySequence(), [this] { MudarMapa(); });
    entry(jogo, QStringLiteral("Iniciar Batalha"), QKeySequence(), [this] { IniciarBatalha(); });
    entry(jogo, QStringLiteral("Game Over"), QKeySequence(), [this] { GameOver(); });
    inert(jogo, QStringLiteral("Executar Video"));
    QMenu* logica = menuEventos_->addMenu(QStringLiteral("Eventos de Lógica"));
    entry(logica, QStringLiteral("Ligar Interruptor"), QKeySequence(), [this] { LigarInterruptor(); });
    entry(logica, QStringLiteral("Desligar Interruptor"), QKeySequence(), [this] { DesligarInterruptor(); });
    logica->addSeparator();
    entry(logica, QStringLiteral("Se Interruptor"), QKeySequence(), [this] { SeInterruptor(); });
    entry(logica, QStringLiteral("Se Tem Item"), QKeySequence(), [this] { SeTemItem(); });
    entry(logica, QStringLiteral("Se Dinheiro"), QKeySequence(), [this] { SeDinheiro(); });
    entry(logica, QStringLiteral("Senão"), QKeySequence(), [this] { Senao(); });
    entry(logica, QStringLiteral("Fim do Se"), QKeySequence(), [this] { FimSe(); });
    logica->addSeparator();
    entry(logica, QStringLiteral("Dar Dinheiro"), QKeySequence(), [this] { DarDinheiro(); });
    entry(logica, QStringLiteral("Apagar Evento"), QKeySequence(), [this] { ApagarEvento(); });

    menuObjetos_ = menuBar_->addMenu(QStringLiteral("Objetos"));
    entry(menuObjetos_, QStringLiteral("Adicionar Personagem"), QKeySequence(), [this] { AdicionarPersonagem(); });

    QMenu* ajuda = menuBar_->addMenu(QStringLiteral("Ajuda"));
    ajuda->menuAction()->setEnabled(false);
}

QAction* TForm6::action(const QString& caption) const {
    const QList<QAction*> all = menuBar_->findChildren<QAction*>();
    for (QAction* a : all)
        if (a->text() == caption) return a;
    return nullptr;
}

// --- the text -------------------------------------------------------------------

void TForm6::loadStoredEvent(const std::string& stored) { setScriptText(linesText(SplitEventText(stored))); }

void TForm6::setScriptText(const QString& text) { Memo1->setPlainText(withNewlines(text)); }

QString TForm6::scriptText() const { return Memo1->toPlainText(); }

std::vector<std::string> TForm6::scriptLines() const { return textBoxLines(Memo1); }

void TForm6::replaceWholeText(const QString& text) {
    QTextCursor cursor(Memo1->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    cursor.insertText(withNewlines(text));
    cursor.endEditBlock();
}

void TForm6::appendCommand(const std::string& command) {
    QTextCursor cursor(Memo1->document());
    cursor.movePosition(QTextCursor::End);
    const QString current = Memo1->toPlainText();
    QString added = withNewlines(fromCp1252(command));
    if (!current.isEmpty() && !current.endsWith('\n')) added.prepend('\n');
    cursor.insertText(added);
    Memo1->setTextCursor(cursor);
}

// --- the menus ------------------------------------------------------------------

void TForm6::setMenusFor(bool trigger) { setMenus(trigger, !trigger); }

void TForm6::setMenus(bool eventos, bool objetos) {
    menuEventos_->menuAction()->setEnabled(eventos);
    menuObjetos_->menuAction()->setEnabled(objetos);
}

bool TForm6::eventosEnabled() const { return menuEventos_->menuAction()->isEnabled(); }
bool TForm6::objetosEnabled() const { return menuObjetos_->menuAction()->isEnabled(); }

std::string TForm6::editEvent(const std::string& stored) {
    loadStoredEvent(stored);
    setMenusFor(ClassifyEvent(stored) == EventKind::Trigger);
    return showScript();
}

std::string TForm6::showScript() {
    Memo1->setFocus();
    exec();
    return result_;
}

// --- closing ----------------------------------------------------------------------

void TForm6::storeResult() {
    const std::vector<std::string> lines = scriptLines();
    if (IsEmptyTrigger(lines)) Memo1->setPlainText(QString());
    result_ = CloseEventText(lines);
}

void TForm6::done(int result) {
    // there is no cancel: every close stores the text into the cell
    storeResult();
    QDialog::done(result);
}

// --- commands -----------------------------------------------------------------------

void TForm6::Novo() { replaceWholeText(QString()); }

void TForm6::Importar() {
    const std::optional<QString> path = ws_.prompts().openFile(kScriptFilter, kScriptExtension);
    if (!path) return;
    const std::vector<std::string> lines = loadScriptFile(*path);
    replaceWholeText(fileLinesText(lines));
}

void TForm6::Exportar() {
    std::optional<QString> path = ws_.prompts().saveFile(kScriptFilter, kScriptExtension, false, QString());
    if (!path || path->isEmpty()) return;
    QString file = *path;
    if (QFileInfo(file).suffix().isEmpty()) file += kScriptExtension;
    if (QFileInfo::exists(file)) {
        const QString question =
            QStringLiteral("O arquivo \"%1\" já existe. Deseja substituí-lo?").arg(fileNameOf(file));
        if (ws_.prompts().confirm(question, Buttons::YesNo) != Answer::Yes) return;
    }
    saveScriptFile(file, scriptLines());
}

void TForm6::Sair() { close(); }

void TForm6::DialogoNormal() {
    if (dialogueDialog_) dialogueDialog_->exec();
}

void TForm6::Mensagem() {
    if (messageDialog_) messageDialog_->exec();
}

void TForm6::AdicionarPersonagem() {
    if (characterDialog_) characterDialog_->showFor(FlattenEventText(scriptLines()));
}

}  // namespace quillmark
