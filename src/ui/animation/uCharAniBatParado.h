#pragma once
// The hero standing in battle.
#include "ui/animation/uFrameSetEditor.h"

namespace quillmark {

class TFormP : public TFrameSetEditor {
    Q_OBJECT
public:
    explicit TFormP(Workspace& ws, QWidget* parent = nullptr)
        : TFrameSetEditor(ws, *findEditor("uCharAniBatParado"), parent) {}
};

}  // namespace quillmark
