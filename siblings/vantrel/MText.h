#pragma once
// Multi-line text: its formatting codes read, its paragraphs wrapped.
#include <string>
#include <vector>

namespace Vantrel {

struct STextLine {
    std::string text;
    double height = 0;  // the tallest height on the line
};

// Lines of a text with MTEXT codes: \P breaks, \~ hard spaces, \H sets the
// height (absolute, or relative with an x), \S stacks (a/b), \U+ code
// points, %% symbols; fonts, colours and other codes are dropped. With a
// width above 0, paragraphs wrap at spaces to stay within it.
std::vector<STextLine> MTextLines(const std::string& text, double height, double width);

// TEXT's %% symbols: degree, plus-minus, diameter; underline and overline
// marks dropped.
std::string TextSymbols(const std::string& text);

// The width of a line of text at a height of capitals, as the renderer
// draws it.
double TextWidth(const std::string& text, double height);

}  // namespace Vantrel
