#include "core/Prompts.h"

#include "core/Error.h"

namespace quillmark {

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
