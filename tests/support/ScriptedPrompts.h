#pragma once
// Prompts for tests: answers come from a script, in order, and every question
// asked is recorded. A question the script has no answer for fails the test
// and is answered with Cancel / nothing.
#include "model/core/Prompts.h"

#include <QStringList>
#include <deque>

namespace qmtest {

struct Asked {
    QString kind;  // "message", "input", "openFile", "saveFile", "openPicture", "savePicture"
    QString title;
    QString text;
    quillmark::Icon icon = quillmark::Icon::None;
    quillmark::Buttons buttons = quillmark::Buttons::Ok;
};

class ScriptedPrompts : public quillmark::Prompts {
public:
    // Queue answers.
    ScriptedPrompts& answer(quillmark::Answer a);
    ScriptedPrompts& answerText(const QString& text);  // input box or a file dialog's path
    ScriptedPrompts& answerNothing();                  // cancelled input or file dialog

    const std::vector<Asked>& asked() const { return asked_; }
    // The texts of every message box, in order.
    QStringList messages() const;
    bool allAnswersUsed() const { return answers_.empty(); }
    void clear() {
        asked_.clear();
        answers_.clear();
    }

    quillmark::Answer message(const QString& title, const QString& text, quillmark::Icon icon,
                              quillmark::Buttons buttons) override;
    std::optional<QString> input(const QString& title, const QString& prompt, const QString& initial) override;
    std::optional<QString> openFile(const QString& filter, const QString& defaultExt) override;
    std::optional<QString> saveFile(const QString& filter, const QString& defaultExt, bool confirmOverwrite,
                                    const QString& initialName) override;
    std::optional<QString> openPicture() override;
    std::optional<QString> savePicture(const QString& initialName) override;

private:
    struct Item {
        bool isAnswer = false;
        quillmark::Answer answer = quillmark::Answer::Cancel;
        bool hasText = false;
        QString text;
    };
    std::optional<QString> nextText(const Asked& a);
    std::deque<Item> answers_;
    std::vector<Asked> asked_;
};

}  // namespace qmtest
