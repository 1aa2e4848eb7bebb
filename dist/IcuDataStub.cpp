// ICU's empty data: the common-data header with no entries, as ICU's own
// "stubdata" library defines it. A game package carries this instead of the
// system's 30 MB libicudata: Qt's core library links ICU, but the player asks
// ICU for nothing that needs its data (its text conversions are its own, and
// Qt falls back to its own tables where ICU has no data). ICU answers a
// request for missing data with an error code, never a crash.
//
// ICU_DATA_SYMBOL is icudt<major>_dat for the system's ICU (set by CMake).
#include <cstdint>

typedef struct {
    uint16_t size;
    uint16_t reservedWord;
    uint8_t isBigEndian;
    uint8_t charsetFamily;
    uint8_t sizeofUChar;
    uint8_t reservedByte;
    uint8_t dataFormat[4];
    uint8_t formatVersion[4];
    uint8_t dataVersion[4];
} DataInfo;

typedef struct {
    uint16_t headerSize;
    uint8_t magic1, magic2;
    DataInfo info;
    char padding[8];
    uint32_t count, reserved;
    int fakeNameAndData[4];
} DataHeader;

extern "C" __attribute__((visibility("default")))
const DataHeader ICU_DATA_SYMBOL = {32,
                                    0xda,
                                    0x27,
                                    {sizeof(DataInfo),
                                     0,
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
                                     1,
#else
                                     0,
#endif
                                     0 /* ASCII family */,
                                     2,
                                     0,
                                     {0x54, 0x6f, 0x43, 0x50} /* "ToCP": a table of contents */,
                                     {1, 0, 0, 0},
                                     {0, 0, 0, 0}},
                                    {0, 0, 0, 0, 0, 0, 0, 0},
                                    0,
                                    0,
                                    {0, 0, 0, 0}};
