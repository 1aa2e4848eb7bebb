#pragma once
// Narrow dialogs and their titles: the window system cuts a caption that is
// wider than the window ("Editor de Eventos - Desligar Interr…"). A dialog is
// made wide enough for its whole title as it is shown.
class QWidget;
class QObject;

namespace quillmark {

// The width a window needs for its whole title in a title bar: the caption in
// a bold title font, plus room for the window icon and three buttons.
int widthForTitle(const QWidget* window);

// Widens a window to widthForTitle when it is narrower (a fixed width grows
// with it; the height stays).
void fitTitle(QWidget* window);

// Watches the application: every dialog is fitted to its title as it is
// shown. The watcher lives as long as `owner`.
void fitDialogTitles(QObject* owner);

}  // namespace quillmark
