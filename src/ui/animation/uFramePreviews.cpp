#include "ui/animation/uFramePreviews.h"

#include "model/core/Error.h"
#include "model/core/Paths.h"
#include "model/session/Workspace.h"
#include "ui/animation/uAniItem.h"
#include "ui/animation/uCharAniBatAtacar.h"
#include "ui/animation/uCharAniBatAtingido.h"
#include "ui/animation/uCharAniBatDef.h"
#include "ui/animation/uCharAniBatMagic.h"
#include "ui/animation/uCharAniBatMorrendo.h"
#include "ui/animation/uCharAniBatParado.h"
#include "ui/animation/uCharAniEdit.h"
#include "ui/animation/uCharAniMorendo.h"
#include "ui/animation/uCharFaces.h"
#include "ui/animation/uEnemyAtacando.h"
#include "ui/animation/uEnemyMagic.h"
#include "ui/animation/uEnemyParado.h"
#include "ui/animation/uFramePreview.h"
#include "ui/animation/uMagicAni.h"

#include <QLayout>
#include <QVBoxLayout>

namespace quillmark {

namespace {

FrameOwner ownerOf(DatabasePage page, bool* any) {
    *any = true;
    switch (page) {
    case DatabasePage::Personagem:
        return FrameOwner::Hero;
    case DatabasePage::Inimigos:
        return FrameOwner::Monster;
    case DatabasePage::Itens:
        return FrameOwner::Item;
    case DatabasePage::Magias:
        return FrameOwner::Spell;
    default:
        *any = false;
        return FrameOwner::Hero;
    }
}

[[noreturn]] void unknown(const char* what, const QString& name) {
    throw Error(std::string("Não existe ") + what + " com o nome " + name.toStdString() + ".");
}

}  // namespace

TFramePreviews::TFramePreviews(Workspace& ws, QWidget* editorParent) : ws_(ws) {
    previews_.resize(animations().size());
    for (size_t i = 0; i < previews_.size(); ++i) {
        Preview& p = previews_[i];
        p.animation = &animations()[i];
        if (p.animation->intervalMs <= 0) continue;  // shown still
        p.timer = new QTimer(this);
        p.timer->setInterval(p.animation->intervalMs);
        const QString key = QString::fromLatin1(p.animation->key);
        connect(p.timer, &QTimer::timeout, this, [this, key] { step(key); });
    }
    // The fourteen frame-set editors, in the catalogue's order.
    editors_.push_back(std::make_unique<TForm3>(ws_, editorParent));
    editors_.push_back(std::make_unique<TFormE>(ws_, editorParent));
    editors_.push_back(std::make_unique<TFormP>(ws_, editorParent));
    editors_.push_back(std::make_unique<TFormA>(ws_, editorParent));
    editors_.push_back(std::make_unique<TFormD>(ws_, editorParent));
    editors_.push_back(std::make_unique<TFormM>(ws_, editorParent));
    editors_.push_back(std::make_unique<TFormT>(ws_, editorParent));
    editors_.push_back(std::make_unique<TFormW>(ws_, editorParent));
    editors_.push_back(std::make_unique<TFormF>(ws_, editorParent));
    editors_.push_back(std::make_unique<TFormENP>(ws_, editorParent));
    editors_.push_back(std::make_unique<TFormEAT>(ws_, editorParent));
    editors_.push_back(std::make_unique<TFormEUM>(ws_, editorParent));
    editors_.push_back(std::make_unique<TFormI>(ws_, editorParent));
    editors_.push_back(std::make_unique<TFormMA>(ws_, editorParent));
}

TFramePreviews::~TFramePreviews() = default;

TFramePreviews::Preview& TFramePreviews::previewOf(const QString& key) {
    for (Preview& p : previews_)
        if (key == QLatin1String(p.animation->key)) return p;
    unknown("pré-visualização de quadros", key);
}

const TFramePreviews::Preview& TFramePreviews::previewOf(const QString& key) const {
    return const_cast<TFramePreviews*>(this)->previewOf(key);
}

std::vector<TFramePreviews::Preview*> TFramePreviews::pagePreviews(DatabasePage page) {
    std::vector<Preview*> out;
    bool any = false;
    const FrameOwner owner = ownerOf(page, &any);
    if (!any) return out;
    for (Preview& p : previews_)
        if (p.animation->owner == owner) out.push_back(&p);
    return out;
}

void TFramePreviews::attach(const QString& key, QWidget* host) {
    Preview& p = previewOf(key);
    if (!host) throw Error("A pré-visualização de quadros " + key.toStdString() + " não tem onde ser mostrada.");
    auto* box = new TFramePreview(p.animation->face, host);
    box->setObjectName(key);
    if (!host->layout()) {
        auto* fill = new QVBoxLayout(host);
        fill->setContentsMargins(0, 0, 0, 0);
    }
    host->layout()->addWidget(box);
    p.box = box;
}

void TFramePreviews::pageEntered(DatabasePage page) {
    for (Preview* p : pagePreviews(page)) {
        show(*p, 0);
        if (p->timer) p->timer->start();
    }
}

void TFramePreviews::pageLeft(DatabasePage page) {
    for (Preview* p : pagePreviews(page))
        if (p->timer) p->timer->stop();
}

void TFramePreviews::recordChanged(DatabasePage page) {
    for (Preview* p : pagePreviews(page)) show(*p, 0);
}

void TFramePreviews::step(const QString& key) {
    Preview& p = previewOf(key);
    const int frames = static_cast<int>(p.animation->frames.size());
    show(p, p.counter);
    p.counter = p.counter + 1 >= frames ? 0 : p.counter + 1;
}

int TFramePreviews::stepCounter(const QString& key) const { return previewOf(key).counter; }

bool TFramePreviews::isRunning(const QString& key) const {
    const Preview& p = previewOf(key);
    return p.timer && p.timer->isActive();
}

TFramePreview* TFramePreviews::preview(const QString& key) const { return previewOf(key).box; }

// Reads one frame from disk and shows it: the frame's file, or the project's
// placeholder when there is none. A picture that cannot be read leaves the
// box as it was, quietly: a box stepping three times a second must not open
// an error box each time.
void TFramePreviews::show(Preview& p, int frame) {
    if (!p.box) return;
    const QString folder = ws_.session().project().ProjectFolder;
    if (folder.isEmpty()) {
        p.box->clear();
        return;
    }
    try {
        const FrameRecord record = readFrameRecord(ws_.session().tables(), *p.animation);
        QString path = framePath(folder, *p.animation, record, frame);
        if (path.isEmpty() || !fileExists(path)) {
            // The spell's box stays empty for a spell without frames: it shows
            // the first frame a spell has, never the placeholder.
            if (p.animation->owner == FrameOwner::Spell) {
                p.box->clear();
                return;
            }
            path = placeholderPath(folder);
        }
        p.box->setPicture(Picture::fromFile(path));
    } catch (const std::exception&) {
        // keep the last picture
    }
}

TFrameSetEditor* TFramePreviews::editor(const QString& unit) const {
    for (const auto& e : editors_)
        if (unit == QLatin1String(e->layout().unit)) return e.get();
    unknown("editor de quadros", unit);
}

void TFramePreviews::editFrames(const QString& unit) {
    TFrameSetEditor* e = editor(unit);
    if (e->execute() == QDialog::Accepted) emit framesStored(unit);
}

}  // namespace quillmark
