#include "play/model/TitleScene.h"

#include "model/core/Error.h"
#include "model/core/Paths.h"

namespace quillmark::play {

TitleScene::TitleScene(const SaveSlots& saveSlots) : saves_(saveSlots) { refresh(); }

std::string TitleScene::loadPicture(const QString& projectFolder) {
    pictureTried_ = true;
    const QString path = projectPath(projectFolder, std::string_view("Imagens\\Title.bmp"));
    if (!fileExists(path)) return "a imagem do título \"Imagens\\Title.bmp\" não existe: tela de título simples";
    try {
        Picture p = Picture::fromFile(path);
        if (p.isEmpty()) throw Error("a imagem está vazia");
        picture_ = std::move(p);
    } catch (const Error& e) {
        return std::string("a imagem do título \"Imagens\\Title.bmp\" não pode ser lida (") + e.what() +
               "): tela de título simples";
    }
    return {};
}

void TitleScene::refresh() {
    slots_.clear();
    canContinue_ = false;
    for (int s = 1; s <= kSaveSlots; ++s) {
        slots_.push_back(saves_.info(s));
        if (slots_.back().kind != SlotInfo::Kind::Empty) canContinue_ = true;
    }
    page_ = Page::Main;
    cursor_ = 0;
}

std::vector<std::string> TitleScene::entries() const {
    if (page_ == Page::Slots) {
        std::vector<std::string> list;
        for (int s = 1; s <= kSaveSlots; ++s) {
            const SlotInfo& info = slot(s);
            list.push_back(
                "Espaço " + std::to_string(s) + ": " +
                (info.kind == SlotInfo::Kind::Refused ? std::string("não pode ser carregado") : info.summary));
        }
        return list;
    }
    if (canContinue_) return {"Novo Jogo", "Continuar", "Sair"};
    return {"Novo Jogo", "Sair"};
}

void TitleScene::sound(const char* file) const {
    if (onSound) onSound(file);
}

TitleScene::Choice TitleScene::press(Key key, int choice) {
    const int count = static_cast<int>(entries().size());
    message_.clear();
    switch (key) {
    case Key::Up:
        cursor_ = (cursor_ + count - 1) % count;
        sound("Menu.wav");
        return {};
    case Key::Down:
        cursor_ = (cursor_ + 1) % count;
        sound("Menu.wav");
        return {};
    case Key::Action:
        return take(cursor_);
    case Key::Choice:
        if (choice < 1 || choice > count) return {};
        cursor_ = choice - 1;
        return take(cursor_);
    case Key::Back:
    case Key::Menu:
        if (page_ == Page::Slots) {
            page_ = Page::Main;
            cursor_ = 1;  // "Continuar"
            sound("Menu.wav");
        }
        return {};
    default:
        return {};
    }
}

TitleScene::Choice TitleScene::take(int index) {
    sound("MenuSelect.wav");
    if (page_ == Page::Slots) {
        const int s = index + 1;
        const SlotInfo& info = slot(s);
        if (info.kind == SlotInfo::Kind::Empty) {
            message_ = "O espaço " + std::to_string(s) + " está vazio.";
            return {};
        }
        if (info.kind == SlotInfo::Kind::Refused) {
            message_ = info.summary;
            if (onTrace) onTrace("nao carregado: " + info.summary);
            return {};
        }
        return {Choice::What::Load, s};
    }
    const std::string entry = entries()[static_cast<std::size_t>(index)];
    if (entry == "Novo Jogo") return {Choice::What::NewGame, 0};
    if (entry == "Sair") return {Choice::What::Quit, 0};
    page_ = Page::Slots;
    cursor_ = 0;
    for (int s = 1; s <= kSaveSlots; ++s)
        if (slot(s).kind == SlotInfo::Kind::Saved) {
            cursor_ = s - 1;
            break;
        }
    if (onTrace) {
        std::string line = "continuar:";
        for (const std::string& e : entries()) line += " [" + e + "]";
        onTrace(line);
    }
    return {};
}

}  // namespace quillmark::play
