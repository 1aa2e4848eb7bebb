#pragma once
// The few steps of a command that need a window: a modal dialog the session
// cannot show itself. Each window fills its link when it is created and
// empties it when it goes. Calling a link nobody filled is a programming
// error: it throws instead of quietly doing nothing, and the main window shows
// a command whose window does not exist as disabled.
#include "model/core/Error.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace quillmark {

template <class Signature> class WindowLink;

template <class R, class... Args> class WindowLink<R(Args...)> {
public:
    explicit WindowLink(const char* name) : name_(name) {}
    void fill(std::function<R(Args...)> f) { f_ = std::move(f); }
    void clear() { f_ = nullptr; }
    bool filled() const { return static_cast<bool>(f_); }
    const char* name() const { return name_; }
    R operator()(Args... args) const {
        if (!f_) throw Error(std::string("Erro de programação: a janela \"") + name_ + "\" não foi ligada");
        return f_(std::forward<Args>(args)...);
    }

private:
    const char* name_;
    std::function<R(Args...)> f_;
};

struct WindowLinks {
    // "Novo Mapa": the new-map dialog, modal; its OK runs EditorSession::newMap.
    WindowLink<void()> newMapDialog{"Novo Mapa"};
    // "Novo Projeto": the wizard, modal; its OK runs EditorSession::createProject.
    WindowLink<void()> newProjectWizard{"Novo Projeto"};
    // "Propriedades do Mapa", modal.
    WindowLink<void()> mapProperties{"Propriedades do Mapa"};
    // "Banco de Dados", modal.
    WindowLink<void()> database{"Banco de Dados"};
    // The event editor with a cell's event text, and the event-type selector
    // for a cell without one: each returns the cell's new event text in its
    // stored form ("NULL" when the selector was cancelled).
    WindowLink<std::string(const std::string& text)> eventScript{"Editor de Eventos"};
    WindowLink<std::string()> eventSelector{"Tipo de Evento"};

    // The names of the links nobody filled.
    std::vector<std::string> unfilled() const {
        std::vector<std::string> names;
        auto check = [&names](const auto& link) {
            if (!link.filled()) names.emplace_back(link.name());
        };
        check(newMapDialog);
        check(newProjectWizard);
        check(mapProperties);
        check(database);
        check(eventScript);
        check(eventSelector);
        return names;
    }
};

}  // namespace quillmark
