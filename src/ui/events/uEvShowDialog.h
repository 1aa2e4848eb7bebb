#pragma once
// "Editor de Eventos - Mostrar Dialogo": composes a dialogue command with a
// face picture. The picture, the text and the last picked file stay from one
// use to the next.
#include <QDialog>
#include <QString>
#include <optional>
#include <string>

class QGroupBox;
class QPlainTextEdit;
class QPushButton;

namespace quillmark {

class Workspace;
class TForm6;
class TEvPictureBox;
class Picture;

class TFormDLE : public QDialog {
    Q_OBJECT
public:
    TFormDLE(Workspace& ws, TForm6& editor, QWidget* parent = nullptr);

    QPlainTextEdit* memo() const { return Memo1; }
    TEvPictureBox* face() const { return Image1; }
    QPushButton* okButton() const { return btnOK_; }
    QPushButton* cancelButton() const { return btnCancel_; }
    // The path of the last picture picked, empty when none was.
    QString pickedFile() const { return pickedFile_; }

    // A click on the picture: picks a picture file and shows it.
    void PickFace();
    // "OK": saves the face into the project's "Imagens\" under the name chosen
    // in the save dialog, appends "ShowDialog:" + name + "|" + text + "&" and closes.
    void OK();

    // The dialogue of a character ("Novo Personagem"): the dialog opens with
    // the character's face and offers `faceName` for it; "OK" writes the face
    // as always and returns the command instead of appending it to the script
    // window. Nothing when cancelled.
    std::optional<std::string> composeFor(const Picture& face, const QString& faceName);

private:
    Workspace& ws_;
    TForm6& editor_;
    QGroupBox* GroupBox1 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    TEvPictureBox* Image1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* btnOK_ = nullptr;
    QPushButton* btnCancel_ = nullptr;
    QString pickedFile_;
    std::optional<std::string>* composed_ = nullptr;  // where "OK" leaves the command, while composing for a character
};

}  // namespace quillmark
