#pragma once
// "Novo Personagem": creates or edits a non-player character (its twelve
// walking frames, face, name, speed and script) and hands the object event
// that places it back to the script window.
#include "model/events/Character.h"

#include <QDialog>
#include <array>
#include <string>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace quillmark {

class Workspace;
class TForm6;
class TEvPictureBox;

class TFormNC : public QDialog {
    Q_OBJECT
public:
    TFormNC(Workspace& ws, TForm6& editor, QWidget* parent = nullptr);

    // Loads the character the script text names ("AddChar…"), or a new one,
    // into the dialog. Every opening reloads everything.
    void loadFor(const std::string& scriptText);
    // loadFor, then shows the dialog modally.
    void showFor(const std::string& scriptText);

    // Clicking picture i (0 … 12, the face last): picks a picture file for it.
    void PickPicture(int index);
    // "Folha de sprites…": picks one sheet of 3 x 4 frames (rows down, left,
    // right, up) and cuts it into the twelve walking frames.
    void PickSheet();
    // "OK": saves the character and hands its object event to the script window.
    void OK();
    // "Dialogo Normal": the script window's dialogue dialog, with this
    // character's face offered first; its command is appended to "Evento:".
    void DialogoNormal();

    TEvPictureBox* pictureBox(int index) const { return boxes_[static_cast<size_t>(index)]; }
    QLineEdit* nameEdit() const { return EditNome; }
    QLineEdit* speedEdit() const { return EditSpeed; }
    QPlainTextEdit* eventMemo() const { return MemoEvento; }
    QPushButton* okButton() const { return btnOK_; }
    QPushButton* cancelButton() const { return btnCancel_; }
    QPushButton* dialogueButton() const { return btnDialogo_; }
    QPushButton* sheetButton() const { return btnSheet_; }

private:
    void showCharacter(const Character& character);

    Workspace& ws_;
    TForm6& editor_;
    std::array<TEvPictureBox*, kCharacterPictureCount> boxes_{};
    QLineEdit* EditNome = nullptr;
    QLineEdit* EditSpeed = nullptr;
    QPlainTextEdit* MemoEvento = nullptr;
    QPushButton* btnOK_ = nullptr;
    QPushButton* btnCancel_ = nullptr;
    QPushButton* btnDialogo_ = nullptr;
    QPushButton* btnSheet_ = nullptr;
};

}  // namespace quillmark
