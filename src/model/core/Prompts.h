#pragma once
// Every message box, input box and file or picture dialog of the editor goes
// through this interface, owned by the workspace. The editor installs one that
// shows Qt dialogs; tests install a scripted one that answers in order and
// records what was asked.
#include <QString>
#include <optional>

namespace quillmark {

enum class Answer { Ok, Yes, No, Cancel };
enum class Icon { None, Information, Warning, Question, Stop };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };

// What a file dialog is for, which decides the folder it starts in.
enum class DialogPlace {
    Pictures,     // pictures: the project's "Imagens\"
    ProjectFile,  // event scripts and other project files: the project folder
    OpenProject,  // a project to open: the folder of the last project opened
    NewProject,   // a new project file: beside the folder of the last project opened
};

class Prompts {
public:
    virtual ~Prompts() = default;

    // A modal message box.
    virtual Answer message(const QString& title, const QString& text, Icon icon, Buttons buttons) = 0;
    // An input box; nothing when cancelled.
    virtual std::optional<QString> input(const QString& title, const QString& prompt, const QString& initial) = 0;
    // File dialogs. `filter` is written "Description|*.ext" ("Quillmark Project|*.qmk");
    // `defaultExt` is added to a typed name without extension ("qmk" or ".qms").
    virtual std::optional<QString> openFile(const QString& filter, const QString& defaultExt) = 0;
    virtual std::optional<QString> saveFile(const QString& filter, const QString& defaultExt, bool confirmOverwrite,
                                            const QString& initialName) = 0;
    // The picture-open dialog with a preview, and its save counterpart.
    virtual std::optional<QString> openPicture() = 0;
    virtual std::optional<QString> savePicture(const QString& initialName) = 0;

    // --- where dialogs start -----------------------------------------------
    // The open project's folder (empty when none is open); the session keeps it.
    void setProjectFolder(const QString& folder) { projectFolder_ = folder; }
    const QString& projectFolder() const { return projectFolder_; }
    // The project file opened last (by any command), for the project dialogs.
    void setRecentProject(const QString& projectFile) { recentProject_ = projectFile; }
    const QString& recentProject() const { return recentProject_; }
    // The existing folder a dialog for `place` starts in, ending with '/', or
    // empty when there is none to offer (the toolkit's choice then applies).
    QString startFolder(DialogPlace place) const;

    // --- the editor's standard boxes --------------------------------------
    // The general error box: "Quillmark", stop icon, OK, full stop appended
    // when the last character sorts after ".".
    void error(const QString& text);
    // A question: "Confirmação", question icon.
    Answer confirm(const QString& text, Buttons buttons = Buttons::YesNoCancel);
    // A warning: "Atenção", exclamation icon.
    void warning(const QString& text);
    // The editor's own notice: a plain box titled "Quillmark".
    void notice(const QString& text);

private:
    QString projectFolder_;
    QString recentProject_;
};

}  // namespace quillmark
