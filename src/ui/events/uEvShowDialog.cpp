#include "ui/events/uEvShowDialog.h"

#include "model/core/Error.h"
#include "model/core/Paths.h"
#include "model/core/Text.h"
#include "model/events/EventScript.h"
#include "model/session/Workspace.h"
#include "ui/events/uEvPictureBox.h"
#include "ui/events/uEventEditor.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillmark {

TFormDLE::TFormDLE(Workspace& ws, TForm6& editor, QWidget* parent) : QDialog(parent), ws_(ws), editor_(editor) {
    setObjectName(QStringLiteral("FormDLE"));
    setWindowTitle(QStringLiteral("Editor de Eventos - Mostrar Dialogo"));
    // no title-bar buttons: the dialog ends by "OK" or "Cancel"
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    resize(420, 330);

    GroupBox1 = new QGroupBox(QStringLiteral("Face"), this);
    Image1 = new TEvPictureBox(80, false, GroupBox1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setToolTip(QStringLiteral("Clique para escolher a face"));
    auto* faceLayout = new QHBoxLayout(GroupBox1);
    faceLayout->addStretch(1);
    faceLayout->addWidget(Image1);
    faceLayout->addStretch(1);

    GroupBox2 = new QGroupBox(QStringLiteral("Texto"), this);
    Memo1 = new TEventMemo(GroupBox2);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    auto* textLayout = new QVBoxLayout(GroupBox2);
    textLayout->addWidget(Memo1);

    btnOK_ = new QPushButton(QStringLiteral("OK"), this);
    btnOK_->setDefault(true);
    btnCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK_);
    buttons->addWidget(btnCancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addWidget(GroupBox2, 1);
    layout->addLayout(buttons);

    connect(Image1, &TEvPictureBox::clicked, this, [this] { ws_.run([this] { PickFace(); }); });
    connect(btnOK_, &QPushButton::clicked, this, [this] { ws_.run([this] { OK(); }); });
    connect(btnCancel_, &QPushButton::clicked, this, &QDialog::reject);

    editor_.setDialogueDialog(this);
}

void TFormDLE::PickFace() {
    const std::optional<QString> path = ws_.prompts().openPicture();
    if (!path || path->isEmpty()) return;
    Picture picture;
    picture.LoadFromFile(*path);  // a picture that cannot be read changes nothing
    Image1->setPicture(picture);
    pickedFile_ = *path;
}

void TFormDLE::OK() {
    // The save dialog starts in the project's "Imagens\" and offers the bare
    // name of the picked file; only the bare name it ends with counts (the
    // offered one when it is cancelled).
    const QString imagens = projectPath(ws_.session().project().ProjectFolder, std::string_view("Imagens\\"));
    const QString offered = fileNameOf(pickedFile_);
    QString name = offered;
    if (const std::optional<QString> chosen = ws_.prompts().savePicture(imagens + offered);
        chosen && !fileNameOf(*chosen).isEmpty()) {
        name = fileNameOf(*chosen);
        if (QFileInfo(name).suffix().isEmpty()) name += QStringLiteral(".bmp");
    }
    bool ok = true;
    const std::string face = toCp1252(name, &ok);
    if (!ok) throw Error(formatMessage("O nome \"%s\" não pode ser gravado no projeto", {name.toStdString()}));
    if (!name.isEmpty() && !Image1->picture().isEmpty()) {
        // a face of any format is written as the name asks: "x.bmp" becomes a bitmap
        Image1->picture().SaveToFile(projectPath(imagens, name));
    }
    const std::string command = ShowDialogCommand(face, toCp1252(Memo1->toPlainText()));
    if (composed_)
        *composed_ = command;
    else
        editor_.appendCommand(command);
    accept();
}

std::optional<std::string> TFormDLE::composeFor(const Picture& face, const QString& faceName) {
    std::optional<std::string> command;
    Image1->setPicture(face);
    pickedFile_ = faceName;
    composed_ = &command;
    exec();
    composed_ = nullptr;
    return command;
}

}  // namespace quillmark
