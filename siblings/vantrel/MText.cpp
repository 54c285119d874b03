// Text layout shared by the reader (wrapping, extents) and the renderer.
#include "MText.h"
#include <windows.h>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include "orvel/base/GdiHandles.h"

namespace Vantrel {

namespace {

constexpr int kMeasureSize = 1000;  // the em of the font the widths are read at
constexpr double kCapitalsPerEm = 0.7;  // the renderer's cap height over the em

// Advance widths of the ANSI characters in Arial, over the em.
const double* AdvanceTable()
{
    static double table[256];
    static std::once_flag once;
    std::call_once(once, [] {
        for (double& w : table)
            w = 0.55;
        Base::CMemoryDC dc(nullptr);
        Base::CFontHandle font(CreateFontW(-kMeasureSize, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                                           OUT_TT_ONLY_PRECIS, 0, 0, 0, L"Arial"));
        if (!dc || !font)
            return;
        Base::CSelectScope select(dc, font);
        INT widths[256];
        if (GetCharWidth32A(dc, 0, 255, widths))
            for (int i = 0; i < 256; ++i)
                table[i] = static_cast<double>(widths[i]) / kMeasureSize;
    });
    return table;
}

struct SLayout {
    double height = 0;  // the current height
    double width = 0;
    std::vector<STextLine> lines;
    std::string word;  // the word being read, not yet placed
    double wordHeight = 0;

    void Place()
    {
        if (word.empty())
            return;
        STextLine& line = lines.back();
        if (width > 0 && !line.text.empty()) {
            double h = std::max(line.height, wordHeight);
            if (TextWidth(line.text + word, h) > width) {
                // Spaces at the end of a wrapped line do not show.
                while (!line.text.empty() && line.text.back() == ' ')
                    line.text.pop_back();
                size_t start = word.find_first_not_of(' ');
                lines.push_back({word.substr(start == std::string::npos ? word.size() : start), wordHeight});
                word.clear();
                return;
            }
        }
        line.text += word;
        line.height = std::max(line.height, wordHeight);
        word.clear();
    }
    void Add(const std::string& text)
    {
        for (char c : text) {
            if (c == ' ')
                Place();
            word += c;
            wordHeight = std::max(wordHeight, height);
        }
    }
    void Break()
    {
        Place();
        wordHeight = 0;
        lines.push_back({std::string(), height});
    }
};

}  // namespace

double TextWidth(const std::string& text, double height)
{
    const double* advance = AdvanceTable();
    double em = 0;
    for (unsigned char c : text)
        em += advance[c];
    return em * height / kCapitalsPerEm;
}

std::string TextSymbols(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && s[i + 1] == '%') {
            char k = static_cast<char>(tolower(static_cast<unsigned char>(s[i + 2])));
            if (k == 'd') { out += '\xB0'; i += 2; continue; }
            if (k == 'p') { out += '\xB1'; i += 2; continue; }
            if (k == 'c') { out += '\xD8'; i += 2; continue; }
            if (k == 'u' || k == 'o') { i += 2; continue; }
            if (k == '%') { out += '%'; i += 2; continue; }
        }
        out += s[i];
    }
    return out;
}

std::vector<STextLine> MTextLines(const std::string& raw, double height, double width)
{
    std::string s = TextSymbols(raw);
    SLayout layout;
    layout.height = height;
    layout.width = width;
    layout.lines.push_back({std::string(), 0});
    std::vector<double> heights;  // saved by {, restored by }
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '{') {
            heights.push_back(layout.height);
            continue;
        }
        if (c == '}') {
            if (!heights.empty()) {
                layout.height = heights.back();
                heights.pop_back();
            }
            continue;
        }
        if (c != '\\' || i + 1 >= s.size()) {
            layout.Add(std::string(1, c));
            continue;
        }
        char k = s[++i];
        size_t end = s.find(';', i);
        std::string argument = s.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
        switch (k) {
        case 'P': layout.Break(); break;
        case 'N': layout.Break(); break;  // a column break reads as a line break
        case '~': layout.Add(std::string(1, '\xA0')); break;
        case '\\': case '{': case '}': layout.Add(std::string(1, k)); break;
        case 'L': case 'l': case 'O': case 'o': case 'K': case 'k': break;
        case 'H': {
            double value = strtod(argument.c_str(), nullptr);
            bool relative = !argument.empty() && (argument.back() == 'x' || argument.back() == 'X');
            double next = relative ? layout.height * value : value;
            if (next > 0 && std::isfinite(next))
                layout.height = next;
            i = end == std::string::npos ? s.size() : end;
            break;
        }
        case 'S': {
            // Stacked text a^b, a/b or a#b: shown as a/b.
            for (char& ch : argument)
                if (ch == '^' || ch == '#')
                    ch = '/';
            layout.Add(argument);
            i = end == std::string::npos ? s.size() : end;
            break;
        }
        case 'U':
            if (i + 5 < s.size() && s[i + 1] == '+') {
                wchar_t wide = static_cast<wchar_t>(strtoul(s.substr(i + 2, 4).c_str(), nullptr, 16));
                char narrow[8];
                int n = WideCharToMultiByte(CP_ACP, 0, &wide, 1, narrow, sizeof narrow, nullptr, nullptr);
                layout.Add(std::string(narrow, n > 0 ? n : 0));
                i += 5;
            }
            break;
        default:
            // \f...; \F...; \C...; \c...; \A...; \T...; \Q...; \W...; \p...;
            i = end == std::string::npos ? s.size() : end;
            break;
        }
    }
    layout.Place();
    for (STextLine& line : layout.lines)
        if (!(line.height > 0))
            line.height = height;
    return layout.lines;
}

}  // namespace Vantrel
