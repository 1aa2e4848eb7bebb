// The commands beyond the first nine, written through the script window's
// dialogs: each one stored, reopened (one line, or one line per command when
// the lines end with ';') and read back to the same command and arguments;
// refused entries keep the dialog open and the script as it was.
#include "EventWindows.h"
#include "ProjectFixture.h"

#include "model/core/MapFile.h"
#include "model/database/DataModule.h"
#include "model/events/EventCommands.h"
#include "model/events/SwitchNames.h"
#include "ui/events/uEvChangeMap.h"
#include "ui/events/uEvCommandDialog.h"
#include "ui/events/uEvSwitchNames.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>

using namespace quillmark;
using qmtest::ModalDriver;
using K = EventCommandKind;

namespace {

struct CommandDialogsTest : qmtest::EventWindows {
    qmtest::ProjectFixture game;

    CommandDialogsTest() {
        // A project with two maps, two monsters, two items and a hero of levels 3 to 20.
        MapGrid cave;
        cave.newGrid(10);
        game.addMap("Vila.xml");
        game.addMap("Caverna.xml", cave);
        TDataModule1 data;
        auto add = [&](RecordTable& t, const char* name) {
            data.pointAt(t, game.folder());
            t.insert();
            t.setString("Nome", name);
            t.post();
        };
        add(data.cdsMonstros, "Lobo");
        add(data.cdsMonstros, "Morcego");
        data.cdsMonstros.close();
        add(data.cdsItens, "Chave");
        add(data.cdsItens, "P\xE3o & Mel");
        data.cdsItens.close();
        data.pointAt(data.cdsPersonagem, game.folder());
        data.cdsPersonagem.first();
        data.cdsPersonagem.edit();
        data.cdsPersonagem.setString("NvInicial", "3");
        data.cdsPersonagem.setString("NvMax", "20");
        data.cdsPersonagem.post();
        data.cdsPersonagem.close();

        ws.project.ProjectFolder = game.folder();
        ws.project.MapList = {"Vila.xml", "Caverna.xml"};
        ws.DataModule1.pointAtProject(game.folder());
        ws.DataModule1.cdsMonstros.close();  // as the database window leaves it
        form6.setScriptText("OnActionPress>");
    }

    template <class T> static T* field(QWidget* dialog, const char* name) {
        T* w = dialog->findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    static void pick(QWidget* dialog, const char* name, const QString& text) {
        QComboBox* box = field<QComboBox>(dialog, name);
        box->setCurrentIndex(box->findText(text));
        ASSERT_GE(box->currentIndex(), 0) << text.toStdString();
    }
    static void number(QWidget* dialog, const char* name, int value) { field<QSpinBox>(dialog, name)->setValue(value); }
    // The switch drop-down lists 1 to 100 in order.
    static void chooseSwitch(QWidget* dialog, int number) {
        QComboBox* box = field<QComboBox>(dialog, "Interruptor");
        ASSERT_EQ(box->count(), 100);
        box->setCurrentIndex(number - 1);
    }
    static void type(QWidget* dialog, const char* name, const QString& text) {
        QLineEdit* edit = field<QLineEdit>(dialog, name);
        edit->setFocus();
        QTest::keyClicks(edit, text);
    }

    // The script as the cell would store it, then as it reopens.
    ParsedEvent storedAndReopened(bool lineMarks) {
        std::vector<std::string> lines = form6.scriptLines();
        if (lineMarks)
            for (std::string& l : lines) l += ';';
        const std::string stored = CloseEventText(lines);
        const std::vector<std::string> reopened = SplitEventText(stored);
        EXPECT_EQ(reopened.size(), lineMarks ? lines.size() + 1 : 1u);
        return ParseCellEvent(FlattenEventText(reopened));
    }
};

}  // namespace

TEST_F(CommandDialogsTest, EveryDialogWritesACommandThatReadsBackTheSame) {
    ModalDriver driver;
    driver.when<TFormMudarMapa>([&](TFormMudarMapa* d) {
        d->maps()->setCurrentIndex(1);  // "Caverna.xml", 10 x 10
        EXPECT_EQ(d->thumb()->side(), 10) << prompts->messages().join(QChar(10)).toStdString();
        QTest::mouseClick(d->thumb(), Qt::LeftButton, {}, d->thumb()->cellCentre(4, 7));
        click(d->okButton());
    });
    choose("Mudar Mapa");
    driver.when<TFormCMD>([&](TFormCMD* d) {
        EXPECT_EQ(field<QComboBox>(d, "Monstro1")->count(), 2);  // read from the file: the table is closed
        pick(d, "Monstro1", "Morcego");
        pick(d, "Monstro3", "Lobo");  // the second left empty
        field<QCheckBox>(d, "Fuga")->setChecked(false);
        click(d->okButton());
    });
    choose("Iniciar Batalha");
    choose("Game Over");
    driver.when<TFormCMD>([&](TFormCMD* d) {
        pick(d, "Item", "Chave");
        number(d, "Quantidade", -3);
        click(d->okButton());
    });
    choose("Adicionar Item");
    driver.when<TFormCMD>([&](TFormCMD* d) {
        type(d, "Passos", "cc");
        click(d->findChild<TStepsEdit*>()->stepButton(kStepRight));
        click(d->findChild<TStepsEdit*>()->stepButton(kStepDown));
        click(d->okButton());
    });
    choose("Mover Heroi");
    driver.when<TFormCMD>([&](TFormCMD* d) {
        type(d, "Nome", "Lia | a Brava");
        click(d->okButton());
    });
    choose("Mudar Nome");
    driver.when<TFormCMD>([&](TFormCMD* d) {
        QSpinBox* level = field<QSpinBox>(d, "Nivel");
        EXPECT_EQ(level->minimum(), 3);
        EXPECT_EQ(level->maximum(), 20);
        level->setValue(99);  // clamped to "NvMax"
        click(d->okButton());
    });
    choose("Mudar Level");
    driver.when<TFormCMD>([&](TFormCMD* d) {
        chooseSwitch(d, 100);
        click(d->okButton());
    });
    choose("Ligar Interruptor");
    driver.when<TFormCMD>([&](TFormCMD* d) {
        chooseSwitch(d, 7);
        click(d->okButton());
    });
    choose("Desligar Interruptor");
    driver.when<TFormCMD>([&](TFormCMD* d) {
        number(d, "Quantia", -25);
        click(d->okButton());
    });
    choose("Dar Dinheiro");
    choose("Apagar Evento");
    EXPECT_TRUE(driver.done());

    for (const bool marks : {false, true}) {
        const ParsedEvent p = storedAndReopened(marks);
        ASSERT_TRUE(p.problems.empty()) << describeProblem(p.problems.front());
        const std::vector<std::pair<K, std::vector<std::string>>> expected = {
            {K::MudarMapa, {"4", "7", "Caverna.xml"}},
            {K::IniciarBatalha, {"SemFuga", "Morcego", "Lobo"}},
            {K::GameOver, {}},
            {K::AdicionarItem, {"-3", "Chave"}},
            {K::MoverHeroi, {"CCDB"}},
            {K::MudarNome, {"Lia | a Brava"}},
            {K::MudarLevel, {"20"}},
            {K::LigarInterruptor, {"100"}},
            {K::DesligarInterruptor, {"7"}},
            {K::DarDinheiro, {"-25"}},
            {K::ApagarEvento, {}},
        };
        ASSERT_EQ(p.commands.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(p.commands[i].kind, expected[i].first) << i;
            EXPECT_EQ(p.commands[i].args, expected[i].second) << i;
        }
    }
}

TEST_F(CommandDialogsTest, BlocksAreWrittenInOrderAndNest) {
    ModalDriver driver;
    driver.when<TFormCMD>([&](TFormCMD* d) {
        type(d, "Pergunta", "Abrir a porta?");
        click(d->okButton());
    });
    choose("Questão Objetiva");  // the question and "Sim:"
    driver.when<TFormCMD>([&](TFormCMD* d) {
        chooseSwitch(d, 12);
        click(d->findChild<QRadioButton*>("Desligado"));
        click(d->okButton());
    });
    choose("Se Interruptor");
    choose("Game Over");
    choose("Senão");
    driver.when<TFormCMD>([&](TFormCMD* d) {
        pick(d, "Item", "Chave");
        number(d, "Quantidade", 2);
        click(d->okButton());
    });
    choose("Se Tem Item");
    choose("Fim do Se");
    choose("Fim do Se");
    choose("Próxima Resposta");  // "Nao:"
    driver.when<TFormCMD>([&](TFormCMD* d) {
        number(d, "Quantia", 30);
        click(d->okButton());
    });
    choose("Se Dinheiro");
    choose("Fim do Se");
    choose("Fim da Questão");
    driver.when<TFormCMD>([&](TFormCMD* d) {
        type(d, "Pergunta", "Para onde?");
        type(d, "Escolha1", "Norte");
        type(d, "Escolha3", "Sul");  // an empty choice between is passed over
        click(d->okButton());
    });
    choose("Questão de Multipla Escolha");
    choose("Apagar Evento");
    choose("Próxima Resposta");
    choose("Fim da Questão");
    EXPECT_TRUE(driver.done());
    EXPECT_TRUE(prompts->messages().isEmpty()) << prompts->messages().join('\n').toStdString();

    for (const bool marks : {false, true}) {
        const ParsedEvent p = storedAndReopened(marks);
        ASSERT_TRUE(p.problems.empty()) << describeProblem(p.problems.front());
        ASSERT_EQ(p.commands.size(), 2u);
        const EventCommand& yesNo = p.commands[0];
        EXPECT_EQ(yesNo.args, std::vector<std::string>{"Abrir a porta?"});
        ASSERT_EQ(yesNo.blocks.size(), 2u);
        const EventCommand& se = yesNo.blocks[0].commands.at(0);
        EXPECT_EQ(se.args, (std::vector<std::string>{"12", "Desligado"}));
        EXPECT_TRUE(se.hasElse);
        EXPECT_EQ(se.blocks[0].commands.at(0).kind, K::GameOver);
        EXPECT_EQ(se.blocks[1].commands.at(0).args, (std::vector<std::string>{"2", "Chave"}));
        EXPECT_EQ(yesNo.blocks[1].commands.at(0).kind, K::SeDinheiro);
        const EventCommand& choice = p.commands[1];
        EXPECT_EQ(choice.args, (std::vector<std::string>{"Para onde?", "Norte", "Sul"}));
        ASSERT_EQ(choice.blocks.size(), 2u);
        EXPECT_EQ(choice.blocks[0].commands.at(0).kind, K::ApagarEvento);
        EXPECT_TRUE(choice.blocks[1].commands.empty());
    }
}

TEST_F(CommandDialogsTest, RefusedEntriesKeepTheDialogOpenAndTheScriptUnchanged) {
    const QString before = form6.scriptText();
    ModalDriver driver;
    driver.when<TFormCMD>([&](TFormCMD* d) {
        pick(d, "Item", QString::fromUtf8("Pão & Mel"));  // '&' would end the command early
        click(d->okButton());
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(field<QComboBox>(d, "Item")->currentText(), QString::fromUtf8("Pão & Mel"));
        click(d->cancelButton());
    });
    choose("Adicionar Item");
    driver.when<TFormCMD>([&](TFormCMD* d) {
        type(d, "Pergunta", "Qual?");
        field<QLineEdit>(d, "Escolha2")->setText(QString::fromUtf8("S\xC3\xB3 uma"));
        click(d->okButton());
        EXPECT_TRUE(d->isVisible());
        click(d->cancelButton());
    });
    choose("Questão de Multipla Escolha");
    driver.when<TFormMudarMapa>([&](TFormMudarMapa* d) {
        click(d->okButton());  // no cell picked
        EXPECT_TRUE(d->isVisible());
        click(d->cancelButton());
    });
    choose("Mudar Mapa");
    choose("Senão");  // no "Se" is open
    EXPECT_TRUE(driver.done());
    EXPECT_EQ(form6.scriptText(), before);
    const QStringList boxes = prompts->messages();
    ASSERT_EQ(boxes.size(), 4) << boxes.join('\n').toStdString();
    EXPECT_TRUE(boxes[0].contains(QString::fromUtf8("O nome do item não pode conter \"&\""))) << boxes[0].toStdString();
    EXPECT_TRUE(boxes[1].contains("Digite ao menos duas escolhas")) << boxes[1].toStdString();
    EXPECT_TRUE(boxes[2].contains(QString::fromUtf8("célula de chegada"))) << boxes[2].toStdString();
    EXPECT_TRUE(boxes[3].contains(QString::fromUtf8("Não há \"Se\" aberto"))) << boxes[3].toStdString();
}

TEST_F(CommandDialogsTest, SwitchesAreListedWithTheirNamesAndNamedFromTheDialog) {
    storeSwitchNames(game.folder(), {{7, "Porta do castelo"}});
    const QByteArray before = game.dir.read("Data/Interruptores.xml");
    ModalDriver driver;
    driver.when<TFormCMD>([&](TFormCMD* d) {
        QComboBox* box = field<QComboBox>(d, "Interruptor");
        ASSERT_EQ(box->count(), 100);
        EXPECT_EQ(box->itemText(0), "1");
        EXPECT_EQ(box->itemText(6), "7 - Porta do castelo");
        EXPECT_EQ(box->itemText(99), "100");
        box->setCurrentIndex(6);
        click(field<QPushButton>(d, "NomesInterruptores"));
        // named in the dialog below: the list shows the new names, the choice stays
        EXPECT_EQ(box->itemText(0), QString::fromUtf8("1 - Baú aberto"));
        EXPECT_EQ(box->itemText(2), "3 - Sino");
        EXPECT_EQ(box->currentIndex(), 6);
        click(d->okButton());
    });
    driver.when<TFormSwitchNames>([&](TFormSwitchNames* n) {
        EXPECT_EQ(n->windowTitle(), "Nomes dos Interruptores");
        QTableWidget* t = n->table();
        ASSERT_EQ(t->rowCount(), 100);
        EXPECT_EQ(t->verticalHeaderItem(99)->text(), "100");
        EXPECT_EQ(t->item(6, 0)->text(), "Porta do castelo");
        // a name the game's text cannot hold is refused; nothing is written and the dialog stays
        t->item(1, 0)->setText(QString::fromUtf8("Neve \xE2\x98\x83"));
        prompts->answer(Answer::Ok);
        click(n->okButton());
        EXPECT_TRUE(n->isVisible());
        EXPECT_EQ(game.dir.read("Data/Interruptores.xml"), before);
        t->item(1, 0)->setText(QString());
        t->item(0, 0)->setText(QString::fromUtf8("Baú aberto"));
        // a name typed in the table and not yet finished is taken too
        t->setFocus();
        t->setCurrentItem(t->item(2, 0));
        t->editItem(t->item(2, 0));
        QWidget* editor = QApplication::focusWidget();
        ASSERT_NE(editor, nullptr);
        QTest::keyClicks(editor, "Sino");
        click(n->okButton());
        EXPECT_FALSE(n->isVisible());
    });
    choose("Ligar Interruptor");
    driver.when<TFormCMD>([&](TFormCMD* d) {
        EXPECT_EQ(field<QComboBox>(d, "Interruptor")->itemText(2), "3 - Sino");
        chooseSwitch(d, 3);
        click(d->okButton());
    });
    choose("Se Interruptor");
    EXPECT_TRUE(driver.done());

    const std::map<int, std::string> expected = {{1, "Ba\xFA aberto"}, {3, "Sino"}, {7, "Porta do castelo"}};
    EXPECT_EQ(readSwitchNames(game.folder()), expected);
    ASSERT_EQ(prompts->messages().size(), 1);
    EXPECT_TRUE(prompts->messages()[0].contains("interruptor 2")) << prompts->messages()[0].toStdString();
    // the script keeps the numbers
    const ParsedEvent p = storedAndReopened(false);
    ASSERT_EQ(p.commands.size(), 2u);
    EXPECT_EQ(p.commands[0].kind, K::LigarInterruptor);
    EXPECT_EQ(p.commands[0].args, std::vector<std::string>{"7"});
    EXPECT_EQ(p.commands[1].args, (std::vector<std::string>{"3", "Ligado"}));
    EXPECT_NE(form6.scriptText().indexOf("LigarInterruptor:7"), -1);
}
