#pragma once
// "Novo Projeto": the new-project wizard. It asks for a name, an author and a
// project file, closes the open project and creates the new one from the
// template set beside the editor. Its texts are kept from one use to the next.
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace quillmark {

class Workspace;

// The author field's text before anything is typed.
inline constexpr const char* kDefaultAuthor = "Equipe Quillmark";

class TForm5 : public QDialog {
    Q_OBJECT
public:
    // Fills hooks.showNewProjectWizard. The workspace outlives the dialog.
    explicit TForm5(Workspace& ws, QWidget* parent = nullptr);
    ~TForm5() override;

    // Shows the wizard modally.
    void Execute();

    // "Localizar": a save dialog for the project file.
    void BtnLocalizarClick();
    // "OK": creates the project.
    void BtnOKClick();

    QLineEdit* EditNome = nullptr;   // "Nome do Projeto:"
    QLineEdit* EditAutor = nullptr;  // "Autor:"
    QLineEdit* EditFile = nullptr;   // "File Name:"
    QPushButton* BtnLocalizar = nullptr;
    QPushButton* BtnOK = nullptr;
    QPushButton* BtnCancelar = nullptr;

private:
    Workspace& ws_;
};

}  // namespace quillmark
