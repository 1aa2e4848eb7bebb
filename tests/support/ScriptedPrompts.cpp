#include "ScriptedPrompts.h"

#include <gtest/gtest.h>

namespace qmtest {

using quillmark::Answer;

ScriptedPrompts& ScriptedPrompts::answer(Answer a) {
    answers_.push_back({true, a, false, {}});
    return *this;
}

ScriptedPrompts& ScriptedPrompts::answerText(const QString& text) {
    answers_.push_back({false, Answer::Cancel, true, text});
    return *this;
}

ScriptedPrompts& ScriptedPrompts::answerNothing() {
    answers_.push_back({false, Answer::Cancel, false, {}});
    return *this;
}

QStringList ScriptedPrompts::messages() const {
    QStringList out;
    for (const Asked& a : asked_)
        if (a.kind == "message") out << a.text;
    return out;
}

Answer ScriptedPrompts::message(const QString& title, const QString& text, quillmark::Icon icon,
                                quillmark::Buttons buttons) {
    asked_.push_back({"message", title, text, icon, buttons});
    if (buttons == quillmark::Buttons::Ok) {
        // a box with only OK needs no scripted answer, but takes one if queued
        if (!answers_.empty() && answers_.front().isAnswer && answers_.front().answer == Answer::Ok)
            answers_.pop_front();
        return Answer::Ok;
    }
    if (answers_.empty() || !answers_.front().isAnswer) {
        ADD_FAILURE() << "unexpected question: " << title.toStdString() << ": " << text.toStdString();
        return Answer::Cancel;
    }
    Answer a = answers_.front().answer;
    answers_.pop_front();
    return a;
}

std::optional<QString> ScriptedPrompts::nextText(const Asked& a) {
    asked_.push_back(a);
    if (answers_.empty() || answers_.front().isAnswer) {
        ADD_FAILURE() << "unexpected dialog: " << a.kind.toStdString() << " " << a.text.toStdString();
        return std::nullopt;
    }
    Item item = answers_.front();
    answers_.pop_front();
    if (!item.hasText) return std::nullopt;
    return item.text;
}

std::optional<QString> ScriptedPrompts::input(const QString& title, const QString& prompt, const QString&) {
    return nextText({"input", title, prompt});
}

std::optional<QString> ScriptedPrompts::openFile(const QString& filter, const QString&) {
    return nextText({"openFile", QString(), filter});
}

std::optional<QString> ScriptedPrompts::saveFile(const QString& filter, const QString&, bool, const QString&) {
    return nextText({"saveFile", QString(), filter});
}

std::optional<QString> ScriptedPrompts::openPicture() { return nextText({"openPicture", QString(), QString()}); }

std::optional<QString> ScriptedPrompts::savePicture(const QString& initialName) {
    return nextText({"savePicture", QString(), initialName});
}

}  // namespace qmtest
