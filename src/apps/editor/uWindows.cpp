#include "apps/editor/uWindows.h"

#include "model/session/Workspace.h"
#include "ui/animation/uFramePreviews.h"
#include "ui/database/uConfig.h"
#include "ui/events/uEvSelectType.h"
#include "ui/events/uEvShowDialog.h"
#include "ui/events/uEvShowMessage.h"
#include "ui/events/uEventEditor.h"
#include "ui/events/uNewChar.h"
#include "ui/main/uAbout.h"
#include "ui/main/uMapa.h"
#include "ui/main/uNewMap.h"
#include "ui/project/uNewProject.h"
#include "ui/tiles/uAniTilesEdit.h"
#include "ui/tiles/uTilesEdit.h"
#include "ui/tiles/uTilesPage.h"

namespace quillmark {

TApplicationWindows::TApplicationWindows(Workspace& ws, TForm1::Options options) : ws_(ws) {
    // The main window.
    Form1_ = std::make_unique<TForm1>(ws_, std::move(options));
    QWidget* main = Form1_.get();
    // "Novo Mapa", "Novo Projeto", "Editor de Eventos".
    OKRightDlg_ = std::make_unique<TOKRightDlg>(ws_, main);
    Form5_ = std::make_unique<TForm5>(ws_, main);
    Form6_ = std::make_unique<TForm6>(ws_, main);
    // "Banco de Dados", before the data holder: opening the spells table fills its spell list.
    Form2_ = std::make_unique<TForm2>(ws_, main);
    ws_.session().links().database.fill([this] { Form2_->Execute(); });

    // The data holder: the five tables of the template set beside the editor.
    ws_.run([this] { ws_.session().tables().DataModuleCreate(ws_.session().editorFolder()); });

    // The animation editors, "Faces", "Animação", "Tiles Edit".
    FormTi_ = std::make_unique<TFormTi>(ws_, main);
    // The frame previews of the database window; they create the fourteen
    // frame-set editors, which open over the main window.
    FramePreviews_ = std::make_unique<TFramePreviews>(ws_, main);
    Form2_->setFramePreviewsLink(FramePreviews_.get());
    // "Propriedades do Mapa".
    FormMP_ = std::make_unique<TFormMP>(ws_, main);
    // "Edit Animação" and the other frame-set editors.
    FormTA_ = std::make_unique<TFormTA>(ws_, main);
    // "Novo Personagem" and the event editor's dialogs.
    FormNC_ = std::make_unique<TFormNC>(ws_, *Form6_, main);
    FormDLE_ = std::make_unique<TFormDLE>(ws_, *Form6_, main);
    FormSEV_ = std::make_unique<TFormSEV>(ws_, *Form6_, main);
    FormMSG_ = std::make_unique<TFormMSG>(ws_, *Form6_, main);
    Form6_->setCharacterDialog(FormNC_.get());
    Form6_->setDialogueDialog(FormDLE_.get());
    Form6_->setMessageDialog(FormMSG_.get());

    // The database window's "Tiles" page and the tile editors it opens.
    TilesPage_ = std::make_unique<TTilesPage>(ws_, *FormTi_, *FormTA_);
    Form2_->setTilesPageLink(TilesPage_.get());

    // "Quillmark 1.0 - Sobre".
    FormAbout_ = std::make_unique<TFormAbout>(main);
    Form1_->setAboutBox(FormAbout_.get());

    // Every window exists now: the commands follow the links they filled.
    Form1_->verificaStatus();
}

TApplicationWindows::~TApplicationWindows() {
    // Closing the tables writes every table that changed into its file.
    ws_.run([this] { ws_.session().tables().closeAll(); });
    Form1_->setAboutBox(nullptr);
    ws_.session().links().database.clear();
    if (Form6_) {
        Form6_->setCharacterDialog(nullptr);
        Form6_->setDialogueDialog(nullptr);
        Form6_->setMessageDialog(nullptr);
    }
}

}  // namespace quillmark
