#pragma once
// A stand-in for the frame previews in tests and benchmarks: on a page's entry
// each box shows the first frame of its set, read from the project, stretched.
// It runs no animation and opens no editor.
#include "model/core/Paths.h"
#include "model/core/Picture.h"
#include "model/session/Workspace.h"
#include "ui/common/uDatabaseLinks.h"

#include <QLabel>
#include <QMap>
#include <QVBoxLayout>

namespace qmtest {

class FirstFramePreviews : public quillmark::FramePreviewsLink {
public:
    explicit FirstFramePreviews(quillmark::Workspace& ws) : ws_(ws) {}
    void attach(const QString& key, QWidget* host) override {
        auto* label = new QLabel(host);
        label->setGeometry(0, 0, host->width(), host->height());
        label->setScaledContents(true);
        label->setFrameShape(QFrame::Box);
        labels_.insert(key, label);
    }
    void pageEntered(quillmark::DatabasePage page) override { show(page); }
    void pageLeft(quillmark::DatabasePage) override {}
    void recordChanged(quillmark::DatabasePage page) override { show(page); }
    void editFrames(const QString&) override {}

private:
    void show(quillmark::DatabasePage page) {
        using quillmark::DatabasePage;
        struct Box {
            const char* key;
            DatabasePage page;
            quillmark::RecordTable* table;
            const char* field;
        };
        auto& dm = ws_.session().tables();
        const Box boxes[] = {{"HeroAndando", DatabasePage::Personagem, &dm.cdsPersonagem, "AnAndando01Down"},
                             {"HeroMorto", DatabasePage::Personagem, &dm.cdsPersonagem, "AnMorto01"},
                             {"HeroBatParado", DatabasePage::Personagem, &dm.cdsPersonagem, "AnBatParado01"},
                             {"HeroBatAtacando", DatabasePage::Personagem, &dm.cdsPersonagem, "AnBatAtacar01"},
                             {"HeroBatDefendendo", DatabasePage::Personagem, &dm.cdsPersonagem, "AnBatDef01"},
                             {"HeroBatMagia", DatabasePage::Personagem, &dm.cdsPersonagem, "AnBatMagic01"},
                             {"HeroBatAtingido", DatabasePage::Personagem, &dm.cdsPersonagem, "AnBatAting01"},
                             {"HeroBatMorto", DatabasePage::Personagem, &dm.cdsPersonagem, "AnBatMorto01"},
                             {"HeroFaces", DatabasePage::Personagem, &dm.cdsPersonagem, "Face01"},
                             {"MonsterParado", DatabasePage::Inimigos, &dm.cdsMonstros, "Parado01"},
                             {"MonsterAtacando", DatabasePage::Inimigos, &dm.cdsMonstros, "Atacando01"},
                             {"MonsterMagia", DatabasePage::Inimigos, &dm.cdsMonstros, "UsMagia01"},
                             {"ItemAnim", DatabasePage::Itens, &dm.cdsItens, "Anim1"}};
        for (const Box& b : boxes) {
            if (b.page != page || !b.table->active() || !b.table->hasField(b.field)) continue;
            std::string rel = "Imagens\\";
            if (b.table != &dm.cdsPersonagem) rel += b.table->asString("Nome") + "\\";
            rel += b.table->asString(b.field);
            QString path = quillmark::projectPath(ws_.session().project().ProjectFolder, std::string_view(rel));
            if (!quillmark::fileExists(path))
                path = quillmark::projectPath(ws_.session().project().ProjectFolder,
                                              std::string_view("Imagens\\null.bmp"));
            quillmark::Picture p;
            try {
                p.LoadFromFile(path);
            } catch (...) {
                continue;
            }
            labels_.value(b.key)->setPixmap(QPixmap::fromImage(p.image()));
        }
    }
    quillmark::Workspace& ws_;
    QMap<QString, QLabel*> labels_;
};

}  // namespace qmtest
