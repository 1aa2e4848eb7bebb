#pragma once
// The event windows as the editor creates them (script window first, then the
// character, dialogue, selector and message dialogs), over a workspace whose
// prompts are scripted and whose project folder is a temporary one holding
// "Imagens\null.bmp" in a known colour.
#include "ModalDriver.h"
#include "ScriptedPrompts.h"
#include "TempDir.h"

#include "SessionSetUp.h"
#include "model/core/Picture.h"
#include "model/core/Text.h"
#include "model/session/Workspace.h"
#include "ui/events/uEvSelectType.h"
#include "ui/events/uEvShowDialog.h"
#include "ui/events/uEvShowMessage.h"
#include "ui/events/uEventEditor.h"
#include "ui/events/uNewChar.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace qmtest {

inline const QRgb kNullColour = qRgb(1, 2, 3);

inline QImage filledImage(QRgb colour, int side = 40) {
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

struct EventWindows : ::testing::Test {
    TempDir project;
    ScriptedPrompts* prompts = new ScriptedPrompts;
    quillmark::Workspace ws{std::unique_ptr<quillmark::Prompts>(prompts)};
    quillmark::TForm6 form6{ws};
    quillmark::TFormNC nc{ws, form6};
    quillmark::TFormDLE dle{ws, form6};
    quillmark::TFormSEV sev{ws, form6};
    quillmark::TFormMSG msg{ws, form6};
    // What the last edit handed back to the cell.
    std::string result = "NULL";

    EventWindows() {
        QDir().mkpath(project.path() + "Imagens");
        quillmark::Picture(filledImage(kNullColour)).SaveToFile(project.path() + "Imagens/null.bmp");
        qmtest::projectOf(ws).ProjectFolder = project.path();
    }

    // The script window's text as CP1252.
    std::string text() const { return quillmark::toCp1252(form6.scriptText()); }

    // Chooses a menu entry of the script window by its caption.
    void choose(const QString& caption) {
        QAction* a = form6.action(caption);
        ASSERT_NE(a, nullptr) << caption.toStdString();
        ASSERT_TRUE(a->isEnabled()) << caption.toStdString();
        a->trigger();
    }

    static void click(QAbstractButton* button) {
        // a radio button answers only over its mark and caption, at its left
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(std::min(8, button->width() / 2), button->height() / 2));
    }
    static void typeInto(QPlainTextEdit* box, const QString& text) {
        box->setFocus();
        box->selectAll();
        const QStringList lines = text.split('\n');
        for (int i = 0; i < lines.size(); ++i) {
            if (i > 0) QTest::keyClick(box, Qt::Key_Return);
            for (const QChar ch : lines[i]) {
                if (ch.unicode() < 128) {
                    QTest::keyClick(box, ch.toLatin1());
                } else {  // QTest types only ASCII: an accented letter comes as its text
                    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
                    QApplication::sendEvent(box, &press);
                }
            }
            if (lines[i].isEmpty() && i == 0 && box->textCursor().hasSelection()) QTest::keyClick(box, Qt::Key_Delete);
        }
    }
};

}  // namespace qmtest
