#pragma once
// The hero being hit in battle.
#include "ui/animation/uFrameSetEditor.h"

namespace quillmark {

class TFormT : public TFrameSetEditor {
    Q_OBJECT
public:
    explicit TFormT(Workspace& ws, QWidget* parent = nullptr)
        : TFrameSetEditor(ws, *findEditor("uCharAniBatAtingido"), parent) {}
};

}  // namespace quillmark
