#include "apps/cli/DemoMaps.h"

#include "model/core/Error.h"
#include "model/core/Text.h"

#include <map>
#include <set>

namespace quillmark::cli::demo {

namespace {

// --- the ground (lower layer) -------------------------------------------------
// '#' dirt path and 'w' water are shaped by their neighbours (see below).
const std::map<char, int> kGround = {
    {'g', 48},   // grass
    {'f', 49},   // grass with flowers
    {'c', 50},   // meadow
    {'t', 51},   // tall grass
    {'F', 52},   // forest floor
    {'d', 53},   // bare earth
    {'s', 54},   // sand
    {'v', 55},   // gravel
    {'y', 59},   // dry grass
    {'p', 71},   // cobbles
    {'W', 73},   // deep water
    {'=', 83},   // bridge, east-west
    {'I', 170},  // bridge, north-south
    {'k', 171},  // pier
    {'a', 168},  // wheat
    {'o', 169},  // vegetable beds
    {'C', 93},   // cave floor
    {'L', 182},  // lava (animated)
    {'~', 180},  // rippling water (animated)
};

// --- things standing on the ground (upper layer) ------------------------------
const std::map<char, int> kThings = {
    {'T', 120},  // tree
    {'P', 121},  // pine
    {'A', 122},  // apple tree
    {'Y', 123},  // dead tree
    {'b', 124},  // bush
    {'B', 125},  // flowering bush
    {'r', 126},  // stone
    {'R', 127},  // rock
    {'k', 128},  // stump
    {'m', 129},  // mushrooms
    {'j', 130},  // reeds
    {'L', 131},  // fallen log
    {'-', 132},  // fence, east-west
    {'|', 133},  // fence, north-south
    {'+', 134},  // fence corner
    {'C', 135},  // chest
    {'S', 137},  // sign
    {'O', 138},  // barrel
    {'x', 139},  // crate
    {'v', 140},  // vase
    {'W', 141},  // well
    {'i', 142},  // lamp post
    {'n', 143},  // bench
    {'h', 155},  // hay
    {'Z', 151},  // bones
    {'K', 152},  // crystal
    {'M', 166},  // stalagmite
    {'#', 103},  // cave wall
    {'e', 156},  // cave mouth
    {'E', 157},  // ladder
    {'o', 172},  // boat
    {'t', 173},  // tent
    {'U', 174},  // market stall
    {'F', 175},  // flower box
    {'G', 176},  // gate
    {'l', 177},  // firewood
    {'Q', 178},  // scarecrow
    {'f', 185},  // camp fire (animated)
    {'q', 184},  // fountain (animated)
    {'*', 188},  // glowing crystal (animated)
    {'!', 191},  // flag (animated)
};

// Things and grounds the hero walks over; every other thing, and water, is
// marked 'X' in the event layer.
const std::set<int> kWalkableThings = {129, 130, 156, 157, 114, 115, 176};
const std::set<int> kBlockingGround = {72, 73, 74, 75, 76, 77, 78, 79, 80, 81, 180, 182};

bool isWater(char c) { return c == 'w' || c == 'W' || c == '~' || c == '=' || c == 'I' || c == 'k'; }

// A path cell joins its neighbours that are paths, cobbles, bridges or the
// map's edge (a road leaving the map), and the door above it.
bool joinsPath(const MapDesign& d, const std::vector<std::vector<int>>& upper, int r, int c, int n) {
    if (r < 0 || c < 0 || r >= n || c >= n) return true;
    const char g = d.ground[static_cast<size_t>(r)][static_cast<size_t>(c)];
    if (g == '#' || g == 'p' || g == '=' || g == 'I' || g == 'k') return true;
    const int u = upper[static_cast<size_t>(r)][static_cast<size_t>(c)];
    return u == 114 || u == 115 || u == 156;  // doors and the cave mouth
}

int pathTile(unsigned mask) {
    enum : unsigned { N = 1, E = 2, S = 4, W = 8 };
    switch (mask) {
    case 0:
        return 53;
    case N:
    case S:
    case N | S:
        return 61;
    case E:
    case W:
    case E | W:
        return 60;
    case S | E:
        return 62;
    case S | W:
        return 63;
    case N | E:
        return 64;
    case N | W:
        return 65;
    case E | W | S:
        return 66;
    case E | W | N:
        return 67;
    case N | S | E:
        return 69;
    case N | S | W:
        return 70;
    default:
        return 68;
    }
}

// A water cell shows a grass edge on each side where land lies; the map's
// edge counts as more water, so lakes run on beyond it.
int waterTile(const MapDesign& d, int r, int c, int n, int open) {
    auto land = [&](int rr, int cc) {
        if (rr < 0 || cc < 0 || rr >= n || cc >= n) return false;
        return !isWater(d.ground[static_cast<size_t>(rr)][static_cast<size_t>(cc)]);
    };
    const bool north = land(r - 1, c), south = land(r + 1, c), west = land(r, c - 1), east = land(r, c + 1);
    if (north && west) return 78;
    if (north && east) return 79;
    if (south && west) return 80;
    if (south && east) return 81;
    if (north) return 74;
    if (south) return 75;
    if (west) return 76;
    if (east) return 77;
    return open;
}

std::string cp1252(const std::string& utf8) {
    std::string out;
    if (!utf8ToCp1252(utf8, &out)) throw Error("Texto inválido no projeto de demonstração: " + utf8);
    return out;
}

}  // namespace

void paint(const MapDesign& d, MapGrid& grid) {
    const int n = static_cast<int>(d.ground.size());
    if (static_cast<int>(d.things.size()) != n) throw Error("Mapa " + d.name + ": as camadas têm alturas diferentes");
    for (int r = 0; r < n; ++r)
        if (static_cast<int>(d.ground[static_cast<size_t>(r)].size()) != n ||
            static_cast<int>(d.things[static_cast<size_t>(r)].size()) != n)
            throw Error("Mapa " + d.name + ": a linha " + std::to_string(r + 1) + " não tem " + std::to_string(n) +
                        " células");

    // The upper layer first: paths look at the doors standing on it.
    std::vector<std::vector<int>> upper(static_cast<size_t>(n), std::vector<int>(static_cast<size_t>(n), 0));
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) {
            const char ch = d.things[static_cast<size_t>(r)][static_cast<size_t>(c)];
            if (ch == '.') continue;
            const auto it = kThings.find(ch);
            if (it == kThings.end())
                throw Error("Mapa " + d.name + ": '" + std::string(1, ch) + "' não é uma coisa conhecida");
            upper[static_cast<size_t>(r)][static_cast<size_t>(c)] = it->second;
        }
    for (const Stamp& s : d.buildings)
        for (size_t i = 0; i < s.codes.size(); ++i)
            for (size_t j = 0; j < s.codes[i].size(); ++j)
                upper.at(static_cast<size_t>(s.row - 1) + i).at(static_cast<size_t>(s.column - 1) + j) = s.codes[i][j];

    grid.newGrid(n);
    for (int r = 0; r < n; ++r) {
        for (int c = 0; c < n; ++c) {
            const char ch = d.ground[static_cast<size_t>(r)][static_cast<size_t>(c)];
            int fundo = 0;
            if (ch == '#') {
                unsigned mask = 0;
                if (joinsPath(d, upper, r - 1, c, n)) mask |= 1;
                if (joinsPath(d, upper, r, c + 1, n)) mask |= 2;
                if (joinsPath(d, upper, r + 1, c, n)) mask |= 4;
                if (joinsPath(d, upper, r, c - 1, n)) mask |= 8;
                fundo = pathTile(mask);
            } else if (ch == 'w') {
                fundo = waterTile(d, r, c, n, 72);
            } else {
                const auto it = kGround.find(ch);
                if (it == kGround.end())
                    throw Error("Mapa " + d.name + ": '" + std::string(1, ch) + "' não é um chão conhecido");
                fundo = it->second;
            }
            const int thing = upper[static_cast<size_t>(r)][static_cast<size_t>(c)];
            const int tipo = thing ? thing : fundo;
            grid.setFundo(r + 1, c + 1, static_cast<unsigned char>(fundo));
            grid.setTipo(r + 1, c + 1, static_cast<unsigned char>(tipo));
            const bool blocked = (thing && !kWalkableThings.count(thing)) || kBlockingGround.count(fundo);
            grid.setXO(r + 1, c + 1, blocked ? 'X' : 'O');
        }
    }
    for (const Event& e : d.events) {
        if (!grid.inMap(e.row, e.column)) throw Error("Mapa " + d.name + ": evento fora do mapa");
        grid.setEvento(e.row, e.column, cp1252(e.text));
        // A cell the hero examines may stay blocked (a sign, a door); one he
        // steps on or a character's home is open ground.
        if (e.text.rfind("OnActionPress>", 0) != 0) grid.setXO(e.row, e.column, 'O');
    }
}

// -----------------------------------------------------------------------------
// The maps

namespace {

// Houses, as blocks of the upper layer: roof ridge, eaves, front wall.
const std::vector<std::vector<int>> kInn = {{111, 111, 113, 111}, {112, 112, 112, 112}, {107, 117, 114, 107}};
const std::vector<std::vector<int>> kRedHouse = {{111, 113, 111}, {112, 112, 112}, {116, 114, 116}};
const std::vector<std::vector<int>> kThatchedHouse = {{110, 110, 110}, {110, 110, 110}, {99, 114, 107}};

// The village the game starts in, and its little story: the Harvest Festival
// is tomorrow, Pedro has lost his cat, old Tomás swears a storm is coming.
MapDesign vila() {
    MapDesign d;
    d.name = "Vila";
    //             1234567890abcd
    d.ground = {"ggggggggggwwww",   //  1
                "ggggggggggwwww",   //  2
                "ggggggggcgwwww",   //  3
                "ggggggggfgwwww",   //  4
                "ggg#ggg#gggggg",   //  5
                "fgg#ggg#ggfggg",   //  6
                "###ppppppp####",   //  7
                "gggpppppppg#gg",   //  8
                "gggpppppppg#gg",   //  9
                "gcgggg#gggg#gg",   // 10
                "ggfggg#gggoooo",   // 11
                "gggggg#gggoaao",   // 12
                "gg#####gggoooo",   // 13
                "ggggcggfggcggg"};  // 14
    d.things = {"PT.A.P...T.j..",   //  1
                "b.........j...",   //  2
                "..........j...",   //  3
                "A.........j...",   //  4
                ".Ox.F.F.F..b..",   //  5
                ".S........B...",   //  6
                "..............",   //  7
                "T.i...W.xUi...",   //  8
                "....n.....O...",   //  9
                "b........+-G--",   // 10
                ".........|....",   // 11
                ".B.....A.|..Q.",   // 12
                ".........|....",   // 13
                "TPbT.TA.PTb.TP"};  // 14
    d.buildings = {{2, 2, kInn}, {2, 7, kRedHouse}, {10, 2, kThatchedHouse}};
    d.events = {
        // The traveller arrives at the inn's door.
        {5, 4,
         "OnActionPress>ShowDialog:Face02.bmp|Enfim, Vale Sereno! Dizem que a Festa da Colheita começa amanhã "
         "na praça.&"},
        {4, 4, "OnActionPress>ShowMessage:A estalagem está lotada por causa da festa. Volte mais tarde!&"},
        {6, 2,
         "OnActionPress>ShowMessage:VALE SERENO - Festa da Colheita amanhã na praça! Informações com a Lena, "
         "perto do poço.&"},
        // The square.
        {9, 8, "AddChar:Lena|2"},
        {8, 5, "AddChar:Pedro|12"},
        {8, 7,
         "OnActionPress>ShowMessage:Você joga uma moeda no poço dos desejos e pede um verão fresquinho...&"
         "IniciaNeve:ShowMessage:E começa a nevar em pleno verão!&"},
        {9, 5,
         "OnActionPress>ShowMessage:Você descansa um pouco no banco. O céu clareia.&PararNeve:PararChuva:"
         "PararTempestade:"},
        // The market stall asks before it sells.
        {8, 10,
         "OnActionPress>QuestaoObjetiva:Maçãs fresquinhas e poções para a viagem! Uma poção por 10 moedas?&"
         "Sim:SeDinheiro:10&DarDinheiro:-10&AdicionarItem:1|Poção&ShowMessage:Obrigada! Boa viagem.&"
         "Senao:ShowMessage:Você não tem moedas suficientes. Dizem que há um baú na floresta...&FimSe:"
         "Nao:ShowMessage:Volte sempre! As maçãs são por conta da casa.&FimQuestao:"},
        {4, 8,
         "OnActionPress>;ShowMessage:Toc, toc... Ninguém atende.&;ShowMessage:Um bilhete na porta diz: "
         "\"Fui ajudar na praça\".&;"},
        // Tomás's house opens once he has said so (switch 1).
        {12, 3,
         "OnActionPress>SeInterruptor:1|Ligado&ShowMessage:A porta range e se abre. Sobre a mesa há uma Semente da "
         "Força e um bilhete: \"Para a caverna. Cuidado com o ogro! - Tomás\"&AdicionarItem:1|Semente da Força&"
         "ApagarEvento:Senao:ShowMessage:Trancada. Uma plaquinha diz: \"Volto depois da festa\".&FimSe:"},
        // Pedro's cat sleeps in the reeds by the lake.
        {3, 11,
         "OnActionPress>ShowMessage:Entre os juncos, um gatinho cinzento dorme ao sol. Deve ser o Bolinha!&"
         "ShowDialog:Face03.bmp|Vou contar ao Pedro onde ele está.&"},
        // Old Tomás and his scarecrow, in the garden past the gate.
        {12, 12, "AddChar:Tomas|1"},
        {12, 13,
         "OnActionPress>IniciaTempestade:ShowMessage:O espantalho range com o vento... e um trovão ecoa pelo "
         "vale!&ShowDialog:Face05.bmp|O Tomás tinha razão! Melhor descansar no banco da praça até passar.&"},
        // The roads out of the village.
        {7, 14,
         "OnPlayerTouch>IniciaChuva:ShowMessage:Nuvens escuras cobrem o caminho da floresta...&"
         "MudarMapa:2|7|Floresta.xml&"},
        {7, 1, "OnPlayerTouch>PararChuva:ShowMessage:O céu clareia sobre a estrada do oeste.&"},
    };
    return d;
}

MapDesign floresta() {
    MapDesign d;
    d.name = "Floresta";
    //             1234567890abcd
    d.ground = {"FFFFFFFFgvvvvv",   //  1
                "FFFFFFFFgvvvvv",   //  2
                "FFFFFFFggvv#vv",   //  3
                "FFFFFFFgggg#gg",   //  4
                "FFFgggggcgg#gg",   //  5
                "FFgggggccgg#gF",   //  6
                "############gF",   //  7
                "gggg#ggggg#gFF",   //  8
                "gggg#gggggkggF",   //  9
                "gdddd#ggwwkwww",   // 10
                "gdddddggwwkwww",   // 11
                "gddddgggwwwwww",   // 12
                "ggggggggwwwwww",   // 13
                "FFgggggwwwwwww"};  // 14
    d.things = {"PTPPTPTP.RRRRR",   //  1
                "TP.P.PT.Rr.e.R",   //  2
                "P.m..T....r.rR",   //  3
                "TP...P..b.T..P",   //  4
                "P.T...A...T..P",   //  5
                "Tk...b..B.T..P",   //  6
                "..............",   //  7
                ".T.....k.T..P.",   //  8
                "..t...B.j....P",   //  9
                "L...........o.",   // 10
                "l..f.L........",   // 11
                "P....B..j.....",   // 12
                "TC..b..T......",   // 13
                "PTP.Tj........"};  // 14
    d.events = {
        // The road back to the village.
        {7, 1, "OnPlayerTouch>PararChuva:MudarMapa:13|7|Vila.xml&"},
        // A chest that gives once.
        {13, 2,
         "OnActionPress>ShowMessage:Dentro do baú há 50 moedas e uma poção!&DarDinheiro:50&AdicionarItem:1|Poção&"
         "ApagarEvento:"},
        {11, 4, "OnActionPress>ShowDialog:Face03.bmp|Uma fogueira ainda quente... alguém acampou aqui há pouco.&"},
        // The ogre guarding the cave: no running from it. Beaten, it lets the
        // hero by for good (switch 2).
        {3, 12,
         "OnPlayerTouch>QuestaoObjetiva:Um ogro enorme guarda a entrada da caverna: \"Ninguém passa!\" "
         "Enfrentá-lo?&Sim:IniciarBatalha:SemFuga|Ogro&LigarInterruptor:2&"
         "ShowMessage:O ogro foge floresta adentro. O caminho para a caverna está livre!&ApagarEvento:"
         "Nao:ShowMessage:Melhor voltar quando estiver mais forte.&MoverHeroi:B&FimQuestao:"},
        {2, 12,
         "OnPlayerTouch>SeInterruptor:2|Ligado&ShowMessage:Um vento gelado sopra da caverna.&"
         "MudarMapa:2|4|Caverna.xml&Senao:ShowMessage:O ogro não deixa ninguém passar.&MoverHeroi:B&FimSe:"},
    };
    return d;
}

MapDesign caverna() {
    MapDesign d;
    d.name = "Caverna";
    //             1234567890abcd
    d.ground = {"CCCCCCCCCCCCCC",   //  1
                "CCCCCCCCCCCCCC",   //  2
                "CCCCCCCCCCCCCC",   //  3
                "CCCCCCCCCCCCCC",   //  4
                "CCCCCCCCCCCCCC",   //  5
                "CCCCCCCCCLLLCC",   //  6
                "CCCCCCCCCLLLCC",   //  7
                "CCCCCCCCCCCCCC",   //  8
                "CCCCCCCCCCCCCC",   //  9
                "CCCCCCCCCCCCCC",   // 10
                "CCCCCCCCCCCCCC",   // 11
                "CCCCCCCCCCCCCC",   // 12
                "CCCCCCCCCCCCCC",   // 13
                "CCCCCCCCCCCCCC"};  // 14
    d.things = {"##############",   //  1
                "##############",   //  2
                "#E....M...*..#",   //  3
                "#..........K.#",   //  4
                "#.M...Z......#",   //  5
                "##......#....#",   //  6
                "#..K....#....#",   //  7
                "#.....###..M.#",   //  8
                "#*...........#",   //  9
                "#....M...Z...#",   // 10
                "##.......##..#",   // 11
                "#..K....##..C#",   // 12
                "#...M.....*..#",   // 13
                "##############"};  // 14
    d.events = {
        // The ladder back up to the forest, by the cave's mouth.
        {3, 2, "OnPlayerTouch>ShowMessage:A escada leva de volta à floresta.&MudarMapa:12|3|Floresta.xml&"},
        {4, 12, "OnActionPress>ShowDialog:Face05.bmp|Que cristal enorme! Ele brilha como uma estrela.&"},
        {12, 13, "OnActionPress>PararNeve:ShowMessage:Você encontrou a Coroa de Cristal!&"},
        {8, 4, "OnPlayerTouch>IniciaTempestade:ShowMessage:O chão treme e um trovão ecoa pela caverna!&"},
    };
    return d;
}

}  // namespace

const std::vector<MapDesign>& demoMaps() {
    static const std::vector<MapDesign> maps = {vila(), floresta(), caverna()};
    return maps;
}

}  // namespace quillmark::cli::demo
