// The script window: opening and closing a cell's event, the menus, the files.
#include "EventWindows.h"

#include "model/core/Files.h"
#include "model/events/EventScript.h"

#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QStatusBar>

using namespace quillmark;
using qmtest::ModalDriver;

using ScriptWindowTest = qmtest::EventWindows;

namespace {
// Opens the script window for a stored event and runs `inside` while it is shown, then closes it.
std::string editWith(Workspace& ws, const std::string& stored, std::function<void(TForm6*)> inside) {
    ModalDriver driver;
    driver.when<TForm6>([inside](TForm6* f) {
        inside(f);
        f->close();
    });
    return ws.session().links().eventScript(stored);
}
}  // namespace

TEST_F(ScriptWindowTest, LooksAsTheEditorShowsIt) {
    EXPECT_EQ(form6.windowTitle(), "Editor de Eventos");
    const QFont font = form6.memo()->font();
    EXPECT_EQ(font.family(), "Arial");
    EXPECT_EQ(font.pointSize(), 9);
    EXPECT_TRUE(font.bold());
    EXPECT_TRUE(font.italic());
    EXPECT_EQ(form6.memo()->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(form6.memo()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(form6.memo()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(form6.statusBar()->currentMessage(), "");

    QStringList menus;
    for (QAction* a : form6.menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus, QStringList({"Arquivo", "Editar", "Eventos", "Objetos", "Ajuda"}));
    const std::pair<const char*, QKeySequence> keys[] = {
        {"Novo", QKeySequence("Ctrl+N")},           {"Importar", QKeySequence("Ctrl+I")},
        {"Exportar", QKeySequence("Ctrl+E")},       {"Sair", QKeySequence("Ctrl+Q")},
        {"Desfazer", QKeySequence("Ctrl+Z")},       {"Recortar", QKeySequence("Ctrl+X")},
        {"Copiar", QKeySequence("Ctrl+C")},         {"Colar", QKeySequence("Ctrl+V")},
        {"Selecionar tudo", QKeySequence("Ctrl+T")}};
    for (const auto& [caption, key] : keys) {
        ASSERT_NE(form6.action(caption), nullptr) << caption;
        EXPECT_EQ(form6.action(caption)->shortcut(), key) << caption;
    }
    for (const char* working : {"Inciar Chuva",
                                "Parar Chuva",
                                "Inciar Neve",
                                "Parar Neve",
                                "Iniciar Tempestade",
                                "Parar Tempestade",
                                "Dialogo Normal",
                                "Mensagem",
                                "Adicionar Personagem",
                                "Questão de Multipla Escolha",
                                "Questão Objetiva",
                                "Próxima Resposta",
                                "Fim da Questão",
                                "Mover Heroi",
                                "Mudar Nome",
                                "Mudar Level",
                                "Adicionar Item",
                                "Mudar Mapa",
                                "Iniciar Batalha",
                                "Game Over",
                                "Ligar Interruptor",
                                "Desligar Interruptor",
                                "Se Interruptor",
                                "Se Tem Item",
                                "Se Dinheiro",
                                "Senão",
                                "Fim do Se",
                                "Dar Dinheiro",
                                "Apagar Evento"}) {
        ASSERT_NE(form6.action(QString::fromUtf8(working)), nullptr) << working;
        EXPECT_TRUE(form6.action(QString::fromUtf8(working))->isEnabled()) << working;
    }
    for (const char* inert : {"Mover Objeto", "Executar Video"}) {
        ASSERT_NE(form6.action(QString::fromUtf8(inert)), nullptr) << inert;
        EXPECT_FALSE(form6.action(QString::fromUtf8(inert))->isEnabled()) << inert;
    }
}

TEST_F(ScriptWindowTest, TheMenusFollowTheKindOfTheOpenedText) {
    const std::pair<std::string, bool> cases[] = {
        {"AddChar:Bob|2", false},
        {"OnActionPress>IniciaChuva:", true},
        {"OnPlayerTouch>PararNeve:", true},
        {"IniciaChuva:", false},  // a command without a marker counts as an object event
    };
    for (const auto& [stored, trigger] : cases) {
        SCOPED_TRACE(stored);
        bool eventos = !trigger, objetos = trigger;
        result = editWith(ws, stored, [&](TForm6* f) {
            eventos = f->eventosEnabled();
            objetos = f->objetosEnabled();
        });
        EXPECT_EQ(eventos, trigger);
        EXPECT_EQ(objetos, !trigger);
        EXPECT_EQ(result, stored);  // closed without change: the same text
    }
}

TEST_F(ScriptWindowTest, AStoredEventOpensOneLinePerLineMarkAndClosesUnchanged) {
    result = editWith(ws, "OnActionPress>;IniciaChuva:;",
                      [&](TForm6* f) { EXPECT_EQ(f->scriptText(), "OnActionPress>;\nIniciaChuva:;\n"); });
    EXPECT_EQ(result, "OnActionPress>;IniciaChuva:;");
}

TEST_F(ScriptWindowTest, NovoThenCloseRemovesTheEventAndNovoCanBeUndone) {
    result = editWith(ws, "OnActionPress>IniciaChuva:", [&](TForm6* f) {
        QTest::keyClick(f->memo(), Qt::Key_N, Qt::ControlModifier);
        EXPECT_EQ(f->scriptText(), "");
        QTest::keyClick(f->memo(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(f->scriptText(), "OnActionPress>IniciaChuva:");
        choose("Novo");
    });
    EXPECT_EQ(result, "");
}

TEST_F(ScriptWindowTest, CommandsGoAfterTheLastLineWhateverTheCursor) {
    result = editWith(ws, "OnPlayerTouch>;ShowMessage:Oi&", [&](TForm6* f) {
        QTextCursor start = f->memo()->textCursor();
        start.movePosition(QTextCursor::Start);
        f->memo()->setTextCursor(start);
        for (const char* entry :
             {"Inciar Chuva", "Parar Chuva", "Inciar Neve", "Parar Neve", "Iniciar Tempestade", "Parar Tempestade"})
            choose(entry);
        EXPECT_EQ(f->scriptText(),
                  "OnPlayerTouch>;\nShowMessage:Oi&\nIniciaChuva:\nPararChuva:\nIniciaNeve:\nPararNeve:\n"
                  "IniciaTempestade:\nPararTempestade:");
    });
    EXPECT_EQ(result, "OnPlayerTouch>;ShowMessage:Oi&IniciaChuva:PararChuva:IniciaNeve:PararNeve:IniciaTempestade:"
                      "PararTempestade:");
}

TEST_F(ScriptWindowTest, EveryCloseStoresTheTextAndAMarkerFollowedByBlankLinesIsNoEvent) {
    result =
        editWith(ws, "OnActionPress>IniciaChuva:", [&](TForm6* f) { f->setScriptText("  OnPlayerTouch>\n\n   \n"); });
    EXPECT_EQ(result, "");
    // the Escape key closes as well, and still stores
    ModalDriver driver;
    driver.when<TForm6>([](TForm6* f) {
        QTest::keyClicks(f->memo(), "X");
        QTest::keyClick(f, Qt::Key_Escape);
    });
    result = ws.session().links().eventScript("OnActionPress>PararChuva:");
    EXPECT_TRUE(driver.done());
    EXPECT_EQ(result, "XOnActionPress>PararChuva:");
}

TEST_F(ScriptWindowTest, AScriptImportedWithoutAMarkerReplacesTheMarkerAndReopensAsAnObjectEvent) {
    project.write("sem marcador.qms", "ShowMessage:Ol\xE1&\r\nIniciaNeve:\r\n");
    prompts->answerText(project.file("sem marcador.qms"));
    result = editWith(ws, "OnActionPress>IniciaChuva:", [&](TForm6* f) {
        QTest::keyClick(f->memo(), Qt::Key_I, Qt::ControlModifier);
        EXPECT_EQ(f->scriptText(), QString::fromUtf8("ShowMessage:Olá&\nIniciaNeve:"));
    });
    ASSERT_EQ(prompts->asked().size(), 1u);
    EXPECT_EQ(prompts->asked()[0].kind, "openFile");
    EXPECT_EQ(prompts->asked()[0].text, "Quillmark Script|*.qms");
    EXPECT_EQ(result, "ShowMessage:Ol\xE1&IniciaNeve:");
    EXPECT_EQ(ClassifyEvent(result), EventKind::Object);
    bool objetos = false;
    result = editWith(ws, result, [&](TForm6* f) { objetos = f->objetosEnabled() && !f->eventosEnabled(); });
    EXPECT_TRUE(objetos);
}

TEST_F(ScriptWindowTest, ImportingAFileThatCannotBeReadReportsItAndChangesNothing) {
    prompts->answerText(project.file("falta.qms"));
    prompts->answerNothing();  // a second import, cancelled
    result = editWith(ws, "OnActionPress>IniciaChuva:", [&](TForm6*) {
        choose("Importar");
        choose("Importar");
    });
    ASSERT_EQ(prompts->messages().size(), 1);
    EXPECT_TRUE(prompts->messages()[0].startsWith("Cannot open file")) << prompts->messages()[0].toStdString();
    EXPECT_EQ(result, "OnActionPress>IniciaChuva:");
}

TEST_F(ScriptWindowTest, ExportWritesCrLfLinesAndAsksBeforeReplacingAFile) {
    const QString path = project.file("saida.qms");
    prompts->answerText(project.file("saida"));  // the extension is added
    prompts->answerText(path).answer(Answer::No);
    prompts->answerText(path).answer(Answer::Yes);
    result = editWith(ws, "OnActionPress>;ShowMessage:Ol\xE1&", [&](TForm6* f) {
        QTest::keyClick(f->memo(), Qt::Key_E, Qt::ControlModifier);
        EXPECT_EQ(readFile(path), QByteArray("OnActionPress>;\r\nShowMessage:Ol\xE1&\r\n"));
        f->setScriptText("PararNeve:");
        choose("Exportar");  // No: the file stays
        EXPECT_EQ(readFile(path), QByteArray("OnActionPress>;\r\nShowMessage:Ol\xE1&\r\n"));
        choose("Exportar");  // Yes
        EXPECT_EQ(readFile(path), QByteArray("PararNeve:\r\n"));
    });
    EXPECT_TRUE(prompts->allAnswersUsed());
    const QStringList questions = prompts->messages();
    ASSERT_EQ(questions.size(), 2);
    EXPECT_EQ(questions[0], QString::fromUtf8("O arquivo \"saida.qms\" já existe. Deseja substituí-lo?"));
    EXPECT_EQ(prompts->asked()[0].text, "Quillmark Script|*.qms");
}

TEST_F(ScriptWindowTest, CharactersTheCodePageCannotHoldAreRefused) {
    result = editWith(ws, "OnActionPress>", [&](TForm6* f) {
        QTextCursor end = f->memo()->textCursor();
        end.movePosition(QTextCursor::End);
        f->memo()->setTextCursor(end);
        QApplication::clipboard()->setText(QString::fromUtf8("ShowMessage:€ ok \u4e2d\U0001F600!"));
        QTest::keyClick(f->memo(), Qt::Key_V, Qt::ControlModifier);
        QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("\u4e2d"));
        QApplication::sendEvent(f->memo(), &typed);
        QTest::keyClicks(f->memo(), "&");
        EXPECT_EQ(f->scriptText(), QString::fromUtf8("OnActionPress>ShowMessage:€ ok !&"));
    });
    EXPECT_EQ(result, "OnActionPress>ShowMessage:\x80 ok !&");
}

TEST_F(ScriptWindowTest, SelectAllAndCutWorkFromTheKeys) {
    result = editWith(ws, "OnActionPress>IniciaChuva:", [&](TForm6* f) {
        QTest::keyClick(f->memo(), Qt::Key_T, Qt::ControlModifier);
        EXPECT_EQ(f->memo()->textCursor().selectedText(), "OnActionPress>IniciaChuva:");
        QTest::keyClick(f->memo(), Qt::Key_X, Qt::ControlModifier);
        EXPECT_EQ(f->scriptText(), "");
        QTest::keyClick(f->memo(), Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(f->scriptText(), "OnActionPress>IniciaChuva:");
    });
}

TEST_F(ScriptWindowTest, AnImportedScriptExportsTheSameBytes) {
    const QByteArray bytes("OnActionPress>\r\nIniciaChuva:\r\n\r\n\r\n");
    project.write("entrada.qms", bytes);
    prompts->answerText(project.file("entrada.qms"));
    prompts->answerText(project.file("saida.qms"));
    result = editWith(ws, "OnActionPress>", [&](TForm6*) {
        choose("Importar");
        choose("Exportar");
    });
    EXPECT_EQ(readFile(project.file("saida.qms")), bytes);
}
