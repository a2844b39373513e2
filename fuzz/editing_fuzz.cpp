// Fuzz target for editing an opened document through the editor, as the user's mouse, keys
// and menu reach it. Built with libFuzzer by fuzz/run.sh; the editor tests also compile it
// and run it on the seeds of the document corpus.
//
// An input is a document file followed by editing operations: the bytes after the print
// settings (where the reader stops) are the operations. An input that does not read as a
// document starts a new document of the set and board its first two bytes choose, and all
// its bytes are operations. Each operation is a code byte and its arguments: clicks, drags,
// right clicks and keys on the tiles (hit tests, joins, detaches, moves, turns, deletes),
// tiles taken from the palette, mode and pattern switches, display-order tidying, the rules
// (dead ends, forced tiles, candidates), small generated patches, tile size, outline width,
// zoom and board colour, undo, redo and save. Every save must read, open and save again to
// the same bytes with every link inside its group; at the end, undoing every step must give
// back the document as it was opened, and redoing them all the document as it was edited.
#include "fuzz/editing_fuzz.h"

#include "document/documentimage.h"
#include "document/documentio.h"
#include "fuzz/document_fuzz.h"
#include "tests/support/recordingshell.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

using namespace pavelora;

[[noreturn]] void fail(const char* rule) {
    std::fprintf(stderr, "editing fuzz target: %s\n", rule);
    std::abort();
}

// The bytes the open document saves to (empty without one).
QByteArray imageBytes(Editor& editor) {
    const Document* doc = editor.document();
    if (doc == nullptr) {
        return {};
    }
    const auto image = buildDocumentImage(*doc, editor.board().groupMode());
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image || !writeDocumentImage(buffer, *image)) {
        fail("the open document builds no image");
    }
    return bytes;
}

// With PAVELORA_FUZZ_TRACE set, each step is printed: what was done, the document's hash and
// the change on top of the undo stack (to find which step of a failing input went wrong).
void trace(Editor& editor, const char* step, int code = -1) {
    static const bool on = qEnvironmentVariableIsSet("PAVELORA_FUZZ_TRACE");
    if (on) {
        const QUndoStack* stack = editor.history().stack();
        const int done = stack != nullptr ? stack->index() : 0;
        std::fprintf(stderr, "%s %d: document %zx, %d changes done, the last \"%s\"\n", step, code,
                     static_cast<std::size_t>(qHash(imageBytes(editor))), done,
                     done > 0 ? qPrintable(stack->command(done - 1)->text()) : "");
    }
}

// Reads operation arguments; past the end they are zero.
class Operations {
public:
    Operations(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool more() const { return at_ < size_; }
    int byte() { return at_ < size_ ? data_[at_++] : 0; }
    int signedByte() { return static_cast<int>(static_cast<std::int8_t>(byte())); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// A pixel near a tile chosen by index (or near the board's top left corner without tiles).
QPoint nearTile(Editor& editor, Operations& ops) {
    const Document& doc = *editor.document();
    const int index = ops.byte();
    const int dx = ops.signedByte() / 4;
    const int dy = ops.signedByte() / 4;
    std::vector<const Tile*> tiles;
    for (const auto& group : doc.board.groups) {
        for (const auto& tile : group->tiles) {
            tiles.push_back(tile.get());
        }
    }
    if (tiles.empty()) {
        return QPoint(doc.view.boardOriginX + index * 4 + dx,
                      doc.view.boardOriginY + index * 3 + dy);
    }
    const Tile& tile = *tiles[static_cast<std::size_t>(index) % tiles.size()];
    const BoardPixel p = boardToPixel(doc.view, tile.x, tile.y);
    return QPoint(p.x + dx, p.y + dy);
}

constexpr std::array kKeys{BoardKey::Space, BoardKey::Left,   BoardKey::Up, BoardKey::Right,
                           BoardKey::Down,  BoardKey::Delete, BoardKey::F1, BoardKey::F2,
                           BoardKey::F3,    BoardKey::F4,     BoardKey::F5, BoardKey::F6};
// Menu commands without a dialog; after them come the commands whose dialog the operation
// answers (see menuOperation).
constexpr std::array kMenu{cmd::TileMode,       cmd::GroupMode,     cmd::PatternOn,
                           cmd::PatternOff,     cmd::TidyOrder,     cmd::ShowDeadEnds,
                           cmd::AddForcedTiles, cmd::ShowCandidates};
constexpr int AnsweredCommands = 5;
constexpr int MaxOperations = 48; // below the undo limit, and quick

// A menu command; a dialog's answer comes from the operation's next bytes.
void menuOperation(Editor& editor, test::FakeShell& shell, Operations& ops) {
    const int pick = ops.byte() % static_cast<int>(kMenu.size() + AnsweredCommands);
    if (pick < static_cast<int>(kMenu.size())) {
        editor.invokeMenuCommand(kMenu[static_cast<std::size_t>(pick)]);
        return;
    }
    // The settings come from the dialogs their menu commands open, as in the program: the
    // command ends a move or turn still under way, then the dialog's answer is applied.
    const int value = ops.byte();
    const auto dialog = [&](int command) {
        return editor.invokeMenuCommand(command) && editor.document() != nullptr;
    };
    SettingsApplier& settings = editor.settings();
    switch (pick - static_cast<int>(kMenu.size())) {
    case 0: // a small patch: whole boards take too long for an input
        shell.generateChoices.push_back(
            GenerateChoice{value % 2 == 0 ? PatchSeed::Sun : PatchSeed::Star, 1 + value / 4});
        editor.invokeMenuCommand(cmd::Generate);
        shell.generateChoices.clear();
        break;
    case 1:
        if (dialog(cmd::TileSize)) {
            settings.applyTileSize(value * 2);
        }
        break;
    case 2:
        if (dialog(cmd::OutlineWidth)) {
            settings.applyOutlineWidth(value);
        }
        break;
    case 3:
        if (dialog(cmd::Zoom)) {
            settings.applyZoom(value * 2);
        }
        break;
    default:
        if (dialog(cmd::BoardColour)) {
            settings.applyBoardColour(Rgb{static_cast<std::uint8_t>(value),
                                          static_cast<std::uint8_t>(255 - value),
                                          static_cast<std::uint8_t>(value / 2)});
        }
        break;
    }
}

// Carries out one operation; false once the document is gone (an error ended it).
bool operate(Editor& editor, test::FakeShell& shell, Operations& ops, const QString& path) {
    BoardInteraction& board = editor.board();
    const int code = ops.byte() % 11;
    switch (code) {
    case 0: { // click: select, drop a picked tile, or join
        const QPoint p = nearTile(editor, ops);
        board.leftButtonUp(p.x(), p.y());
        break;
    }
    case 1: { // drag a tile or group, in a few moves
        const QPoint from = nearTile(editor, ops);
        board.leftButtonDown(from.x(), from.y());
        QPoint to = from;
        for (int steps = ops.byte() % 4; steps >= 0; --steps) {
            to += QPoint(ops.signedByte(), ops.signedByte());
            board.mouseMove(to.x(), to.y());
        }
        board.leftButtonUp(to.x(), to.y());
        break;
    }
    case 2: { // right click: detach
        const QPoint p = nearTile(editor, ops);
        board.rightButtonDown(p.x(), p.y(), ops.byte() % 2 == 1);
        break;
    }
    case 3: { // a key pressed and released: turn, move, delete, palette keys
        const int code = ops.byte();
        const BoardKey key = kKeys[static_cast<std::size_t>(code % kKeys.size())];
        board.keyDown(key, code >= 128);
        if (ops.byte() % 4 != 0) { // or left held until the next command
            board.keyUp(key);
        }
        break;
    }
    case 4: { // a kind taken from the palette
        const Palette* palette = editor.palette().cells();
        if (palette != nullptr && palette->count() > 0) {
            const PaletteCell& cell =
                palette->cells[static_cast<std::size_t>(ops.byte() % palette->count())];
            editor.palette().paletteClicked(cell.left + 1, cell.top + 1);
        }
        break;
    }
    case 5:
        editor.invokeMenuCommand(cmd::Undo);
        break;
    case 6:
        editor.invokeMenuCommand(cmd::Redo);
        break;
    case 7:
        menuOperation(editor, shell, ops);
        break;
    case 8: { // save, then the saved file must open and save to the same bytes
        // A new document is saved only once it has changed.
        shell.savePaths = {path};
        QFile::remove(path);
        if (!editor.invokeMenuCommand(cmd::Save) && !editor.invokeMenuCommand(cmd::SaveAs)) {
            break;
        }
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            fail("a saved document left no file");
        }
        const QByteArray saved = file.readAll();
        std::string again;
        const int outcome =
            paveloraFuzzOpen(reinterpret_cast<const std::uint8_t*>(saved.constData()),
                             static_cast<std::size_t>(saved.size()), &again);
        if (outcome != FuzzOpened) {
            QBuffer in(const_cast<QByteArray*>(&saved));
            in.open(QIODevice::ReadOnly);
            const auto image = readDocumentImage(in);
            std::fprintf(stderr, "outcome %d, fault %d\n", outcome,
                         image ? static_cast<int>(checkDocumentImage(*image)) : -1);
            fail("a saved document does not open");
        }
        if (QByteArray::fromStdString(again) != saved || saved != imageBytes(editor)) {
            fail("a saved document opens to other bytes than were saved");
        }
        break;
    }
    case 9:
        board.timerTick();
        break;
    default:
        board.wheel(ops.signedByte() * 8);
        break;
    }
    if (editor.document() == nullptr) {
        return false;
    }
    trace(editor, "operation", code);
    paveloraFuzzCheckLinks(*editor.document());
    return true;
}

} // namespace

void paveloraFuzzEditingInit() {
    static int argc = 1;
    static char name[] = "editing_fuzz";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance() == nullptr) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QGuiApplication(argc, argv); // for the whole run
        // The first document loads the fonts; that takes its time once, not in an input.
        const std::uint8_t newDocument[] = {0, 0};
        paveloraFuzzEdit(newDocument, sizeof newDocument);
    }
}

int paveloraFuzzEdit(const std::uint8_t* data, std::size_t size, int* steps) {
    static const QString folder = QDir::tempPath() + QStringLiteral("/pavelora-editing-fuzz-") +
                                  QString::number(QCoreApplication::applicationPid());
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/input.pvd");

    // Where the document ends and the operations begin.
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const bool readable = readDocumentImage(buffer) != nullptr;
    const auto opsAt = readable ? static_cast<std::size_t>(buffer.pos()) : 0;

    // A screen of 24 dpi: boards a sixteenth of the pixels of 96 dpi make an input three times
    // quicker, and tiles of a few pixels are edited as well as large ones.
    constexpr double PxPerMm = 24 / 25.4;
    test::FakeShell shell;
    Editor editor(shell, PxPerMm, PxPerMm);
    editor.resized(1000, 700);
    Operations ops(data + opsAt, size - opsAt);
    if (readable) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(bytes.left(static_cast<qsizetype>(opsAt))) != static_cast<qint64>(opsAt)) {
            fail("cannot write the input file");
        }
        file.close();
        shell.openPaths = {path};
        editor.invokeMenuCommand(cmd::Open);
    } else {
        const auto& sets = TileSetCatalogue;
        const std::int32_t set = sets[static_cast<std::size_t>(ops.byte()) % sets.size()].code;
        const std::int32_t board =
            BoardSizeTable[static_cast<std::size_t>(ops.byte()) % BoardSizeTable.size()].code;
        shell.newChoices.push_back(NewDocumentChoice{set, board});
        editor.invokeMenuCommand(cmd::New);
    }
    if (!editor.documentOpen()) {
        return FuzzEditNotOpened;
    }

    const QByteArray opened = imageBytes(editor);
    trace(editor, "opened");
    for (int n = 0; n < MaxOperations && ops.more(); ++n) {
        if (!operate(editor, shell, ops, path)) {
            return FuzzEditEnded;
        }
    }

    // Every step undone gives back the opened document, every step redone the edited one.
    const QByteArray edited = imageBytes(editor);
    int undone = 0;
    while (undone <= EditHistory::Limit && editor.invokeMenuCommand(cmd::Undo)) {
        ++undone;
        trace(editor, "undone", undone);
    }
    if (imageBytes(editor) != opened) {
        fail("undoing every step does not give back the opened document");
    }
    for (int i = 0; i < undone; ++i) {
        if (!editor.invokeMenuCommand(cmd::Redo)) {
            fail("a step undone cannot be redone");
        }
        trace(editor, "redone", i + 1);
    }
    if (imageBytes(editor) != edited) {
        fail("redoing every step does not give back the edited document");
    }
    if (steps != nullptr) {
        *steps = undone;
    }
    return FuzzEditDone;
}

#ifndef PAVELORA_FUZZ_NO_EDITING_ENTRY // linked into the editor tests
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    paveloraFuzzEditingInit();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    paveloraFuzzEdit(data, size);
    return 0;
}
#endif
