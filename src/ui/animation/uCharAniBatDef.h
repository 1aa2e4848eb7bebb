#pragma once
// The hero defending in battle.
#include "ui/animation/uFrameSetEditor.h"

namespace quillmark {

class TFormD : public TFrameSetEditor {
    Q_OBJECT
public:
    explicit TFormD(Workspace& ws, QWidget* parent = nullptr)
        : TFrameSetEditor(ws, *findEditor("uCharAniBatDef"), parent) {}
};

}  // namespace quillmark
