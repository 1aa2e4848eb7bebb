// The script window's commands beyond the first nine: each is written by a
// small dialog (or at once, when it takes nothing) and appended as new lines.
#include "model/core/Error.h"
#include "model/core/Text.h"
#include "model/database/DataModule.h"
#include "model/events/EventCommands.h"
#include "model/events/SwitchNames.h"
#include "model/session/Workspace.h"
#include "ui/events/uEvChangeMap.h"
#include "ui/events/uEvCommandDialog.h"
#include "ui/events/uEvSwitchNames.h"
#include "ui/events/uEventEditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace quillmark {

namespace {

constexpr int kLargest = 999999;

// The "Nome" of every record of a game table of the open project. A table the
// database window closed (the monsters, after their page) is read from its file.
QStringList recordNames(Workspace& ws, RecordTable& table) {
    const RecordTable* source = &table;
    TDataModule1 copy;
    if (!table.active()) {
        RecordTable& same = &table == &ws.DataModule1.cdsMonstros ? copy.cdsMonstros : copy.cdsItens;
        copy.pointAt(same, ws.project.ProjectFolder);
        source = &same;
    }
    QStringList names;
    const int nome = source->fieldIndex("Nome");
    for (const Record& r : source->allRecords())
        if (nome >= 0 && static_cast<size_t>(nome) < r.size() && r[static_cast<size_t>(nome)])
            names << fromCp1252(*r[static_cast<size_t>(nome)]);
    return names;
}

// A name or text as a command argument; refused with the field's caption.
QString refusal(const QString& caption, const QString& value, bool last, bool freeText) {
    const std::string problem = argumentProblem(toCp1252(value), last, freeText);
    if (problem.empty()) return {};
    return QStringLiteral("%1 %2").arg(caption, QString::fromUtf8(problem.c_str()));
}

// Fills a switch drop-down: 1 to 100, each as "N - name" when the project
// names it; the choice stays where it was.
void listSwitches(Workspace& ws, QComboBox* box) {
    std::map<int, std::string> names;
    ws.run([&] { names = readSwitchNames(ws.project.ProjectFolder); });  // unreadable: numbers only
    const int chosen = std::max(0, box->currentIndex());
    box->clear();
    for (int n = kFirstSwitch; n <= kLastSwitch; ++n) box->addItem(fromCp1252(switchCaption(n, names)), n);
    box->setCurrentIndex(chosen);
}

// The switch row of a switch dialog: the drop-down, and "Nomes…" beside it,
// which names the switches and lists them again.
QComboBox* addSwitchChoice(Workspace& ws, TFormCMD& dialog) {
    auto* row = new QWidget(&dialog);
    auto* box = new QComboBox(row);
    box->setObjectName(QStringLiteral("Interruptor"));
    box->setMaxVisibleItems(20);
    box->setStyleSheet(
        QStringLiteral("QComboBox { combobox-popup: 0; }"));  // a list of 20 that scrolls, not the screen
    auto* names = new QPushButton(QString::fromUtf8("Nomes…"), row);
    names->setObjectName(QStringLiteral("NomesInterruptores"));
    names->setAutoDefault(false);
    names->setToolTip(QStringLiteral("Dá nomes aos interruptores deste projeto"));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(box, 1);
    layout->addWidget(names);
    dialog.addRow(QStringLiteral("Interruptor:"), row);
    listSwitches(ws, box);
    QObject::connect(names, &QPushButton::clicked, &dialog, [&ws, &dialog, box] {
        TFormSwitchNames naming(ws, &dialog);
        if (naming.exec() == QDialog::Accepted) listSwitches(ws, box);
    });
    return box;
}

int chosenSwitch(const QComboBox* box) { return box->currentIndex() + kFirstSwitch; }

}  // namespace

bool TForm6::ask(TFormCMD& dialog) { return dialog.exec() == QDialog::Accepted; }

void TForm6::appendLines(std::initializer_list<std::string> lines) {
    for (const std::string& line : lines) appendCommand(line);
}

void TForm6::MudarMapa() {
    if (ws_.project.mapFileNames().empty()) throw Error("O projeto não tem mapa");
    TFormMudarMapa dialog(ws_, this);
    if (dialog.exec() == QDialog::Accepted) appendCommand(dialog.command());
}

void TForm6::IniciarBatalha() {
    const QStringList monsters = recordNames(ws_, ws_.DataModule1.cdsMonstros);
    if (monsters.isEmpty()) throw Error("O projeto não tem inimigos: crie-os em \"Inimigos\" no Banco de Dados");
    TFormCMD dialog(ws_, QStringLiteral("Editor de Eventos - Iniciar Batalha"), this);
    QComboBox* boxes[kMaxBattleMonsters];
    for (int i = 0; i < kMaxBattleMonsters; ++i) {
        QStringList choices = monsters;
        if (i > 0) choices.prepend(QString());  // the second and third are optional
        boxes[i] =
            dialog.addNames(QStringLiteral("Monstro%1").arg(i + 1), QStringLiteral("Monstro %1:").arg(i + 1), choices);
    }
    QCheckBox* fleeing = dialog.addCheck(QStringLiteral("Fuga"), QStringLiteral("O herói pode fugir"), true);
    dialog.setCheck([&] {
        for (QComboBox* b : boxes)
            if (QString r = refusal(QStringLiteral("O nome do inimigo"), b->currentText(), true, false); !r.isEmpty())
                return r;
        return QString();
    });
    if (!ask(dialog)) return;
    std::vector<std::string> chosen;
    for (QComboBox* b : boxes)
        if (!b->currentText().isEmpty()) chosen.push_back(toCp1252(b->currentText()));
    appendCommand(IniciarBatalhaCommand(chosen, fleeing->isChecked()));
}

void TForm6::GameOver() { appendCommand(GameOverCommand()); }

void TForm6::AdicionarItem() {
    const QStringList items = recordNames(ws_, ws_.DataModule1.cdsItens);
    if (items.isEmpty()) throw Error("O projeto não tem itens: crie-os em \"Itens\" no Banco de Dados");
    TFormCMD dialog(ws_, QStringLiteral("Editor de Eventos - Adicionar Item"), this);
    QComboBox* item = dialog.addNames(QStringLiteral("Item"), QStringLiteral("Item:"), items);
    QSpinBox* count = dialog.addNumber(QStringLiteral("Quantidade"), QStringLiteral("Quantidade (negativa tira):"),
                                       -kLargest, kLargest, 1);
    dialog.setCheck([&] {
        if (count->value() == 0) return QStringLiteral("A quantidade não pode ser 0");
        return refusal(QStringLiteral("O nome do item"), item->currentText(), true, false);
    });
    if (ask(dialog)) appendCommand(AdicionarItemCommand(toCp1252(item->currentText()), count->value()));
}

void TForm6::MoverHeroi() {
    TFormCMD dialog(ws_, QStringLiteral("Editor de Eventos - Mover Heroi"), this);
    auto* steps = new TStepsEdit(&dialog);
    dialog.addRow(QStringLiteral("Passos:"), steps);
    dialog.setCheck([&] {
        return steps->line()->text().isEmpty() ? QStringLiteral("Digite os passos ou use as setas") : QString();
    });
    if (ask(dialog)) appendCommand(MoverHeroiCommand(toCp1252(steps->line()->text())));
}

void TForm6::MudarNome() {
    TFormCMD dialog(ws_, QStringLiteral("Editor de Eventos - Mudar Nome"), this);
    QLineEdit* name = dialog.addText(QStringLiteral("Nome"), QStringLiteral("Novo nome do herói:"));
    dialog.setCheck([&] {
        if (name->text().trimmed().isEmpty()) return QStringLiteral("Digite o nome");
        if (!isCp1252(name->text())) return QStringLiteral("O nome tem letras que o jogo não pode guardar");
        return refusal(QStringLiteral("O nome"), name->text(), true, true);
    });
    if (ask(dialog)) appendCommand(MudarNomeCommand(toCp1252(name->text())));
}

void TForm6::MudarLevel() {
    // The hero's levels run from "NvInicial" to "NvMax".
    int low = 1, high = 99;
    const RecordTable& hero = ws_.DataModule1.cdsPersonagem;
    if (hero.active() && !hero.allRecords().empty()) {
        const Record& r = hero.allRecords().front();
        auto value = [&](std::string_view field) -> std::optional<int> {
            const int i = hero.fieldIndex(field);
            if (i < 0 || static_cast<size_t>(i) >= r.size() || !r[static_cast<size_t>(i)]) return std::nullopt;
            return integerArgument(*r[static_cast<size_t>(i)]);
        };
        const std::optional<int> first = value("NvInicial"), last = value("NvMax");
        if (first && last && *first <= *last) low = *first, high = *last;
    }
    TFormCMD dialog(ws_, QStringLiteral("Editor de Eventos - Mudar Level"), this);
    QSpinBox* level = dialog.addNumber(QStringLiteral("Nivel"), QStringLiteral("Nível (%1 a %2):").arg(low).arg(high),
                                       low, high, low);
    if (ask(dialog)) appendCommand(MudarLevelCommand(level->value()));
}

void TForm6::QuestaoObjetiva() {
    TFormCMD dialog(ws_, QStringLiteral("Editor de Eventos - Questão Objetiva"), this);
    QLineEdit* question = dialog.addText(QStringLiteral("Pergunta"), QStringLiteral("Pergunta:"));
    dialog.setCheck([&] {
        if (question->text().trimmed().isEmpty()) return QStringLiteral("Digite a pergunta");
        return refusal(QStringLiteral("A pergunta"), question->text(), true, true);
    });
    // The question, then the block of "Sim" begins: the commands added next are its block.
    if (ask(dialog)) appendLines({QuestaoObjetivaCommand(toCp1252(question->text())), std::string(kSim)});
}

void TForm6::MultiplaEscolha() {
    TFormCMD dialog(ws_, QStringLiteral("Editor de Eventos - Questão de Multipla Escolha"), this);
    QLineEdit* question = dialog.addText(QStringLiteral("Pergunta"), QStringLiteral("Pergunta:"));
    QLineEdit* choices[kMaxChoices];
    for (int i = 0; i < kMaxChoices; ++i)
        choices[i] = dialog.addText(QStringLiteral("Escolha%1").arg(i + 1), QStringLiteral("Escolha %1:").arg(i + 1));
    auto given = [&] {
        std::vector<std::string> out;
        for (QLineEdit* c : choices)
            if (!c->text().trimmed().isEmpty()) out.push_back(toCp1252(c->text().trimmed()));
        return out;
    };
    dialog.setCheck([&] {
        if (question->text().trimmed().isEmpty()) return QStringLiteral("Digite a pergunta");
        if (QString r = refusal(QStringLiteral("A pergunta"), question->text(), false, true); !r.isEmpty()) return r;
        for (QLineEdit* c : choices)
            if (QString r = refusal(QStringLiteral("Uma escolha"), c->text(), false, false); !r.isEmpty()) return r;
        if (given().size() < static_cast<size_t>(kMinChoices)) return QStringLiteral("Digite ao menos duas escolhas");
        return QString();
    });
    // The question, then the block of the first choice begins.
    if (ask(dialog)) appendLines({MultiplaEscolhaCommand(toCp1252(question->text()), given()), std::string(kOpcao)});
}

void TForm6::blockStep(BlockStep step) { appendCommand(BlockStepLine(FlattenEventText(scriptLines()), step)); }

void TForm6::ProximaResposta() { blockStep(BlockStep::ProximaResposta); }
void TForm6::FimQuestao() { blockStep(BlockStep::FimQuestao); }
void TForm6::Senao() { blockStep(BlockStep::Senao); }
void TForm6::FimSe() { blockStep(BlockStep::FimSe); }

void TForm6::switchCommand(bool on) {
    TFormCMD dialog(ws_,
                    on ? QStringLiteral("Editor de Eventos - Ligar Interruptor")
                       : QStringLiteral("Editor de Eventos - Desligar Interruptor"),
                    this);
    QComboBox* number = addSwitchChoice(ws_, dialog);
    if (ask(dialog))
        appendCommand(on ? LigarInterruptorCommand(chosenSwitch(number))
                         : DesligarInterruptorCommand(chosenSwitch(number)));
}

void TForm6::LigarInterruptor() { switchCommand(true); }
void TForm6::DesligarInterruptor() { switchCommand(false); }

void TForm6::SeInterruptor() {
    TFormCMD dialog(ws_, QStringLiteral("Editor de Eventos - Se Interruptor"), this);
    QComboBox* number = addSwitchChoice(ws_, dialog);
    auto* on = new QRadioButton(QStringLiteral("Ligado"), &dialog);
    on->setObjectName(QStringLiteral("Ligado"));
    on->setChecked(true);
    auto* off = new QRadioButton(QStringLiteral("Desligado"), &dialog);
    off->setObjectName(QStringLiteral("Desligado"));
    dialog.addRow(QStringLiteral("Se estiver:"), on);
    dialog.addRow(QString(), off);
    if (ask(dialog)) appendCommand(SeInterruptorCommand(chosenSwitch(number), on->isChecked()));
}

void TForm6::SeTemItem() {
    const QStringList items = recordNames(ws_, ws_.DataModule1.cdsItens);
    if (items.isEmpty()) throw Error("O projeto não tem itens: crie-os em \"Itens\" no Banco de Dados");
    TFormCMD dialog(ws_, QStringLiteral("Editor de Eventos - Se Tem Item"), this);
    QComboBox* item = dialog.addNames(QStringLiteral("Item"), QStringLiteral("Item:"), items);
    QSpinBox* count =
        dialog.addNumber(QStringLiteral("Quantidade"), QStringLiteral("Quantidade (ao menos):"), 1, kLargest, 1);
    dialog.setCheck([&] { return refusal(QStringLiteral("O nome do item"), item->currentText(), true, false); });
    if (ask(dialog)) appendCommand(SeTemItemCommand(toCp1252(item->currentText()), count->value()));
}

void TForm6::SeDinheiro() {
    TFormCMD dialog(ws_, QStringLiteral("Editor de Eventos - Se Dinheiro"), this);
    QSpinBox* amount =
        dialog.addNumber(QStringLiteral("Quantia"), QStringLiteral("Dinheiro (ao menos):"), 0, kLargest, 0);
    if (ask(dialog)) appendCommand(SeDinheiroCommand(amount->value()));
}

void TForm6::DarDinheiro() {
    TFormCMD dialog(ws_, QStringLiteral("Editor de Eventos - Dar Dinheiro"), this);
    QSpinBox* amount =
        dialog.addNumber(QStringLiteral("Quantia"), QStringLiteral("Quantia (negativa tira):"), -kLargest, kLargest, 0);
    dialog.setCheck([&] { return amount->value() == 0 ? QStringLiteral("A quantia não pode ser 0") : QString(); });
    if (ask(dialog)) appendCommand(DarDinheiroCommand(amount->value()));
}

void TForm6::ApagarEvento() { appendCommand(ApagarEventoCommand()); }

}  // namespace quillmark
