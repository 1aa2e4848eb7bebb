#pragma once
// The catalogue of sprite animations, as data. Every animation of the game
// database is one row: the table that owns it, its frame fields in the order
// they play, how often its preview steps and how its frames are drawn. The
// fourteen frame-set editors are rows of a second table, each naming the
// animation it edits and laying that animation's frames out in slots.
//
// Frames are files: the record holds only a file name. Hero frames live in
// "Imagens\", the frames of a monster, an item or a spell in the record
// folder "Imagens\" + Nome + "\".
#include "model/core/Paths.h"
#include <QSize>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

class RecordTable;
class TDataModule1;

enum class FrameOwner { Hero, Monster, Item, Spell };

struct Animation {
    const char* key;  // the preview key the database window uses ("HeroAndando" …)
    FrameOwner owner;
    std::vector<std::string> frames;  // field names, in the order the animation plays
    int intervalMs;                   // one preview step; 0 for an animation shown still
    bool face;                        // 81 x 81 and stretched (the hero's faces)
};

// One framed group of slots in an editor: its caption and, slot by slot, the
// index of the animation frame the slot shows.
struct SlotGroup {
    const char* caption;
    std::vector<int> frames;
};

enum class FollowUp { None, HeroStaysInEdit, HeroPortrait };

struct EditorLayout {
    const char* unit;         // "uCharAniEdit" …
    const char* windowClass;  // "TForm3" …
    const char* title;        // UTF-8
    const char* animation;    // key of the animation edited
    std::vector<SlotGroup> groups;
    // Column headings of a grid group, slots filled column by column, three
    // to a column; empty for a single row.
    std::vector<const char*> columnHeads;
    QSize outerSize;  // the window's outer size in pixels
    const char* cancelText;
    FollowUp followUp;
};

// All fourteen animations (the thirteen that run, then the spell's).
const std::vector<Animation>& animations();
// All fourteen editors, in the order the editor creates them.
const std::vector<EditorLayout>& editorLayouts();

// nullptr when unknown.
const Animation* findAnimation(std::string_view key);
const EditorLayout* findEditor(std::string_view unit);
// The animation an editor edits.
const Animation& animationOf(const EditorLayout& editor);

// The field a slot shows: `slot` counts across all groups, in storing order.
struct Slot {
    int group;
    int indexInGroup;
    std::string field;
};
std::vector<Slot> slotsOf(const EditorLayout& editor);

// The table an owner's frames are read from.
RecordTable& tableOf(TDataModule1& data, FrameOwner owner);

// Slot and picture sizes.
inline constexpr int kFrameSide = 65;
inline constexpr int kFaceSide = 81;

// --- frame places ------------------------------------------------------------

// Reads the values a frame place depends on from the record an animation
// serves: the first hero record, or the current record of the monsters, items
// or spells table. Values are CP1252.
struct FrameRecord {
    bool present = false;  // false when the table is closed or empty
    std::string tableName;
    std::string nome;                // the record's Nome (record folder); empty for the hero
    std::vector<std::string> files;  // one per frame of the animation, in frame order
};
FrameRecord readFrameRecord(TDataModule1& data, const Animation& animation);

// The native path of one frame, found without regard to letter case. Empty
// when the place cannot be built (no record, an empty or unsafe name).
QString framePath(const QString& projectFolder, const Animation& animation, const FrameRecord& record, int frame);

// Checks that every frame of the given list can be written, before anything
// is: a record, safe names, a record folder that exists, a known picture
// extension, no folder in the way. Throws Error naming the first problem.
// Returns the target paths in the order given.
std::vector<QString> checkedTargets(const QString& projectFolder, const Animation& animation, const FrameRecord& record,
                                    const std::vector<int>& frames);

}  // namespace quillmark
