#pragma once

#include "tests/support/recordingshell.h"

#include <gtest/gtest.h>

namespace pavelora::test {

// An editor on a 96 dpi screen, talking to a fake shell.
struct EditorHarness : testing::Test {
    static constexpr double PxPerMm = 96 / 25.4;
    FakeShell shell;
    Editor editor{shell, PxPerMm, PxPerMm};

    EditorHarness() { editor.resized(1000, 700); }
    void newDocument(std::int32_t set = setcode::PenroseNo1, std::int32_t board = 60004) {
        shell.newChoices.push_back(NewDocumentChoice{set, board});
        ASSERT_TRUE(editor.invokeMenuCommand(cmd::New));
        ASSERT_TRUE(editor.documentOpen());
    }
    Document& doc() { return *editor.document(); }
    Selection& sel() { return editor.board().selection(); }
    // A tile dropped on the pixel of a board position in centimetres.
    Tile* placeAt(std::int32_t kind, double x, double y) {
        const BoardPixel p = boardToPixel(doc().view, x, y);
        return placeTile(doc(), kind, 0, p.x, p.y);
    }
};

} // namespace pavelora::test
