#pragma once

#include <QString>

#include <array>

namespace pavelora {

struct Document;

// A stored ratio (1.0 = 100 %) as a whole percentage, rounded to the nearest: a ratio set
// from 29 % is 0.29, whose product with 100 lies just below 29.
int percentOf(double ratio);

// The five texts of the status bar for an open document: board name, pair-pattern
// principle, zoom, tile size and outline width.
std::array<QString, 5> statusTexts(const Document& doc);

// Right edges of the five equal parts for a client width.
std::array<int, 5> statusPartEdges(int clientWidth);

} // namespace pavelora
