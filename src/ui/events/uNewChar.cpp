#include "ui/events/uNewChar.h"

#include "model/animation/Animations.h"
#include "model/core/Error.h"
#include "model/core/Text.h"
#include "model/events/EventScript.h"
#include "model/session/Workspace.h"
#include "ui/events/uEvPictureBox.h"
#include "ui/events/uEvShowDialog.h"
#include "ui/events/uEventEditor.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

namespace quillmark {

namespace {
constexpr int kBoxSide = 65;
constexpr int kFaceBoxSide = 80;
const char* const kColumnCaptions[] = {"Down", "Left", "Right", "Up"};
}  // namespace

TFormNC::TFormNC(Workspace& ws, TForm6& editor, QWidget* parent) : QDialog(parent), ws_(ws), editor_(editor) {
    setObjectName(QStringLiteral("FormNC"));
    setWindowTitle(QStringLiteral("Novo Personagem"));
    // no title-bar buttons: the dialog ends by "OK" or "Cancel"
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    // --- the walking frames: four directions across, frames 1 to 3 down ---------
    auto* animation = new QGroupBox(QStringLiteral("Animação do Personagem Andando"), this);
    auto* grid = new QGridLayout(animation);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    for (int column = 0; column < 4; ++column) {
        auto* caption = new QLabel(QString::fromLatin1(kColumnCaptions[column]), animation);
        caption->setAlignment(Qt::AlignCenter);
        grid->addWidget(caption, 0, column, Qt::AlignHCenter);
        for (int row = 0; row < 3; ++row) {
            const int index = characterFrameIndex(column, row);
            auto* box = new TEvPictureBox(kBoxSide, true, animation);
            box->setObjectName(QStringLiteral("Image%1").arg(index + 1));
            boxes_[static_cast<size_t>(index)] = box;
            grid->addWidget(box, row + 1, column, Qt::AlignCenter);
        }
    }
    // one sprite sheet instead of twelve file dialogs
    btnSheet_ = new QPushButton(QString::fromUtf8("Folha de sprites…"), animation);
    btnSheet_->setObjectName(QStringLiteral("btnFolha"));
    btnSheet_->setAutoDefault(false);
    btnSheet_->setToolTip(QString::fromUtf8("Uma imagem de 3 colunas e 4 linhas de quadros de 40 x 40 "
                                            "(linhas: baixo, esquerda, direita, cima), cortada nos doze quadros."));
    grid->addWidget(btnSheet_, 4, 0, 1, 4);
    grid->setRowStretch(5, 1);

    // --- the character: name, speed, face, script --------------------------------
    auto* personagem = new QGroupBox(QStringLiteral("Personagem"), this);
    EditNome = new QLineEdit(personagem);
    EditNome->setObjectName(QStringLiteral("EditNome"));
    EditSpeed = new QLineEdit(personagem);
    EditSpeed->setObjectName(QStringLiteral("EditSpeed"));
    auto* face = new TEvPictureBox(kFaceBoxSide, true, personagem);
    face->setObjectName(QStringLiteral("ImageFace"));
    face->setToolTip(QStringLiteral("Face"));
    boxes_[kCharacterFaceIndex] = face;
    MemoEvento = new TEventMemo(personagem);
    MemoEvento->setObjectName(QStringLiteral("MemoEvento"));

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Nome:"), personagem), 0, 0);
    fields->addWidget(EditNome, 1, 0);
    fields->addWidget(new QLabel(QStringLiteral("Speed:"), personagem), 2, 0);
    fields->addWidget(EditSpeed, 3, 0);
    fields->setRowStretch(4, 1);
    auto* top = new QHBoxLayout;
    top->addLayout(fields, 1);
    top->addSpacing(8);
    top->addWidget(face, 0, Qt::AlignTop | Qt::AlignHCenter);
    auto* personagemLayout = new QVBoxLayout(personagem);
    personagemLayout->addLayout(top);
    btnDialogo_ = new QPushButton(QStringLiteral("Dialogo Normal"), personagem);
    btnDialogo_->setObjectName(QStringLiteral("btnDialogo"));
    btnDialogo_->setAutoDefault(false);
    btnDialogo_->setToolTip(QStringLiteral("Escreve no \"Evento:\" uma fala com a face do personagem"));
    auto* eventoRow = new QHBoxLayout;
    eventoRow->addWidget(new QLabel(QStringLiteral("Evento:"), personagem), 1);
    eventoRow->addWidget(btnDialogo_);
    personagemLayout->addLayout(eventoRow);
    personagemLayout->addWidget(MemoEvento, 1);

    btnOK_ = new QPushButton(QStringLiteral("OK"), this);
    btnOK_->setDefault(true);
    btnCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK_);
    buttons->addWidget(btnCancel_);

    auto* groups = new QHBoxLayout;
    groups->addWidget(animation);
    groups->addWidget(personagem, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups, 1);
    layout->addLayout(buttons);
    resize(660, 340);

    for (int i = 0; i < kCharacterPictureCount; ++i)
        connect(boxes_[static_cast<size_t>(i)], &TEvPictureBox::clicked, this,
                [this, i] { ws_.run([this, i] { PickPicture(i); }); });
    connect(btnOK_, &QPushButton::clicked, this, [this] { ws_.run([this] { OK(); }); });
    connect(btnCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnDialogo_, &QPushButton::clicked, this, [this] { ws_.run([this] { DialogoNormal(); }); });
    connect(btnSheet_, &QPushButton::clicked, this, [this] { ws_.run([this] { PickSheet(); }); });

    editor_.setCharacterDialog(this);
}

void TFormNC::showCharacter(const Character& character) {
    for (int i = 0; i < kCharacterPictureCount; ++i) {
        Picture p = character.pictures[static_cast<size_t>(i)];
        p.setTransparent(i != kCharacterFaceIndex);  // the walking frames are drawn with transparency
        boxes_[static_cast<size_t>(i)]->setPicture(p);
    }
    EditNome->setText(fromCp1252(character.name));
    EditSpeed->setText(fromCp1252(character.speed));
    setTextBoxLines(MemoEvento, character.script);
}

void TFormNC::loadFor(const std::string& scriptText) {
    showCharacter(characterForEvent(ws_.project.ProjectFolder, scriptText));
}

void TFormNC::showFor(const std::string& scriptText) {
    loadFor(scriptText);
    EditNome->setFocus();
    exec();
}

void TFormNC::PickPicture(int index) {
    const std::optional<QString> path = ws_.prompts().openPicture();
    if (!path || path->isEmpty()) return;
    Picture picture;
    picture.LoadFromFile(*path);  // a picture that cannot be read changes nothing
    picture.setTransparent(index != kCharacterFaceIndex);
    boxes_[static_cast<size_t>(index)]->setPicture(picture);
}

void TFormNC::PickSheet() {
    const std::optional<QString> path = ws_.prompts().openPicture();
    if (!path || path->isEmpty()) return;
    // a sheet that cannot be read or cut changes nothing
    const std::vector<QImage> frames = cutWalkingSheet(Picture::fromFile(*path).image());
    // the sheet's cells come in the order of the walking frames: down, left, right, up
    for (int i = 0; i < kCharacterFaceIndex && static_cast<size_t>(i) < frames.size(); ++i) {
        Picture picture(frames[static_cast<size_t>(i)]);
        picture.setTransparent(true);
        boxes_[static_cast<size_t>(i)]->setPicture(picture);
    }
}

void TFormNC::OK() {
    Character character;
    bool ok = true;
    // blanks around the name cannot be kept: the cell's event is read back trimmed
    character.name = TrimBlanks(toCp1252(EditNome->text(), &ok));
    if (!ok) throw Error("O nome do personagem contém caracteres que não podem ser gravados.");
    checkCharacterName(character.name);
    character.speed = toCp1252(EditSpeed->text());
    for (int i = 0; i < kCharacterPictureCount; ++i)
        character.pictures[static_cast<size_t>(i)] = boxes_[static_cast<size_t>(i)]->picture();
    character.script = textBoxLines(MemoEvento);

    const QString& folder = ws_.project.ProjectFolder;
    if (characterExists(folder, character.name) &&
        ws_.prompts().confirm(QStringLiteral("O Personagem já Existe, Desejá Salvar as Alterações?"), Buttons::YesNo) !=
            Answer::Yes)
        return;  // the dialog stays open
    saveCharacter(folder, character);
    editor_.replaceWholeText(fromCp1252(character.event()));
    accept();
}

void TFormNC::DialogoNormal() {
    TFormDLE* dialogue = editor_.dialogueDialog();
    if (!dialogue) throw Error("Erro de programação: a janela \"Mostrar Dialogo\" não foi ligada");
    const QString name = EditNome->text().trimmed();
    if (name.isEmpty()) throw Error("Digite o nome do personagem antes da fala: a face é gravada com ele");
    // The face the game shows lies in "Imagens\" itself, so the character's
    // face is offered there under a name of its own.
    const std::optional<std::string> command =
        dialogue->composeFor(boxes_[kCharacterFaceIndex]->picture(), name + QStringLiteral("Face.bmp"));
    if (!command) return;
    QTextCursor cursor(MemoEvento->document());
    cursor.movePosition(QTextCursor::End);
    QString added = fromCp1252(*command);
    if (!MemoEvento->toPlainText().isEmpty() && !MemoEvento->toPlainText().endsWith('\n')) added.prepend('\n');
    cursor.insertText(added);
}

}  // namespace quillmark
