// What the player reads before its first frame: character folders decoded
// once however many characters share them, and missing hero frames named.
#include "PlayRunner.h"

#include "model/events/Character.h"
#include "play/model/PlayData.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace quillmark;

TEST(PlayData, CharactersOfOneFolderShareTheirPicturesAndMissingHeroFramesAreNamed) {
    qmtest::ProjectFixture project;
    Character ana = newCharacter(project.folder());
    ana.name = "Ana";
    ana.script = {"OnActionPress>", "ShowMessage:Oi&"};
    saveCharacter(project.folder(), ana);
    MapGrid grid = qmtest::smallMap();
    for (int c = 1; c <= 7; ++c) grid.setEvento(1, c, "AddChar:Ana|0");
    project.addMap("Vila.xml", grid);
    QFile::remove(project.folder() + "Imagens/CharDown.bmp");
    const auto data = play::loadGame({project.projectFile(), {}, std::pair{4, 4}, qmtest::binFolder()});
    ASSERT_EQ(data->characters.size(), 7u);
    // one decoded set for the folder: the same pixels, not seven copies
    for (const auto& c : data->characters)
        EXPECT_EQ(c.sprite.frames[0].image().constBits(), data->characters[0].sprite.frames[0].image().constBits());
    bool named = false;
    for (const std::string& w : data->warnings)
        named = named ||
                w == "herói, AnAndando01Down: a imagem \"Imagens\\CharDown.bmp\" não existe: usando a imagem reserva";
    EXPECT_TRUE(named);
    const auto r = qmtest::play(project.projectFile(), "", 2, {"--at", "4,4"});
    EXPECT_NE(r.errText().find("herói, AnAndando01Down"), std::string::npos) << r.errText();
}
