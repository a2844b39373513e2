#include "editor/statusbar.h"

#include "core/board/board.h"

#include <cmath>

namespace pavelora {

int percentOf(double ratio) {
    return static_cast<int>(std::lround(ratio * 100.0));
}

std::array<QString, 5> statusTexts(const Document& doc) {
    std::array<QString, 5> texts;
    if (const BoardSize* size = findBoardSize(doc.view.boardCode)) {
        texts[0] = QString::fromUtf8(size->name);
    }
    const bool pattern = doc.tileSet && doc.tileSet->hasPairPattern != 0;
    texts[1] =
        QStringLiteral("対原理：%1").arg(pattern ? QStringLiteral("有") : QStringLiteral("無"));
    texts[2] = QStringLiteral("ｽﾞｰﾑ:%1%").arg(percentOf(doc.view.zoom));
    texts[3] = QStringLiteral("ﾀｲﾙ寸法:%1%").arg(percentOf(doc.view.tileSizeRatio));
    if (doc.tileSet) {
        texts[4] = QStringLiteral("ﾀｲﾙ輪郭幅:%1%").arg(percentOf(doc.tileSet->outlineInset));
    }
    return texts;
}

std::array<int, 5> statusPartEdges(int clientWidth) {
    std::array<int, 5> edges{};
    for (int k = 0; k < 5; ++k) {
        edges[k] = (k + 1) * (clientWidth / 5);
    }
    return edges;
}

} // namespace pavelora
