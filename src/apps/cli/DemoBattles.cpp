// The battles of the demo: four monsters with their frames, a picture and an
// animation for every spell, items, the maps' battle backgrounds and which
// monsters wander where. Everything is drawn here, when the build makes the
// demo, as the template set is drawn.
#include "apps/cli/DemoMaps.h"

#include "model/core/Paths.h"
#include "model/core/Picture.h"
#include "model/core/RecordTable.h"
#include "model/core/Text.h"
#include "model/database/DataModule.h"
#include "model/mapedit/MapProperties.h"

#include <QDir>
#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace quillmark::cli::demo {

namespace {

constexpr double kPi = 3.14159265358979;
const QColor kKey(255, 0, 255);  // the colour left out: the bottom-left pixel

std::string cp(const char* utf8) {
    std::string out;
    utf8ToCp1252(utf8, &out);
    return out;
}

// A picture in the project, its record folder made when needed.
void save(const QString& folder, const std::string& relativeCp1252, const QImage& image) {
    const QString path = projectPath(folder, relativeCp1252);
    QDir().mkpath(QFileInfo(path).absolutePath());
    Picture(image).SaveToFile(path);
}

QImage canvas(int side) {
    QImage img(side, side, QImage::Format_RGB32);
    img.fill(kKey);
    return img;
}

// What a monster frame shows.
enum class Act { Stand, Attack, Cast, Face };

// One monster's body, drawn around the centre of a 64 x 64 picture; `t` runs
// from 0 to 1 through the six frames of the act.
using Body = void (*)(QPainter& p, Act act, double t);

void eyes(QPainter& p, QPointF left, QPointF right, double r, QColor colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(left, r, r);
    p.drawEllipse(right, r, r);
}

void slime(QPainter& p, Act act, double t) {
    const double squash = act == Act::Stand    ? std::sin(t * 2 * kPi) * 3
                          : act == Act::Attack ? -6 * std::sin(t * kPi)
                                               : 0;
    const double lunge = act == Act::Attack ? -10 * std::sin(t * kPi) : 0;
    QRectF body(10 + lunge, 24 + squash, 44, 36 - squash);
    QRadialGradient g(body.center() + QPointF(-6, -8), 30);
    g.setColorAt(0, QColor(170, 240, 140));
    g.setColorAt(1, QColor(40, 150, 60));
    p.setPen(QPen(QColor(20, 80, 30), 2));
    p.setBrush(g);
    QPainterPath path;
    path.moveTo(body.left(), body.bottom());
    path.cubicTo(body.left(), body.top() - 6, body.right(), body.top() - 6, body.right(), body.bottom());
    path.closeSubpath();
    p.drawPath(path);
    eyes(p, body.center() + QPointF(-8, 0), body.center() + QPointF(6, 0), 3.5, QColor(20, 30, 20));
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawEllipse(body.center() + QPointF(-12, -10), 4, 3);
}

void bat(QPainter& p, Act act, double t) {
    const double flap = std::sin(t * 2 * kPi * (act == Act::Stand ? 1 : 2)) * 10;
    const double lunge = act == Act::Attack ? -12 * std::sin(t * kPi) : 0;
    const QPointF c(32 + lunge, 30 + (act == Act::Stand ? std::sin(t * 2 * kPi) * 3 : 0));
    p.setPen(QPen(QColor(40, 10, 50), 2));
    p.setBrush(QColor(110, 60, 140));
    for (int side : {-1, 1}) {
        QPainterPath wing;
        wing.moveTo(c);
        wing.lineTo(c + QPointF(side * 28, -10 - flap));
        wing.lineTo(c + QPointF(side * 22, 4 - flap / 2));
        wing.lineTo(c + QPointF(side * 14, 0));
        wing.lineTo(c + QPointF(side * 8, 10));
        wing.closeSubpath();
        p.drawPath(wing);
    }
    p.setBrush(QColor(80, 40, 100));
    p.drawEllipse(c, 10, 12);
    p.drawPolygon(QPolygonF{c + QPointF(-8, -8), c + QPointF(-5, -18), c + QPointF(-2, -9)});
    p.drawPolygon(QPolygonF{c + QPointF(8, -8), c + QPointF(5, -18), c + QPointF(2, -9)});
    eyes(p, c + QPointF(-4, -3), c + QPointF(4, -3), 2.2, QColor(255, 220, 60));
}

void wolf(QPainter& p, Act act, double t) {
    const double lunge = act == Act::Attack ? -14 * std::sin(t * kPi) : 0;
    const double breathe = act == Act::Stand ? std::sin(t * 2 * kPi) * 1.5 : 0;
    const QPointF o(lunge, breathe);
    p.setPen(QPen(QColor(40, 40, 50), 2));
    p.setBrush(QColor(130, 135, 150));
    p.drawRoundedRect(QRectF(18, 30, 36, 18).translated(o), 8, 8);                             // body
    for (double x : {22.0, 30.0, 44.0, 50.0}) p.drawRect(QRectF(x, 44, 4, 14).translated(o));  // legs
    QPainterPath head;  // facing left, towards the hero's enemies' side
    head.moveTo(QPointF(22, 26) + o);
    head.lineTo(QPointF(6, 34) + o);
    head.lineTo(QPointF(10, 40) + o);
    head.lineTo(QPointF(26, 40) + o);
    head.closeSubpath();
    p.drawPath(head);
    p.drawPolygon(QPolygonF{QPointF(18, 28) + o, QPointF(20, 18) + o, QPointF(24, 27) + o});
    p.drawLine(QPointF(54, 34) + o, QPointF(62, 26 + breathe * 2) + o);  // tail
    eyes(p, QPointF(14, 32) + o, QPointF(14, 32) + o, 2,
         act == Act::Cast ? QColor(120, 200, 255) : QColor(230, 60, 40));
}

void golem(QPainter& p, Act act, double t) {
    const double lunge = act == Act::Attack ? -8 * std::sin(t * kPi) : 0;
    const double sway = act == Act::Stand ? std::sin(t * 2 * kPi) * 1.5 : 0;
    const QPointF o(lunge + sway, 0);
    p.setPen(QPen(QColor(50, 45, 40), 2));
    p.setBrush(QColor(140, 125, 105));
    p.drawRoundedRect(QRectF(16, 18, 32, 30).translated(o), 5, 5);  // chest
    p.drawRoundedRect(QRectF(22, 4, 20, 16).translated(o), 4, 4);   // head
    p.drawRoundedRect(QRectF(4, 20 + (act == Act::Attack ? -8 * std::sin(t * kPi) : 0), 12, 28).translated(o), 4, 4);
    p.drawRoundedRect(QRectF(48, 20, 12, 28).translated(o), 4, 4);  // arms
    p.drawRect(QRectF(20, 48, 10, 12).translated(o));
    p.drawRect(QRectF(34, 48, 10, 12).translated(o));  // legs
    p.setPen(QPen(QColor(90, 80, 65), 1));
    p.drawLine(QPointF(22, 30) + o, QPointF(34, 38) + o);
    p.drawLine(QPointF(38, 22) + o, QPointF(44, 34) + o);
    eyes(p, QPointF(28, 11) + o, QPointF(36, 11) + o, 2.5, QColor(120, 230, 255));
}

// The ogre guarding the cave: a green brute with tusks and a club over its
// shoulder. Drawn without smoothing, as the others are, so that no edge takes
// on the key colour.
void ogre(QPainter& p, Act act, double t) {
    const double swing = act == Act::Attack ? std::sin(t * kPi) : 0;  // 0 … 1 … 0
    const double breathe = act == Act::Stand ? std::sin(t * 2 * kPi) * 1.5 : 0;
    const QPointF o(-6 * swing, breathe);
    p.setPen(QPen(QColor(40, 50, 25), 2));
    // legs and belly
    p.setBrush(QColor(95, 70, 45));
    p.drawRect(QRectF(22, 48, 8, 12).translated(o));
    p.drawRect(QRectF(36, 48, 8, 12).translated(o));
    p.setBrush(QColor(120, 150, 70));
    p.drawEllipse(QRectF(14, 20, 38, 34).translated(o));
    p.setBrush(QColor(130, 95, 60));  // a loincloth
    p.drawRect(QRectF(18, 42, 30, 8).translated(o));
    // the head with its tusks
    p.setBrush(QColor(135, 165, 80));
    p.drawEllipse(QRectF(22, 4, 22, 20).translated(o));
    p.setBrush(QColor(245, 240, 220));
    p.drawPolygon(QPolygonF{QPointF(27, 18) + o, QPointF(28, 12) + o, QPointF(30, 18) + o});
    p.drawPolygon(QPolygonF{QPointF(36, 18) + o, QPointF(38, 12) + o, QPointF(39, 18) + o});
    eyes(p, QPointF(28, 11) + o, QPointF(37, 11) + o, 2, act == Act::Cast ? QColor(255, 120, 40) : QColor(230, 40, 30));
    // the club: raised behind the head, brought down towards the hero on the left
    p.setPen(QPen(QColor(60, 40, 20), 2));
    p.setBrush(QColor(150, 105, 60));
    p.save();
    p.translate(QPointF(50, 28) + o);
    p.rotate(-30 - 110 * swing);
    p.drawRoundedRect(QRectF(-3, -30, 7, 30), 3, 3);
    p.drawEllipse(QRectF(-6, -40, 13, 14));
    p.restore();
    p.setPen(QPen(QColor(40, 50, 25), 2));
    p.setBrush(QColor(120, 150, 70));
    p.drawEllipse(QRectF(44, 24, 12, 12).translated(o));  // the fist on the club
}

QImage monsterFrame(Body body, Act act, double t) {
    if (act == Act::Face) {
        QImage small = monsterFrame(body, Act::Stand, 0);
        QImage face = canvas(80);
        QPainter p(&face);
        p.fillRect(face.rect(), QColor(50, 60, 90));
        QImage body = small.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < body.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(body.scanLine(y));
            for (int x = 0; x < body.width(); ++x)
                if ((line[x] & 0xFFFFFF) == (kKey.rgb() & 0xFFFFFF)) line[x] = 0;
        }
        p.drawImage(QRect(-24, -8, 128, 128), body);
        return face;
    }
    // Drawn without smoothing, as pixel art: no edge pixel is blended with the key colour.
    QImage img = canvas(64);
    QPainter p(&img);
    body(p, act, t);
    if (act == Act::Cast) {  // sparks circling the caster
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 240, 120));
        for (int i = 0; i < 6; ++i) {
            const double a = i * kPi / 3 + t * 2 * kPi;
            p.drawRect(QRectF(30 + std::cos(a) * 24, 32 + std::sin(a) * 22, 4, 4));
        }
    }
    p.end();
    img.setPixel(0, img.height() - 1, kKey.rgb());
    return img;
}

struct DemoMonster {
    const char* name;
    Body body;
    int level, hp, mp, strength, defence, agility, money, experience;
    const char* spells[3];
};

// A burst of light in five frames: a spell's animation.
QImage spellFrame(QColor colour, int k, int kind) {
    QImage img = canvas(64);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const double r = 6 + k * 6;
    QRadialGradient g(QPointF(32, 32), r);
    g.setColorAt(0, QColor(255, 255, 255));
    g.setColorAt(0.4, colour);
    g.setColorAt(1, colour.darker(160));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    if (kind == 2) {  // a bolt
        p.setPen(QPen(colour, 4 - k * 0.5));
        p.drawPolyline(QPolygonF{QPointF(36, 0), QPointF(24, 24), QPointF(38, 30), QPointF(26, 64)});
    } else if (kind == 1) {  // sparkles rising
        for (int i = 0; i < 6; ++i) {
            const double a = i * kPi / 3 + k * 0.4;
            p.drawEllipse(QPointF(32 + std::cos(a) * r * 0.8, 40 - k * 5 + std::sin(a) * 8), 4, 4);
        }
    } else {
        p.drawEllipse(QPointF(32, 32), r, r * 0.9);
    }
    p.end();
    img.setPixel(0, 63, kKey.rgb());
    return img;
}

QImage itemPicture(QColor colour) {
    QImage img = canvas(40);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(40, 30, 30), 2));
    p.setBrush(colour);
    p.drawEllipse(QRectF(10, 14, 20, 20));
    p.setBrush(QColor(200, 170, 120));
    p.drawRect(QRectF(16, 6, 8, 9));
    p.end();
    img.setPixel(0, 39, kKey.rgb());
    return img;
}

// A battle background: sky, ground and what stands on it.
QImage background(int kind) {
    QImage img(320, 170, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient sky(0, 0, 0, 110);
    if (kind == 2) {
        sky.setColorAt(0, QColor(20, 16, 28));
        sky.setColorAt(1, QColor(60, 50, 70));
    } else {
        sky.setColorAt(0, QColor(90, 150, 230));
        sky.setColorAt(1, QColor(200, 225, 250));
    }
    p.fillRect(img.rect(), sky);
    QLinearGradient ground(0, 100, 0, 170);
    ground.setColorAt(0, kind == 2 ? QColor(80, 70, 75) : QColor(90, 160, 70));
    ground.setColorAt(1, kind == 2 ? QColor(40, 35, 40) : QColor(50, 110, 45));
    p.fillRect(QRect(0, 100, 320, 70), ground);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 9; ++i) {
        const double x = 12 + i * 37 + (i % 3) * 5;
        if (kind == 1) {  // the forest: trees behind the clearing
            p.setBrush(QColor(90, 60, 40));
            p.drawRect(QRectF(x - 3, 70, 6, 34));
            p.setBrush(QColor(30 + i * 5, 100 + (i % 3) * 15, 45));
            p.drawEllipse(QPointF(x, 62), 20, 26);
        } else if (kind == 2) {  // the cave: rocks and crystals
            p.setBrush(QColor(70, 60, 70));
            p.drawPolygon(QPolygonF{QPointF(x - 22, 0), QPointF(x + 22, 0), QPointF(x, 30 + (i % 4) * 10)});
            if (i % 3 == 1) {
                p.setBrush(QColor(140, 220, 255));
                p.drawPolygon(QPolygonF{QPointF(x - 6, 104), QPointF(x, 80), QPointF(x + 6, 104)});
            }
        } else if (i % 3 == 0) {  // the village: houses far away
            p.setBrush(QColor(200, 170, 130));
            p.drawRect(QRectF(x, 78, 30, 24));
            p.setBrush(QColor(170, 60, 50));
            p.drawPolygon(QPolygonF{QPointF(x - 4, 80), QPointF(x + 15, 64), QPointF(x + 34, 80)});
        }
    }
    p.end();
    return img;
}

void setFields(RecordTable& t, const std::vector<std::pair<const char*, std::string>>& fields) {
    for (const auto& [name, value] : fields) t.setString(name, value);
}

}  // namespace

void writeBattles(TDataModule1& data, const QString& projectFolder) {
    // Spells: every spell of the template gets its five frames in its record folder.
    RecordTable& spells = data.cdsMagias;
    const QColor spellColours[] = {QColor(255, 120, 30), QColor(120, 220, 255), QColor(255, 240, 90),
                                   QColor(110, 240, 140), QColor(120, 150, 255)};
    for (int n = 1; n <= spells.recordCount(); ++n) {
        spells.setRecNo(n);
        const std::string name = spells.asString("Nome");
        const int kind = spells.asInteger("TipoMagia") != 0 ? 1 : spells.asInteger("TipoAnim") == 1 ? 2 : 0;
        spells.edit();
        for (int k = 1; k <= 5; ++k) {
            const std::string file = "MgAni" + std::to_string(k) + ".bmp";
            spells.setString("Anim" + std::to_string(k), file);
            save(projectFolder, "Imagens\\" + name + "\\" + file, spellFrame(spellColours[(n - 1) % 5], k - 1, kind));
        }
        spells.post();
    }

    // Monsters: the slime and the bat of the forest, the wolf, the golem of the
    // cave, and the ogre guarding the cave's mouth (only met by its event).
    const DemoMonster monsters[] = {
        {"Slime", slime, 1, 20, 0, 9, 4, 6, 6, 8, {nullptr, nullptr, nullptr}},
        {"Morcego", bat, 2, 16, 4, 9, 3, 14, 9, 11, {"2", nullptr, nullptr}},
        {"Lobo", wolf, 3, 35, 0, 14, 6, 12, 14, 18, {nullptr, nullptr, nullptr}},
        {"Golem", golem, 8, 260, 30, 34, 28, 4, 120, 150, {"3", "4", nullptr}},
        {"Ogro", ogre, 6, 160, 0, 26, 14, 7, 200, 120, {nullptr, nullptr, nullptr}},
    };
    RecordTable& table = data.cdsMonstros;
    for (const DemoMonster& m : monsters) {
        table.insert();  // names the frames CharParado01.bmp … CharFace.bmp
        setFields(table, {{"Nome", m.name},
                          {"Nivel", std::to_string(m.level)},
                          {"HP", std::to_string(m.hp)},
                          {"MP", std::to_string(m.mp)},
                          {"Forca", std::to_string(m.strength)},
                          {"Defesa", std::to_string(m.defence)},
                          {"Agilidade", std::to_string(m.agility)},
                          {"Dinheiro", std::to_string(m.money)},
                          {"ExpGanha", std::to_string(m.experience)}});
        for (int i = 0; i < 3; ++i)
            if (m.spells[i]) table.setString("Magia" + std::to_string(i + 1), m.spells[i]);
        const std::string folder = std::string("Imagens\\") + m.name + "\\";
        for (int f = 1; f <= 6; ++f) {
            const std::string n = "0" + std::to_string(f);
            const double t = (f - 1) / 6.0;
            save(projectFolder, folder + table.asString("Parado" + n), monsterFrame(m.body, Act::Stand, t));
            save(projectFolder, folder + table.asString("Atacando" + n), monsterFrame(m.body, Act::Attack, t));
            save(projectFolder, folder + table.asString("UsMagia" + n), monsterFrame(m.body, Act::Cast, t));
        }
        save(projectFolder, folder + table.asString("Face"), monsterFrame(m.body, Act::Face, 0));
        table.post();
    }

    // Items: each with its picture; none has a battle animation.
    struct DemoItem {
        const char* name;
        const char* description;
        int action, amount;
        bool map, battle;
        const char* event;
        QColor colour;
    };
    const DemoItem items[] = {
        {"Poção", "Recupera 40 de HP.", 0, 40, true, true, "", QColor(220, 50, 60)},
        {"Elixir", "Recupera 20 de MP.", 1, 20, true, true, "", QColor(70, 110, 230)},
        {"Semente da Força", "Aumenta a força para sempre.", 4, 3, true, false,
         "ShowMessage:Você se sente mais forte!&", QColor(200, 150, 40)},
        {"Pergaminho Antigo", "Ensina segredos de batalha.", 7, 40, true, false,
         "ShowMessage:As palavras do pergaminho brilham e somem.&", QColor(230, 220, 180)},
    };
    RecordTable& itemTable = data.cdsItens;
    for (const DemoItem& it : items) {
        itemTable.insert();
        setFields(itemTable, {{"Nome", cp(it.name)},
                              {"Descricao", cp(it.description)},
                              {"Acao", std::to_string(it.action)},
                              {"AcaoAux", std::to_string(it.amount)},
                              {"Evento", cp(it.event)}});
        itemTable.setBoolean("usMapa", it.map);
        itemTable.setBoolean("usBatlle", it.battle);
        for (int k = 1; k <= 5; ++k) itemTable.clearField("Anim" + std::to_string(k));
        save(projectFolder, "Imagens\\" + cp(it.name) + "\\" + itemTable.asString("Imagem"), itemPicture(it.colour));
        itemTable.post();
    }

    // The hero sets out with a potion, an elixir and the old scroll.
    RecordTable& hero = data.cdsPersonagem;
    hero.first();
    hero.edit();
    hero.setString("Iten01", cp("Poção"));
    hero.setString("Iten02", "Elixir");
    hero.setString("Iten03", cp("Pergaminho Antigo"));
    hero.post();

    // Battle backgrounds, and random battles in the forest and the cave.
    const std::pair<const char*, int> maps[] = {{"Vila.xml", 0}, {"Floresta.xml", 1}, {"Caverna.xml", 2}};
    for (const auto& [map, kind] : maps) save(projectFolder, battleBackgroundFile(map), background(kind));
    storeMapSettings(projectFolder, "Floresta.xml", MapSettings{"", true, {"Slime", "Morcego", "Lobo"}});
    // The cave greets the hero each time he goes in.
    storeMapSettings(projectFolder, "Caverna.xml",
                     MapSettings{cp("PararChuva:ShowMessage:Está escuro e frio aqui dentro. Cuidado onde pisa!&"),
                                 true,
                                 {"Morcego", "Lobo", "Golem"}});
}

}  // namespace quillmark::cli::demo
