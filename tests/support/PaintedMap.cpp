#include "PaintedMap.h"

namespace qmtest {

quillmark::MapGrid paintedGrid(int n) {
    quillmark::MapGrid g;
    g.newGrid(n);
    const int river = n * 2 / 3 + 1;  // a river running down one column band
    const int road = n / 2 + 1;       // a road crossing from left to right
    for (int r = 1; r <= n; ++r) {
        for (int c = 1; c <= n; ++c) {
            unsigned char fundo = '0';  // grass under everything
            unsigned char tipo = '0';
            const unsigned h = static_cast<unsigned>(r * 7919 + c * 104729) % 97u;
            if (h < 6)
                tipo = '1';  // flowers
            else if (h < 9)
                tipo = '2';  // meadow
            else if (h < 12)
                tipo = 'x';  // a tree (drawn over the grass)
            else if (h < 14)
                tipo = '|';  // a bush
            else if (h == 14)
                tipo = '~';  // a stone
            if (c == river || c == river + 1) tipo = 'H';
            if (c == river - 1) tipo = 'L';
            if (c == river + 2) tipo = 'M';
            if (r == road) tipo = (c >= river - 1 && c <= river + 2) ? 'S' : '<';
            g.setFundo(r, c, fundo);
            g.setTipo(r, c, tipo);
        }
    }
    // A small house north of the road.
    if (n >= 8) {
        for (int c = 3; c <= 6; ++c) {
            g.setTipo(2, c, 'l');
            g.setTipo(3, c, 'l');
            g.setTipo(4, c, c == 4 ? 'r' : (c == 6 ? 't' : 'c'));
        }
        g.setTipo(5, 4, '=');
        g.setEvento(4, 4, "OnActionPress>;ShowMessage:Bem-vindo \xe0 vila!&;");
        g.setXO(4, 3, 'X');
        g.setXO(4, 5, 'X');
        g.setXO(4, 6, 'X');
        g.setTipo(6, 7, '\x87');  // a chest
        g.setEvento(6, 7, "OnActionPress>;ShowMessage:Um ba\xfa!&;");
    }
    return g;
}

}  // namespace qmtest
