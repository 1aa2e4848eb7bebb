#pragma once
// A line of stored text takes only characters the Windows-1252 code page has,
// and no control characters.
#include "model/core/Text.h"

#include <QValidator>

namespace quillmark {

class Cp1252LineValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (QChar c : input)
            if (c.category() == QChar::Other_Control) return Invalid;
        return isCp1252(input) ? Acceptable : Invalid;
    }
};

}  // namespace quillmark
