#include "document/documentimage.h"

#include "document/shiftjis.h"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace pavelora {

using namespace docfile;

namespace {

void step(Progress* progress, int amount) {
    if (progress != nullptr) {
        progress->step(amount);
    }
}

// The index of `tile` in `tiles`, first match, or -1. Large groups are looked up in a map
// built once per group.
class TileIndex {
public:
    explicit TileIndex(const std::vector<std::unique_ptr<Tile>>& tiles) : tiles_(tiles) {
        if (tiles.size() > LinearLimit) {
            map_.reserve(tiles.size());
            for (std::size_t i = 0; i < tiles.size(); ++i) {
                map_.emplace(tiles[i].get(), static_cast<std::int32_t>(i));
            }
        }
    }

    std::int32_t find(const Tile* tile) const {
        if (tiles_.size() > LinearLimit) {
            auto it = map_.find(tile);
            return it == map_.end() ? FreeEdge : it->second;
        }
        for (std::size_t i = 0; i < tiles_.size(); ++i) {
            if (tiles_[i].get() == tile) {
                return static_cast<std::int32_t>(i);
            }
        }
        return FreeEdge;
    }

private:
    static constexpr std::size_t LinearLimit = 16;
    const std::vector<std::unique_ptr<Tile>>& tiles_;
    std::unordered_map<const Tile*, std::int32_t> map_; // emplace keeps the first index
};

} // namespace

bool keepsTitleBytes(const PrintSettings& settings) {
    return settings.titleBytes.size() == static_cast<qsizetype>(TitleSize) &&
           fromShiftJis(std::string_view(settings.titleBytes.constData(), TitleSize)) ==
               settings.title;
}

PrintSettingsBlock toPrintSettingsBlock(const PrintSettings& settings) {
    PrintSettingsBlock block;
    if (keepsTitleBytes(settings)) {
        std::copy(settings.titleBytes.begin(), settings.titleBytes.end(), block.title.begin());
    } else {
        const std::string title = toShiftJis(settings.title, TitleSize - 1);
        std::copy(title.begin(), title.end(), block.title.begin());
    }
    block.paperMarginX = settings.paperMarginX;
    block.paperMarginY = settings.paperMarginY;
    block.cutMarginX = settings.cutMarginX;
    block.cutMarginY = settings.cutMarginY;
    block.printForm = settings.printForm;
    block.reserved = settings.reserved;
    return block;
}

PrintSettings fromPrintSettingsBlock(const PrintSettingsBlock& block) {
    PrintSettings settings;
    settings.title = fromShiftJis(std::string_view(block.title.data(), block.title.size()));
    settings.titleBytes =
        QByteArray(block.title.data(), static_cast<qsizetype>(block.title.size()));
    settings.paperMarginX = block.paperMarginX;
    settings.paperMarginY = block.paperMarginY;
    settings.cutMarginX = block.cutMarginX;
    settings.cutMarginY = block.cutMarginY;
    settings.printForm = block.printForm;
    settings.reserved = block.reserved;
    return settings;
}

std::unique_ptr<DocumentImage> buildDocumentImage(const Document& doc, bool groupMode,
                                                  Progress* progress) {
    if (!doc.tileSet) {
        return nullptr;
    }
    const TileSet& set = *doc.tileSet;
    auto image = std::make_unique<DocumentImage>();

    // The header holds nothing but its constant texts.
    step(progress, 5);

    BoardChunk& board = image->board;
    board.boardCode = doc.view.boardCode;
    board.tileSizeRatio = doc.view.tileSizeRatio;
    board.zoom = doc.view.zoom;
    board.reserved = doc.boardReserved;
    board.boardColour = doc.view.boardColour;
    board.patternOn = static_cast<std::uint32_t>(doc.patternOn);
    board.groupMode = groupMode ? 1 : 0;
    step(progress, 5);

    TileSetChunk& tileSet = image->tileSet;
    tileSet.code = set.code;
    tileSet.outlineInset = set.outlineInset;
    tileSet.outlineRatio2 = set.outlineRatio2;
    tileSet.kinds.reserve(set.kindCodes.size());
    for (std::size_t i = 0; i < set.kindCodes.size(); ++i) {
        KindRecord record;
        record.kind = set.kindCodes[i];
        record.colour = i < set.kindColours.size() ? set.kindColours[i] : Rgb{};
        record.tileCount = i < doc.kindCounts.size() ? doc.kindCounts[i] : 0;
        tileSet.kinds.push_back(record);
    }
    tileSet.pairColours.reserve(set.pairColours.size());
    for (const Rgb& colour : set.pairColours) {
        tileSet.pairColours.push_back(PairColourRecord{colour});
    }
    step(progress, 5);

    std::vector<GroupRecord>& groups = image->groupTable.groups;
    groups.reserve(doc.board.groups.size());
    for (const auto& group : doc.board.groups) {
        GroupRecord& groupRecord = groups.emplace_back();
        groupRecord.tiles.reserve(group->tiles.size());
        const TileIndex indexOf(group->tiles);
        for (std::size_t t = 0; t < group->tiles.size(); ++t) {
            const Tile& tile = *group->tiles[t];
            TileRecord& tileRecord = groupRecord.tiles.emplace_back();
            tileRecord.kind = tile.kind;
            tileRecord.index = static_cast<std::int32_t>(t);
            tileRecord.rotation = tile.rotation;
            tileRecord.x = tile.x;
            tileRecord.y = tile.y;
            tileRecord.edges.reserve(tile.outline.edges.size());
            for (std::size_t e = 0; e < tile.outline.edges.size(); ++e) {
                const TileEdge& edge = tile.outline.edges[e];
                EdgeRecord& edgeRecord = tileRecord.edges.emplace_back();
                edgeRecord.index = static_cast<std::int32_t>(e);
                edgeRecord.x1 = edge.x1;
                edgeRecord.y1 = edge.y1;
                edgeRecord.x2 = edge.x2;
                edgeRecord.y2 = edge.y2;
                edgeRecord.joinedTile =
                    edge.neighbour != nullptr ? indexOf.find(edge.neighbour) : FreeEdge;
            }
        }
    }
    step(progress, 5);

    image->printSettings = toPrintSettingsBlock(doc.printSettings);
    return image;
}

} // namespace pavelora
