#include "editor/uWindows.h"

#include "core/Workspace.h"
#include "editor/uAbout.h"
#include "editor/uMapa.h"
#include "editor/uNewMap.h"
#include "project/uNewProject.h"

namespace quillmark {

TApplicationWindows::TApplicationWindows(Workspace& ws, TForm1::Options options) : ws_(ws) {
    // The main window.
    Form1_ = std::make_unique<TForm1>(ws_, std::move(options));
    // "Novo Mapa", "Novo Projeto", "Editor de Eventos", "Banco de Dados".
    OKRightDlg_ = std::make_unique<TOKRightDlg>(ws_, Form1_.get());
    Form5_ = std::make_unique<TForm5>(ws_, Form1_.get());

    // The data holder: the five tables of the template set beside the editor.
    ws_.run([this] { ws_.DataModule1.DataModuleCreate(ws_.EditorFolder); });

    // The animation editors, "Faces", "Animação", "Tiles Edit", "Propriedades do
    // Mapa", "Edit Animação", the other editors, "Novo Personagem" and the event
    // editor's dialogs.
    FormMP_ = std::make_unique<TFormMP>(ws_, Form1_.get());

    // "Quillmark 1.0 - Sobre".
    FormAbout_ = std::make_unique<TFormAbout>(Form1_.get());
    Form1_->setAboutBox(FormAbout_.get());
}

TApplicationWindows::~TApplicationWindows() {
    // Closing the tables writes every table that changed into its file.
    ws_.run([this] { ws_.DataModule1.closeAll(); });
    Form1_->setAboutBox(nullptr);
}

} // namespace quillmark
