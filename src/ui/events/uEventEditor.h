#pragma once
// The script window "Editor de Eventos": the event being edited as lines of
// text, with menus that append commands to it. Every close hands the text,
// in its stored one-line form, back to the cell as the window link's result.
#include <QDialog>
#include <QPlainTextEdit>
#include <initializer_list>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QStatusBar;

namespace quillmark {

class Workspace;
class TFormMSG;
class TFormDLE;
class TFormNC;
class TFormCMD;
enum class BlockStep;

class TForm6 : public QDialog {
    Q_OBJECT
public:
    explicit TForm6(Workspace& ws, QWidget* parent = nullptr);
    ~TForm6() override;

    // --- the text ------------------------------------------------------------
    // Loads a stored event: broken into lines after every ';'.
    void loadStoredEvent(const std::string& stored);
    // Replaces the whole text (not undoable; an edit starts afresh).
    void setScriptText(const QString& text);
    QString scriptText() const;
    // The text's lines as CP1252 (characters the code page lacks become '?').
    std::vector<std::string> scriptLines() const;
    // Replaces the whole text as one undoable change.
    void replaceWholeText(const QString& text);
    // Puts a command on new line(s) after the last line, whatever the cursor;
    // a command holding line breaks occupies several lines.
    void appendCommand(const std::string& command);

    // --- the menus ------------------------------------------------------------
    // Enables "Eventos" and disables "Objetos" for a trigger event; the reverse otherwise.
    void setMenusFor(bool trigger);
    void setMenus(bool eventos, bool objetos);
    bool eventosEnabled() const;
    bool objetosEnabled() const;

    // Shows the window modally for a stored event (the menus set by its kind).
    // Returns, when it has closed, the cell's new event text in stored form.
    std::string editEvent(const std::string& stored);
    // Shows the window modally with the text and menus it holds now; returns as editEvent.
    std::string showScript();
    // What the last close stored (the empty text before the first close).
    const std::string& result() const { return result_; }

    // The command dialogs register themselves when they are created.
    void setMessageDialog(TFormMSG* dialog) { messageDialog_ = dialog; }
    void setDialogueDialog(TFormDLE* dialog) { dialogueDialog_ = dialog; }
    void setCharacterDialog(TFormNC* dialog) { characterDialog_ = dialog; }
    TFormDLE* dialogueDialog() const { return dialogueDialog_; }

    // --- the commands, as the menu entries run them --------------------------
    void Novo();
    void Importar();
    void Exportar();
    void Sair();
    void DialogoNormal();
    void Mensagem();
    void AdicionarPersonagem();

    // The commands beyond the first nine (uEvCommands.cpp): a dialog asks for
    // their arguments, or they are appended at once.
    void MudarMapa();
    void IniciarBatalha();
    void GameOver();
    void AdicionarItem();
    void MoverHeroi();
    void MudarNome();
    void MudarLevel();
    void QuestaoObjetiva();
    void MultiplaEscolha();
    void ProximaResposta();
    void FimQuestao();
    void LigarInterruptor();
    void DesligarInterruptor();
    void SeInterruptor();
    void SeTemItem();
    void SeDinheiro();
    void Senao();
    void FimSe();
    void DarDinheiro();
    void ApagarEvento();

    QPlainTextEdit* memo() const { return Memo1; }
    QMenuBar* menuBar() const { return menuBar_; }
    QStatusBar* statusBar() const { return statusBar_; }
    // A menu entry by its caption (the first found), for the windows that drive this one.
    QAction* action(const QString& caption) const;

    void done(int result) override;

private:
    void buildMenus();
    // Applies the close rules: an empty trigger is emptied; the result becomes the stored text.
    void storeResult();
    bool ask(TFormCMD& dialog);
    void appendLines(std::initializer_list<std::string> lines);
    // Appends the mark that opens the next block or ends the open one.
    void blockStep(BlockStep step);
    void switchCommand(bool on);

    Workspace& ws_;
    QPlainTextEdit* Memo1 = nullptr;
    QMenuBar* menuBar_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QMenu* menuEventos_ = nullptr;
    QMenu* menuObjetos_ = nullptr;
    TFormMSG* messageDialog_ = nullptr;
    TFormDLE* dialogueDialog_ = nullptr;
    TFormNC* characterDialog_ = nullptr;
    std::string result_;
};

// The multi-line text box of the event windows: Arial 9 point bold italic,
// no wrapping, both scroll bars. Stored texts are CP1252, so characters the
// code page cannot hold are refused as they are typed or pasted.
class TEventMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TEventMemo(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
};

// The characters of a text that the code page holds.
QString onlyCp1252(const QString& text);

// The text box font of the event windows: Arial 9 point, bold italic.
QFont eventTextFont();
// Sets up a text box as the event windows show it: that font, no wrapping,
// both scroll bars always shown.
void setupEventTextBox(QPlainTextEdit* box);
// A text box's lines as CP1252, as a list of lines holds them: a line break at
// the very end starts no further line, and the empty box has no line.
std::vector<std::string> textBoxLines(const QPlainTextEdit* box);
// Shows lines in a text box (not undoable).
void setTextBoxLines(QPlainTextEdit* box, const std::vector<std::string>& lines);

}  // namespace quillmark
