#pragma once
// The hero casting a spell in battle.
#include "ui/animation/uFrameSetEditor.h"

namespace quillmark {

class TFormM : public TFrameSetEditor {
    Q_OBJECT
public:
    explicit TFormM(Workspace& ws, QWidget* parent = nullptr)
        : TFrameSetEditor(ws, *findEditor("uCharAniBatMagic"), parent) {}
};

}  // namespace quillmark
