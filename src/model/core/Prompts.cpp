#include "model/core/Prompts.h"

#include "model/core/Error.h"
#include "model/core/Paths.h"

#include <QDir>
#include <QFileInfo>

namespace quillmark {

namespace {

QString existingFolder(const QString& folder) {
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) return QString();
    return withTrailingSlash(QDir::cleanPath(QDir(folder).absolutePath()));
}

}  // namespace

QString Prompts::startFolder(DialogPlace place) const {
    const QString project = existingFolder(projectFolder_);
    const QString recent = recentProject_.isEmpty() ? QString() : existingFolder(folderOf(recentProject_));
    switch (place) {
    case DialogPlace::Pictures:
        if (project.isEmpty()) return QString();
        if (const QString imagens = existingFolder(projectPath(project, std::string_view("Imagens")));
            !imagens.isEmpty())
            return imagens;
        return project;
    case DialogPlace::ProjectFile:
        return project;
    case DialogPlace::OpenProject:
        return !recent.isEmpty() ? recent : project;
    case DialogPlace::NewProject: {
        // A new project goes into a folder of its own, usually beside the last one.
        const QString base = !recent.isEmpty() ? recent : project;
        if (base.isEmpty()) return QString();
        QDir up(base);
        return up.cdUp() ? withTrailingSlash(up.absolutePath()) : base;
    }
    }
    return QString();
}

void Prompts::error(const QString& text) {
    message(QStringLiteral("Quillmark"), QString::fromStdString(errorBoxText(text.toStdString())), Icon::Stop,
            Buttons::Ok);
}

Answer Prompts::confirm(const QString& text, Buttons buttons) {
    return message(QStringLiteral("Confirmação"), text, Icon::Question, buttons);
}

void Prompts::warning(const QString& text) { message(QStringLiteral("Atenção"), text, Icon::Warning, Buttons::Ok); }

void Prompts::notice(const QString& text) { message(QStringLiteral("Quillmark"), text, Icon::None, Buttons::Ok); }

}  // namespace quillmark
