#include "core/geometry/tileset.h"

#include <algorithm>
#include <cmath>

namespace pavelora {

const std::array<TileSetEntry, 5> TileSetCatalogue = {{
    {setcode::PenroseNo1, "Penrose No.1"},
    {setcode::PenroseNo2, "Penrose No.2"},
    {setcode::PenroseNo3, "Penrose No.3"},
    {setcode::Durer, "Durer"},
    {setcode::Kepler, "Kepler"},
}};

const std::array<BoardSize, 10> BoardSizeTable = {{
    {60001, "Ａ３縦", 297, 420},
    {60002, "Ａ３横", 420, 297},
    {60003, "Ａ４縦", 210, 297},
    {60004, "Ａ４横", 297, 210},
    {60005, "Ｂ４縦", 257, 364},
    {60006, "Ｂ４横", 364, 257},
    {60007, "Ｂ５縦", 182, 257},
    {60008, "Ｂ５横", 257, 182},
    {60009, "官製はがき縦", 100, 148},
    {60010, "官製はがき横", 148, 100},
}};

const BoardSize* findBoardSize(std::int32_t boardCode) {
    for (const BoardSize& row : BoardSizeTable) {
        if (row.code == boardCode) {
            return &row;
        }
    }
    return nullptr;
}

int TileSet::kindIndex(std::int32_t kindCode) const {
    auto it = std::find(kindCodes.begin(), kindCodes.end(), kindCode);
    return it == kindCodes.end() ? -1 : static_cast<int>(it - kindCodes.begin());
}

namespace {

struct KindEntry {
    std::int32_t code;
    const char* name;
    Rgb colour;
};

struct SetContents {
    std::int32_t code;
    std::vector<KindEntry> kinds;
    std::vector<Rgb> pairColours;
    std::int32_t hasPairPattern;
    double extent;
    double outlineRatio2;
};

const std::vector<SetContents>& setContents() {
    static const std::vector<SetContents> contents = {
        {setcode::PenroseNo1,
         {{kind::Dart, "Dart", {200, 0, 0}}, {kind::Kaite, "Kaite", {0, 200, 200}}},
         {{0, 0, 255}, {255, 0, 0}},
         1,
         2.3511410091789253,
         0.01},
        {setcode::PenroseNo2,
         {{kind::WideDiamond, "Wide Diamond", {200, 0, 0}},
          {kind::NarrowDiamond2, "Narrow Diamond", {0, 200, 200}}},
         {{0, 0, 255}, {255, 0, 0}},
         1,
         1.902113032590307,
         0.0030901699437494742},
        {setcode::PenroseNo3,
         {{kind::Pentagon1, "Pentagon1", {100, 50, 50}},
          {kind::Pentagon2, "Pentagon2", {150, 60, 60}},
          {kind::Pentagon3, "Pentagon3", {180, 70, 70}},
          {kind::Pentagram3, "Pentagram", {200, 200, 0}},
          {kind::WanedPentagram, "Waned Pentagram", {0, 200, 0}},
          {kind::NarrowDiamond3, "Narrow Diamond", {0, 200, 200}}},
         {{0, 255, 0}, {0, 0, 0}, {0, 0, 255}, {255, 0, 0}},
         1,
         2.752763840942347,
         0.0016245984811645317},
        {setcode::Durer,
         {{kind::Pentagon, "Pentagon", {200, 0, 0}},
          {kind::NarrowDiamondDurer, "Narrow Diamond", {0, 200, 200}}},
         {},
         0,
         1.902113032590307,
         0.0030901699437494742},
        {setcode::Kepler,
         {{kind::Pentagon, "Pentagon", {200, 0, 0}},
          {kind::PentagramKepler, "Pentagram", {200, 200, 0}},
          {kind::Decagon, "Decagon", {0, 200, 0}},
          {kind::WanedDecagon, "Waned Decagon", {0, 200, 200}}},
         {},
         0,
         4.045084971874737,
         0.005257311121191336},
    };
    return contents;
}

} // namespace

std::unique_ptr<TileSet> createTileSet(std::int32_t setCode, std::int32_t* patternOn) {
    const auto& all = setContents();
    auto contents = std::find_if(all.begin(), all.end(),
                                 [setCode](const SetContents& c) { return c.code == setCode; });
    auto entry = std::find_if(TileSetCatalogue.begin(), TileSetCatalogue.end(),
                              [setCode](const TileSetEntry& e) { return e.code == setCode; });
    if (contents == all.end() || entry == TileSetCatalogue.end()) {
        return nullptr;
    }

    auto set = std::make_unique<TileSet>();
    set->code = setCode;
    set->name = entry->name;
    set->hasPairPattern = contents->hasPairPattern;
    for (const KindEntry& k : contents->kinds) {
        set->kindCodes.push_back(k.code);
        set->kindNames.emplace_back(k.name);
        set->kindColours.push_back(k.colour);
    }
    set->pairColours = contents->pairColours;
    set->directionCount = 20;
    set->directionStep = 18;
    set->extent = contents->extent;
    set->outlineInset = 0.01;
    set->outlineRatio2 = contents->outlineRatio2;

    if (patternOn != nullptr) {
        *patternOn = set->hasPairPattern;
    }
    return set;
}

AngleTable createAngleTable(const TileSet& tileSet) {
    AngleTable table;
    table.count = tileSet.directionCount;
    table.sines.resize(table.count);
    table.cosines.resize(table.count);
    for (int k = 0; k < table.count; ++k) {
        const int degrees = tileSet.directionStep * k;
        const double radians = degrees * 0.017453292519943295;
        table.sines[k] = std::sin(radians);
        table.cosines[k] = std::cos(radians);
    }
    return table;
}

} // namespace pavelora
