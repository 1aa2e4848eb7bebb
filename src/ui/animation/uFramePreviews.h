#pragma once
// The frame previews of the database window and its "Editar" buttons.
//
// Thirteen small animations run on the "Personagem", "Inimigos" and "Itens"
// pages; the "Magias" page shows its spell's first frame still. Each preview
// has a step counter that starts at 0 with the editor and is never reset: a
// step shows the frame at the counter, read from disk at that moment, and
// moves the counter on. The page's entry step shows every box's first frame
// and starts its timers; its leave step stops them (the last picture stays).
// The timers run on the user-interface thread.
//
// The same object owns the fourteen frame-set editors, created once, and opens
// them for the window's "Editar" buttons.
#include "model/animation/Animations.h"
#include "ui/common/uDatabaseLinks.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <vector>

namespace quillmark {

class Workspace;
class TFramePreview;
class TFrameSetEditor;

class TFramePreviews : public QObject, public FramePreviewsLink {
    Q_OBJECT
public:
    // editorParent: the window the frame-set editors open over.
    TFramePreviews(Workspace& ws, QWidget* editorParent);
    ~TFramePreviews() override;

    // --- FramePreviewsLink ------------------------------------------------
    void attach(const QString& key, QWidget* host) override;
    void pageEntered(DatabasePage page) override;
    void pageLeft(DatabasePage page) override;
    void recordChanged(DatabasePage page) override;
    void editFrames(const QString& unit) override;

    // --- the previews one by one (the timers call step) ----------------------
    void step(const QString& key);
    int stepCounter(const QString& key) const;
    bool isRunning(const QString& key) const;
    TFramePreview* preview(const QString& key) const;

    // --- the editors -----------------------------------------------------------
    TFrameSetEditor* editor(const QString& unit) const;

signals:
    // After an editor's "OK" stored its frames (the hero portrait reads the first face).
    void framesStored(const QString& unit);

private:
    struct Preview {
        const Animation* animation = nullptr;
        int counter = 0;
        QTimer* timer = nullptr;
        QPointer<TFramePreview> box;
    };
    Preview& previewOf(const QString& key);
    const Preview& previewOf(const QString& key) const;
    // The previews that belong to a page.
    std::vector<Preview*> pagePreviews(DatabasePage page);
    void show(Preview& p, int frame);

    Workspace& ws_;
    std::vector<Preview> previews_;
    std::vector<std::unique_ptr<TFrameSetEditor>> editors_;
};

}  // namespace quillmark
