#include "ui/common/uPrompts.h"

#include "model/core/Paths.h"
#include "model/session/Settings.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QImageReader>
#include <QInputDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPixmap>
#include <QTranslator>

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

bool isProjectFilter(const QString& filter) { return filter.contains(QLatin1String(".qmk"), Qt::CaseInsensitive); }

// Points a dialog at the folder it starts in; a suggested name without a
// folder is offered there.
void startIn(QFileDialog& dialog, const QString& folder, const QString& initialName = QString()) {
    const bool hasFolder = initialName.contains('/') || initialName.contains('\\');
    if (hasFolder) {
        if (initialName.endsWith('/') || initialName.endsWith('\\'))
            dialog.setDirectory(initialName);
        else
            dialog.selectFile(initialName);
        return;
    }
    if (!folder.isEmpty()) dialog.setDirectory(folder);
    if (!initialName.isEmpty()) dialog.selectFile(initialName);
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

bool installPortugueseTranslations(QCoreApplication& app) {
    const QStringList folders{QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                              QStringLiteral("/usr/share/qt6/translations")};
    auto* translator = new QTranslator(&app);
    for (const QString& folder : folders) {
        if (translator->load(QStringLiteral("qtbase_pt_BR"), folder)) {
            QCoreApplication::installTranslator(translator);
            return true;
        }
    }
    delete translator;
    return false;
}

QtPrompts::QtPrompts() {
    const QString recent = readRecent(recentSettingsPath(editorFolder()));
    if (!recent.isEmpty()) setRecentProject(recent);
}

QString QtPrompts::qtFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        // a description that already shows its patterns ("Bitmaps (*.bmp)") keeps them once
        if (parts[i].contains(QStringLiteral("(%1)").arg(patterns)))
            out << parts[i];
        else
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
    QFileDialog dialog(owner());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(qtFilter(filter));
    startIn(dialog, startFolder(isProjectFilter(filter) ? DialogPlace::OpenProject : DialogPlace::ProjectFile));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
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
    startIn(dialog, startFolder(isProjectFilter(filter) ? DialogPlace::NewProject : DialogPlace::ProjectFile),
            initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return withDefaultExtension(dialog.selectedFiles().first(), defaultExt);
}

std::optional<QString> QtPrompts::openPicture() {
    PictureDialog dialog(owner());
    dialog.setFileMode(QFileDialog::ExistingFile);
    startIn(dialog, startFolder(DialogPlace::Pictures));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtPrompts::savePicture(const QString& initialName) {
    PictureDialog dialog(owner());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("bmp"));
    // a name ending with a separator is only the folder to start in
    startIn(dialog, startFolder(DialogPlace::Pictures), initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

}  // namespace quillmark
