#pragma once
// The prompts the running editor shows: Qt message boxes, input boxes and file
// dialogs, all modal over the active window.
#include "model/core/Prompts.h"

class QCoreApplication;

namespace quillmark {

// Loads the toolkit's Brazilian Portuguese texts ("Sim", "Não", "Cancelar",
// "Examinar", "Nome do arquivo" …) into the application, whatever the user's
// locale, so stock buttons and dialogs speak the editor's language. False when
// the translation file is not installed (the toolkit's English stays).
bool installPortugueseTranslations(QCoreApplication& app);

class QtPrompts : public Prompts {
public:
    // The project dialogs start at the recent project until one is opened.
    QtPrompts();

    Answer message(const QString& title, const QString& text, Icon icon, Buttons buttons) override;
    std::optional<QString> input(const QString& title, const QString& prompt, const QString& initial) override;
    std::optional<QString> openFile(const QString& filter, const QString& defaultExt) override;
    std::optional<QString> saveFile(const QString& filter, const QString& defaultExt, bool confirmOverwrite,
                                    const QString& initialName) override;
    std::optional<QString> openPicture() override;
    std::optional<QString> savePicture(const QString& initialName) override;

    // "Quillmark Project|*.qmk|All|*.*" -> "Quillmark Project (*.qmk);;All (*.*)"
    static QString qtFilter(const QString& filter);
};

}  // namespace quillmark
