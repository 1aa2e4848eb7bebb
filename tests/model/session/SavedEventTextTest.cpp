// Event texts saved through the editor come back byte for byte when the map
// is opened again, control characters included.
#include "HeadlessEditor.h"

#include "model/core/MapFile.h"
#include "model/session/Workspace.h"

#include <gtest/gtest.h>

using namespace quillmark;

namespace {

using Editor = qmtest::HeadlessEditor;

TEST(SavedEventText, ATabInsideAMessageSurvivesSavingAndOpeningAgain) {
    qmtest::ProjectFixture p;
    p.addMap("Vila.xml");
    const std::string event = "OnActionPress>;ShowMessage:Nome:\tJo\xE3o\t\tfim&;";
    {
        Editor e;
        ASSERT_TRUE(e.ws->run([&] { e.session().openProject(p.projectFile()); }));
        e.ws->session().mapEditing().setEvent(4, 7, event);
        ASSERT_TRUE(e.ws->run([&] { e.session().save(); }));
    }
    const QByteArray file = p.dir.read("Mapas/Vila.xml");
    EXPECT_FALSE(file.contains('\t'));  // the writer escapes it; a raw TAB would read back as a blank
    EXPECT_TRUE(file.contains("&#9;"));

    Editor again;
    ASSERT_TRUE(again.ws->run([&] { again.session().openProject(p.projectFile()); }));
    EXPECT_EQ(again.ws->session().grid().evento(4, 7), event);
    MapGrid direct;
    Abrir(direct, p.folder() + "Mapas/Vila.xml");
    EXPECT_EQ(direct.evento(4, 7), event);
}

}  // namespace
