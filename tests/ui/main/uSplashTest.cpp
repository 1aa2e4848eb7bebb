// The splash window at start-up never hides an error or a question: the first
// dialog shown while it is up takes it away.
#include "ui/main/uSplash.h"

#include <QDialog>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quillmark;

TEST(Splash, TheFirstDialogAtStartUpHidesIt) {
    TFormSplash splash;
    splash.showSplash();
    splash.hideBeforeDialogs();
    ASSERT_TRUE(splash.isVisible());
    // the main window showing is no reason to go
    QWidget main;
    main.show();
    EXPECT_TRUE(splash.isVisible());
    // an error box at start-up is: it is seen while it waits for its answer
    bool splashVisibleDuringBox = true;
    QMessageBox box(QMessageBox::Critical, "Quillmark", "Não foi possível abrir o projeto.");
    QTimer::singleShot(0, &box, [&] {
        splashVisibleDuringBox = splash.isVisible();
        box.accept();
    });
    box.exec();
    EXPECT_FALSE(splashVisibleDuringBox);
    EXPECT_FALSE(splash.isVisible());
}

TEST(Splash, WithoutTheCallDialogsLeaveItAlone) {
    TFormSplash splash;
    splash.showSplash();
    QDialog dialog;
    dialog.setModal(true);
    dialog.show();
    EXPECT_TRUE(splash.isVisible());
}
