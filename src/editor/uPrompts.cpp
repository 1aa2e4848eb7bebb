#include "editor/uPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QImageReader>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>

namespace quillmark {

namespace {

QWidget* owner() { return QApplication::activeWindow(); }

QString withDefaultExtension(QString path, const QString& defaultExt) {
    QString ext = defaultExt;
    ext.remove('*');
    if (ext.startsWith('.')) ext.remove(0, 1);
    if (!path.isEmpty() && !ext.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += '.' + ext;
    return path;
}

QString pictureFilter() {
    return QStringLiteral("Todas as imagens (*.bmp *.jpg *.jpeg *.gif *.png *.ico);;"
                          "Bitmaps (*.bmp);;JPEG (*.jpg *.jpeg);;Todos os arquivos (*)");
}

// A file dialog with a preview of the picture under the cursor.
class PictureDialog : public QFileDialog {
public:
    explicit PictureDialog(QWidget* parent) : QFileDialog(parent) {
        setOption(QFileDialog::DontUseNativeDialog, true);
        setNameFilter(pictureFilter());
        preview_ = new QLabel(this);
        preview_->setFixedSize(160, 160);
        preview_->setAlignment(Qt::AlignCenter);
        preview_->setFrameShape(QFrame::StyledPanel);
        if (auto* grid = qobject_cast<QGridLayout*>(layout()))
            grid->addWidget(preview_, 1, grid->columnCount(), grid->rowCount() - 1, 1);
        connect(this, &QFileDialog::currentChanged, this, [this](const QString& path) {
            QImageReader reader(path);
            QImage image = reader.read();
            if (image.isNull()) {
                preview_->clear();
                return;
            }
            QPixmap pix = QPixmap::fromImage(image);
            if (pix.width() > 160 || pix.height() > 160)
                pix = pix.scaled(160, 160, Qt::KeepAspectRatio, Qt::FastTransformation);
            preview_->setPixmap(pix);
        });
    }

private:
    QLabel* preview_;
};

}  // namespace

QString QtPrompts::qtFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        out << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return out.join(QStringLiteral(";;"));
}

Answer QtPrompts::message(const QString& title, const QString& text, Icon icon, Buttons buttons) {
    QMessageBox box(owner());
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Icon::Stop:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Ok:
        return Answer::Ok;
    default:
        return Answer::Cancel;
    }
}

std::optional<QString> QtPrompts::input(const QString& title, const QString& prompt, const QString& initial) {
    bool ok = false;
    QString text = QInputDialog::getText(owner(), title, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok) return std::nullopt;
    return text;
}

std::optional<QString> QtPrompts::openFile(const QString& filter, const QString& defaultExt) {
    Q_UNUSED(defaultExt);
    QString path = QFileDialog::getOpenFileName(owner(), QString(), QString(), qtFilter(filter));
    if (path.isEmpty()) return std::nullopt;
    return path;
}

std::optional<QString> QtPrompts::saveFile(const QString& filter, const QString& defaultExt, bool confirmOverwrite,
                                           const QString& initialName) {
    QFileDialog dialog(owner());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(qtFilter(filter));
    QString ext = defaultExt;
    ext.remove('*');
    if (ext.startsWith('.')) ext.remove(0, 1);
    dialog.setDefaultSuffix(ext);
    if (!confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!initialName.isEmpty()) dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return withDefaultExtension(dialog.selectedFiles().first(), defaultExt);
}

std::optional<QString> QtPrompts::openPicture() {
    PictureDialog dialog(owner());
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtPrompts::savePicture(const QString& initialName) {
    PictureDialog dialog(owner());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("bmp"));
    // a name ending with a separator is only the folder to start in
    if (initialName.endsWith('/') || initialName.endsWith('\\'))
        dialog.setDirectory(initialName);
    else if (!initialName.isEmpty())
        dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

}  // namespace quillmark
