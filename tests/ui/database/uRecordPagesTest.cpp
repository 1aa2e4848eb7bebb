// The record-list pages "Inimigos", "Itens" and "Magias" driven through their
// widgets: frames for a record being inserted, lists that follow the table,
// the navigator, deleting with the picture folder, and Esc.
#include "DatabaseWindow.h"
#include "model/animation/Animations.h"
#include "model/database/DatabasePages.h"

#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>

using namespace dbwindow;

namespace {

// What an editor's OK would find when it opened: the record it serves and
// whether every frame of it can be written.
struct EditorView {
    std::string nome;
    RecordTable::State state = RecordTable::State::Closed;
    bool writable = false;
    QString problem;
};

void watchEdits(Db& db, EditorView& seen, const char* animation, RecordTable& table) {
    db.previews.onEdit = [&db, &seen, animation, &table](const QString&) {
        const Animation& a = *findAnimation(animation);
        const FrameRecord record = readFrameRecord(db.dm(), a);
        seen.nome = record.nome;
        seen.state = table.state();
        std::vector<int> frames;
        for (size_t i = 0; i < a.frames.size(); ++i) frames.push_back(int(i));
        try {
            checkedTargets(db.ws->session().project().ProjectFolder, a, record, frames);
            seen.writable = true;
        } catch (const Error& e) {
            seen.problem = QString::fromUtf8(e.what());
        }
    };
}

bool folderExists(Db& db, const QString& name) { return QFileInfo(db.fixture.folder() + "Imagens/" + name).isDir(); }

void escape(QWidget* target) {
    QTest::keyClick(target, Qt::Key_Escape);
    QApplication::processEvents();
}

}  // namespace

TEST(FramesOfANewRecord, AMonsterNamedByNovoIsCommittedBeforeItsEditorOpens) {
    Db db;
    db.open();
    db.tab(DatabasePage::Inimigos);
    db.prompts->answerText("Lobo");
    QTest::mouseClick(db.form->NovoInimigo, Qt::LeftButton);
    ASSERT_EQ(db.dm().cdsMonstros.state(), RecordTable::State::Insert);
    EditorView seen;
    watchEdits(db, seen, "MonsterParado", db.dm().cdsMonstros);
    db.form->editarButtons.value("uEnemyParado")->click();
    ASSERT_TRUE(db.previews.calls.contains("edit uEnemyParado"));
    EXPECT_EQ(seen.nome, "Lobo");
    EXPECT_EQ(seen.state, RecordTable::State::Browse);
    EXPECT_TRUE(seen.writable) << seen.problem.toStdString();
    EXPECT_EQ(Db::entries(db.form->ListaInimigos), QStringList({"Lobo"}));
    EXPECT_EQ(db.form->ListaInimigos->currentRow(), 0);
    EXPECT_TRUE(db.prompts->messages().isEmpty());
    db.tab(DatabasePage::Game);
    ASSERT_EQ(db.onDisk("Data/Monstros.xml").size(), 1u);
    EXPECT_EQ(db.stored("Data/Monstros.xml", 0, "Parado01"), "CharParado01.bmp");
}

TEST(FramesOfANewRecord, AnUnnamedItemIsAskedForItsNameAndANamedOneCommitted) {
    Db db;
    db.addItems({"Erva"});
    db.open();
    db.tab(DatabasePage::Itens);
    QTest::mouseClick(db.form->NovoItem, Qt::LeftButton);
    db.prompts->answer(Answer::Ok);
    db.form->editarButtons.value("uAniItem")->click();
    EXPECT_FALSE(db.previews.calls.contains("edit uAniItem"));
    ASSERT_EQ(db.prompts->messages().size(), 1);
    EXPECT_TRUE(db.prompts->messages()[0].startsWith("Digite o nome do item"));
    EXPECT_EQ(db.dm().cdsItens.state(), RecordTable::State::Insert);

    QTest::keyClicks(db.form->ItemNome, "Espada");
    EditorView seen;
    watchEdits(db, seen, "ItemAnim", db.dm().cdsItens);
    db.form->editarButtons.value("uAniItem")->click();
    ASSERT_TRUE(db.previews.calls.contains("edit uAniItem"));
    EXPECT_EQ(seen.nome, "Espada");
    EXPECT_EQ(seen.state, RecordTable::State::Browse);
    EXPECT_TRUE(seen.writable) << seen.problem.toStdString();
    EXPECT_TRUE(folderExists(db, "Espada"));
    EXPECT_EQ(Db::entries(db.form->ListaItens), QStringList({"Erva", "Espada"}));
    EXPECT_EQ(db.form->ListaItens->currentRow(), 1);
    EXPECT_FALSE(db.form->ItemNome->isEnabled());  // named and committed
}

TEST(FramesOfANewRecord, ASpellTypedAfterNovoGetsItsFolderBeforeItsEditorOpens) {
    Db db;
    db.open();
    db.tab(DatabasePage::Magias);
    QTest::mouseClick(db.form->NovaMagia, Qt::LeftButton);
    db.prompts->answer(Answer::Ok);
    db.form->editarButtons.value("uMagicAni")->click();
    EXPECT_EQ(db.prompts->messages(), QStringList({QString::fromUtf8("Digite o nome da magia.")}));
    QTest::keyClicks(db.form->MagiaNome, "Raio");
    EditorView seen;
    watchEdits(db, seen, "SpellAnim", db.dm().cdsMagias);
    db.form->editarButtons.value("uMagicAni")->click();
    ASSERT_TRUE(db.previews.calls.contains("edit uMagicAni"));
    EXPECT_EQ(seen.nome, "Raio");
    EXPECT_TRUE(seen.writable) << seen.problem.toStdString();
    EXPECT_TRUE(folderExists(db, "Raio"));
    EXPECT_TRUE(Db::entries(db.form->ListaMagias).contains("Raio"));
}

TEST(RecordLists, EnteringAPageListsTheRecordItsEntryCommitted) {
    Db db;
    db.open();
    db.tab(DatabasePage::Itens);
    QTest::mouseClick(db.form->NovoItem, Qt::LeftButton);
    QTest::keyClicks(db.form->ItemNome, "Espada");
    db.tab(DatabasePage::Magias);
    db.tab(DatabasePage::Itens);
    EXPECT_EQ(Db::entries(db.form->ListaItens), QStringList({"Espada"}));
    EXPECT_EQ(db.dm().cdsItens.recordCount(), 1);

    // a spell renamed and left pending: entering "Magias" again lists the new name
    db.tab(DatabasePage::Magias);
    const int before = db.form->ListaMagias->count();
    ASSERT_GT(before, 0);
    db.clickEntry(db.form->ListaMagias, 0);
    db.form->MagiaNome->selectAll();
    QTest::keyClicks(db.form->MagiaNome, "Chama");
    db.tab(DatabasePage::Itens);
    db.tab(DatabasePage::Magias);
    ASSERT_EQ(db.form->ListaMagias->count(), before);
    EXPECT_EQ(db.form->ListaMagias->item(0)->text(), "Chama");
    EXPECT_EQ(db.dm().cdsMagias.asString("Nome"), "Chama");
    // and clicking the new name finds the record
    db.addSpell("Gelo");
    db.clickEntry(db.form->ListaMagias, db.form->ListaMagias->count() - 1);
    EXPECT_EQ(db.dm().cdsMagias.asString("Nome"), "Gelo");
    db.clickEntry(db.form->ListaMagias, 0);
    EXPECT_EQ(db.dm().cdsMagias.asString("Nome"), "Chama");
}

TEST(Navigator, PlusFocusesTheNameMovesHighlightAndANewItemHasNoAction) {
    Db db;
    db.addItems({"Erva", "Espada", "Escudo"});
    RecordTable& items = db.dm().cdsItens;
    items.first();
    items.edit();
    items.setInteger("Acao", 3);
    items.post();
    db.open();
    db.form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(db.form.get()));
    db.tab(DatabasePage::Itens);
    EXPECT_EQ(db.form->ListaItens->currentRow(), 0);
    EXPECT_EQ(db.form->ItemAcao->currentIndex(), 3);
    QTest::mouseClick(db.form->NavItens->button(TDBNavigator::Next), Qt::LeftButton);
    EXPECT_EQ(db.form->ListaItens->currentRow(), 1);
    QTest::mouseClick(db.form->NavItens->button(TDBNavigator::Last), Qt::LeftButton);
    EXPECT_EQ(db.form->ListaItens->currentRow(), 2);
    QTest::mouseClick(db.form->NavItens->button(TDBNavigator::First), Qt::LeftButton);
    EXPECT_EQ(db.form->ListaItens->currentRow(), 0);
    QTest::mouseClick(db.form->NavItens->button(TDBNavigator::Insert), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), db.form->ItemNome);
    EXPECT_EQ(db.form->ItemAcao->currentIndex(), -1);
    EXPECT_EQ(db.form->ListaItens->currentRow(), -1);
    // the spells' "+" likewise
    db.tab(DatabasePage::Magias);
    QTest::mouseClick(db.form->NavMagias->button(TDBNavigator::Insert), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), db.form->MagiaNome);
}

TEST(DeletingRecords, TheConfirmationThenThePictureFolderKeptByDefault) {
    Db db;
    db.addItems({"Erva", "Espada"});
    db.fixture.dir.write("Imagens/Erva/ItImage.bmp", "x");
    db.fixture.dir.write("Imagens/Espada/ItImage.bmp", "x");
    db.open();
    db.tab(DatabasePage::Itens);
    // "Delete record?" then "keep the folder?": yes keeps it
    db.prompts->answer(Answer::Ok).answer(Answer::Yes);
    QTest::mouseClick(db.form->NavItens->button(TDBNavigator::Delete), Qt::LeftButton);
    ASSERT_EQ(db.prompts->asked().size(), 2u);
    EXPECT_EQ(db.prompts->asked()[0].title, QString::fromUtf8("Confirmação"));
    EXPECT_EQ(db.prompts->asked()[0].text, "Delete record?");
    EXPECT_EQ(db.prompts->asked()[1].title, QString::fromUtf8("Confirmação"));
    EXPECT_TRUE(db.prompts->asked()[1].text.contains("Erva"));
    EXPECT_EQ(Db::entries(db.form->ListaItens), QStringList({"Espada"}));
    EXPECT_TRUE(folderExists(db, "Erva"));
    // no: the folder goes with the record
    db.prompts->clear();
    db.prompts->answer(Answer::Ok).answer(Answer::No);
    QTest::mouseClick(db.form->NavItens->button(TDBNavigator::Delete), Qt::LeftButton);
    EXPECT_TRUE(Db::entries(db.form->ListaItens).isEmpty());
    EXPECT_FALSE(folderExists(db, "Espada"));
    EXPECT_TRUE(db.prompts->allAnswersUsed());

    // a monster: the Delete key in its list, cancelled first
    db.addMonsters({"Lobo"});
    db.fixture.dir.write("Imagens/Lobo/CharFace.bmp", "x");
    db.tab(DatabasePage::Inimigos);
    db.prompts->clear();
    db.prompts->answer(Answer::Cancel);
    QTest::keyClick(db.form->ListaInimigos, Qt::Key_Delete);
    EXPECT_EQ(db.form->ListaInimigos->count(), 1);
    db.prompts->answer(Answer::Ok).answer(Answer::No);
    QTest::keyClick(db.form->ListaInimigos, Qt::Key_Delete);
    EXPECT_EQ(db.form->ListaInimigos->count(), 0);
    EXPECT_FALSE(folderExists(db, "Lobo"));
    db.tab(DatabasePage::Game);
    EXPECT_TRUE(db.onDisk("Data/Monstros.xml").empty());
}

TEST(Escape, NeverClosesTheWindowAndCancelsARecordsEditWhereTheNavigatorWould) {
    Db db;
    db.addItems({"Erva"});
    db.open();
    escape(db.form->EditNome);
    EXPECT_TRUE(db.form->isVisible());
    db.tab(DatabasePage::Itens);
    db.clickEntry(db.form->ListaItens, 0);
    QLineEdit* quantidade = db.entryOf(db.page(DatabasePage::Itens), "Quantidade:");
    ASSERT_NE(quantidade, nullptr);
    QTest::keyClicks(quantidade, "7");
    ASSERT_EQ(db.dm().cdsItens.state(), RecordTable::State::Edit);
    escape(quantidade);
    EXPECT_TRUE(db.form->isVisible());
    EXPECT_EQ(db.dm().cdsItens.state(), RecordTable::State::Browse);
    EXPECT_TRUE(db.dm().cdsItens.isNull("AcaoAux"));
    escape(db.form->ListaItens);
    EXPECT_TRUE(db.form->isVisible());
    EXPECT_TRUE(db.close());  // the close box still closes
}
