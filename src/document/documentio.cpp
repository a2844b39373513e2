#include "document/documentio.h"

#include "core/board/hittest.h"
#include "core/geometry/edgeindex.h"
#include "core/geometry/tilebuilder.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <limits>
#include <new>
#include <vector>

namespace pavelora {

namespace {

// Runs one step of the rebuild; allocation failure inside it is the step's failure.
template <typename F> bool attempt(F&& f) {
    try {
        return f();
    } catch (const std::bad_alloc&) {
        return false;
    }
}

OpenResult refused(ImageFault fault = ImageFault::None) {
    OpenResult result;
    result.status = OpenStatus::Unreadable;
    result.fault = fault;
    return result;
}

OpenResult reported(ErrorReporter& errors, const char* code) {
    errors.reportError(code);
    OpenResult result;
    result.status = OpenStatus::ErrorReported;
    return result;
}

// 2 × the sum of the stored palette counts, kept within what a progress total can hold.
int progressTotal(const TileSetChunk& tileSet) {
    long long sum = 0;
    for (const KindRecord& kind : tileSet.kinds) {
        sum += kind.tileCount;
    }
    return static_cast<int>(
        std::clamp(2 * sum, 0LL, static_cast<long long>(std::numeric_limits<int>::max())));
}

// Extends the group's bounding box by a tile position: the first tile sets it, later ones
// move a side only when strictly beyond it.
void extendBoundingBox(TileGroup& group, const Tile& tile, bool first) {
    if (first) {
        group.minX = group.maxX = tile.x;
        group.minY = group.maxY = tile.y;
        return;
    }
    if (tile.x < group.minX) {
        group.minX = tile.x;
    }
    if (tile.x > group.maxX) {
        group.maxX = tile.x;
    }
    if (tile.y < group.minY) {
        group.minY = tile.y;
    }
    if (tile.y > group.maxY) {
        group.maxY = tile.y;
    }
}

} // namespace

SaveStatus saveDocument(const QString& path, const Document& doc, bool groupMode,
                        Progress& progress) {
    if (path.isEmpty()) {
        return SaveStatus::EmptyPath;
    }
    progress.setText(QStringLiteral("ファイル書き込み中"));
    progress.start(100);

    std::unique_ptr<DocumentImage> image;
    try {
        image = buildDocumentImage(doc, groupMode, &progress);
    } catch (const std::bad_alloc&) {
        return SaveStatus::NotBuilt;
    }
    if (!image) {
        return SaveStatus::NotBuilt;
    }

    // The new file takes the old one's place only when it is complete. Unbuffered, every
    // write reaches the file at once and reports its own failure: a failure inside a
    // buffer flush would not stop the commit from renaming an incomplete file.
    try {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            return SaveStatus::CannotCreate;
        }
        const bool written = writeDocumentImage(file, *image, &progress);
        image.reset();
        if (!written || !file.flush() || file.error() != QFileDevice::NoError) {
            file.cancelWriting();
            return SaveStatus::WriteFailed;
        }
        return file.commit() ? SaveStatus::Saved : SaveStatus::WriteFailed;
    } catch (const std::bad_alloc&) {
        return SaveStatus::WriteFailed;
    }
}

OpenResult openDocument(const QString& path, const ScreenGeometry& screen, Progress& progress,
                        ErrorReporter& errors) {
    if (path.isEmpty()) {
        OpenResult result;
        result.status = OpenStatus::CannotOpen;
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        OpenResult result;
        result.status = OpenStatus::CannotOpen;
        return result;
    }
    progress.setText(QStringLiteral("ファイル読み込み中"));

    std::unique_ptr<DocumentImage> image;
    try {
        image = readDocumentImage(file);
    } catch (const std::bad_alloc&) {
        return refused();
    }
    file.close();
    if (!image) {
        return refused();
    }
    return openDocumentImage(*image, screen, progress, errors);
}

OpenResult openDocumentImage(const DocumentImage& image, const ScreenGeometry& screen,
                             Progress& progress, ErrorReporter& errors) {
    ImageFault fault = ImageFault::None;
    PrintSettings printSettings;
    if (!attempt([&] {
            fault = checkDocumentImage(image);
            printSettings = fromPrintSettingsBlock(image.printSettings);
            return true;
        })) {
        return refused();
    }
    if (fault != ImageFault::None) {
        return refused(fault);
    }

    // The view of the stored board, zoom, tile size and colour.
    View view;
    view.pxPerMmX = screen.pxPerMmX;
    view.pxPerMmY = screen.pxPerMmY;
    openViewFromDocument(view, screen.clientWidth, screen.clientHeight, image.board.boardCode,
                         image.board.tileSizeRatio, image.board.zoom, image.board.boardColour);

    // The stored set with its stored insets and colours: record i gives colour i, whatever
    // kind the record names.
    std::unique_ptr<TileSet> tileSet;
    if (!attempt([&] {
            tileSet = createTileSet(image.tileSet.code);
            return true;
        })) {
        return refused();
    }
    if (!tileSet) {
        return refused(ImageFault::UnknownTileSet);
    }
    tileSet->outlineInset = image.tileSet.outlineInset;
    tileSet->outlineRatio2 = image.tileSet.outlineRatio2;
    for (std::size_t i = 0; i < image.tileSet.kinds.size() && i < tileSet->kindColours.size();
         ++i) {
        tileSet->kindColours[i] = image.tileSet.kinds[i].colour;
    }
    for (std::size_t j = 0; j < image.tileSet.pairColours.size() && j < tileSet->pairColours.size();
         ++j) {
        tileSet->pairColours[j] = image.tileSet.pairColours[j].colour;
    }

    AngleTable angles;
    if (!attempt([&] {
            angles = createAngleTable(*tileSet);
            return true;
        })) {
        return reported(errors, "EM003");
    }

    std::unique_ptr<Document> doc;
    if (!attempt([&] {
            doc = std::make_unique<Document>();
            doc->kindCounts.assign(tileSet->kindCodes.size(), 0);
            return true;
        })) {
        return reported(errors, "EM004");
    }
    doc->tileSet = std::move(tileSet);
    doc->angles = std::move(angles);
    doc->view = view;
    doc->patternOn = static_cast<std::int32_t>(image.board.patternOn);
    doc->boardReserved = image.board.reserved;
    doc->printSettings = std::move(printSettings);
    doc->jpegSettings = JpegSettings{};

    progress.start(progressTotal(image.tileSet));

    const std::int32_t directionCount = doc->directionCount();
    for (const GroupRecord& record : image.groupTable.groups) {
        std::unique_ptr<TileGroup> group;
        if (!attempt([&] {
                group = newGroup();
                return group != nullptr;
            })) {
            return reported(errors, "EM005");
        }

        std::vector<Tile*> tileSlots;
        if (!attempt([&] {
                tileSlots.resize(record.tiles.size(), nullptr);
                return true;
            })) {
            return reported(errors, "EM006");
        }

        for (std::size_t t = 0; t < record.tiles.size(); ++t) {
            const TileRecord& tileRecord = record.tiles[t];
            std::unique_ptr<Tile> tile;
            if (!attempt([&] {
                    tile = buildTile(doc->tileSet.get(), &doc->angles, tileRecord.kind,
                                     tileRecord.rotation);
                    return tile != nullptr;
                })) {
                return reported(errors, "EM007");
            }
            tileSlots[t] = tile.get();
            tile->x = tileRecord.x;
            tile->y = tileRecord.y;
            if (!attempt([&] { return appendTileRaw(*group, std::move(tile)) != nullptr; })) {
                return reported(errors, "EM008");
            }
            progress.step(1);
        }

        const auto tileCount = static_cast<std::int32_t>(tileSlots.size());
        for (std::size_t t = 0; t < tileSlots.size(); ++t) {
            Tile& tile = *tileSlots[t];
            const std::vector<EdgeRecord>& edges = record.tiles[t].edges;
            const std::size_t n = std::min(edges.size(), tile.outline.edges.size());
            for (std::size_t e = 0; e < n; ++e) {
                TileEdge& edge = tile.outline.edges[e];
                const EdgeRecord& stored = edges[e];
                edge.x1 = stored.x1;
                edge.y1 = stored.y1;
                edge.x2 = stored.x2;
                edge.y2 = stored.y2;
                edge.owner = &tile;
                edge.neighbour = stored.joinedTile >= 0 && stored.joinedTile < tileCount
                                     ? tileSlots[static_cast<std::size_t>(stored.joinedTile)]
                                     : nullptr;
            }
            if (!attempt([&] {
                    tile.edgeIndex = buildEdgeIndex(tile.outline, directionCount);
                    return true;
                })) {
                return reported(errors, "EM009");
            }
            extendBoundingBox(*group, tile, t == 0);
            progress.step(1);
        }
        tileSlots.clear();
        group->oneWayLinks = hasOneWayLinks(*group);

        if (!attempt([&] {
                group->boundary = buildGroupBoundary(*group, directionCount);
                group->region = groupProximityRegion(*group, doc->view);
                return true;
            })) {
            return reported(errors, "EM010");
        }

        if (!attempt([&] { return appendGroup(doc->board, std::move(group)) != nullptr; })) {
            return reported(errors, "EM011");
        }
    }

    progress.setText(QStringLiteral("入力データ表示準備中"));

    // The palette counts follow the kind codes of the records; a record whose kind the set
    // does not have has no palette cell to count for.
    for (const KindRecord& kind : image.tileSet.kinds) {
        const int index = doc->tileSet->kindIndex(kind.kind);
        if (index >= 0) {
            doc->kindCounts[static_cast<std::size_t>(index)] = kind.tileCount;
        }
    }

    OpenResult result;
    result.status = OpenStatus::Opened;
    result.document = std::move(doc);
    result.groupMode = image.board.groupMode == 1;
    return result;
}

} // namespace pavelora
