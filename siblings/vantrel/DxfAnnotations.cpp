// Leaders and multileaders, tables, and the layout of multi-line text.
#include <algorithm>
#include <cmath>
#include "DxfReader.h"
#include "Geometry.h"

namespace Vantrel::DxfReading {

void CReader::MultiLeader(const SRecord& r, COLORREF color, const SMatrix& m, int depth)
{
    enum { kOutside, kContext, kLeader, kLine } state = kOutside;
    SPoint connection = {0, 0}, dogleg = {1, 0}, textAt = {0, 0}, blockAt = {0, 0}, blockScale = {1, 1};
    SPoint textDirection = {0, 0};
    double doglegLength = 0, arrow = ArrowLength(), height = 0, textWidth = 0, blockAngle = 0, textRotation = 0;
    bool frame = false, landing = true, hasBlock = false;
    int attach = 1;
    std::string text, blockHandle;
    std::vector<SPoint> line;
    std::vector<std::vector<SPoint>> lines;
    std::vector<std::pair<SPoint, SPoint>> landings;
    for (size_t i = r.first; i < r.last; ++i) {
        int code = m_groups[i].code;
        if (code == 300 && Is(i, "CONTEXT_DATA{")) { state = kContext; continue; }
        if (code == 302 && Is(i, "LEADER{")) { state = kLeader; doglegLength = 0; continue; }
        if (code == 304 && Is(i, "LEADER_LINE{")) { state = kLine; line.clear(); continue; }
        if (code == 305 && state == kLine) {
            line.push_back(connection);
            lines.push_back(line);
            state = kLeader;
            continue;
        }
        if (code == 303 && state == kLeader) {
            double length = std::sqrt(dogleg.x * dogleg.x + dogleg.y * dogleg.y);
            if (doglegLength > 0 && length > 1e-12)
                landings.push_back({connection, {connection.x + dogleg.x / length * doglegLength,
                                                 connection.y + dogleg.y / length * doglegLength}});
            state = kContext;
            continue;
        }
        if (code == 301) { state = kOutside; continue; }
        double v = code == 304 || code == 341 ? 0 : Number(i);
        if (state == kContext) {
            switch (code) {
            case 41: height = v; break;
            case 140: if (v > 0) arrow = v; break;
            case 304: text = Text(i); break;
            case 12: textAt.x = v; break;
            case 22: textAt.y = v; break;
            case 43: textWidth = v; break;
            case 13: textDirection.x = v; break;
            case 23: textDirection.y = v; break;
            case 42: textRotation = v; break;
            case 171: attach = static_cast<int>(v); break;
            case 296: hasBlock = v != 0; break;
            case 341: blockHandle = Text(i); break;
            case 15: blockAt.x = v; break;
            case 25: blockAt.y = v; break;
            case 16: blockScale.x = v; break;
            case 26: blockScale.y = v; break;
            case 46: blockAngle = v; break;
            }
        } else if (state == kLeader) {
            if (code == 10) connection.x = v;
            else if (code == 20) connection.y = v;
            else if (code == 11) dogleg.x = v;
            else if (code == 21) dogleg.y = v;
            else if (code == 40) doglegLength = v;
        } else if (state == kLine) {
            if (code == 10) line.push_back({v, 0});
            else if (code == 20 && !line.empty()) line.back().y = v;
        } else if (code == 292) {
            frame = v != 0;
        } else if (code == 290) {
            landing = v != 0;
        }
    }
    for (const std::vector<SPoint>& l : lines) {
        Polyline(l, false, color, m);
        if (l.size() >= 2)
            Arrow(l[0], l[1], arrow, color, m);
    }
    if (landing)
        for (const auto& [from, to] : landings)
            Polyline({from, to}, false, color, m);
    if (hasBlock) {
        auto name = m_blockNames.find(blockHandle);
        auto block = name == m_blockNames.end() ? m_blocks.end() : m_blocks.find(name->second);
        if (block != m_blocks.end() && depth < kMaxNesting && Finite(blockScale.x) && Finite(blockScale.y))
            DrawBlock(block->second, blockScale.x, blockScale.y, Rotation(blockAngle, blockAt).Then(m), color,
                      depth);
    }
    if (text.empty() || !(height > 0))
        return;
    // The text's location is its top-left corner (left-aligned
    // attachment); others align by their column.
    int column = attach >= 1 && attach <= 9 ? (attach - 1) % 3 : 0;
    double angle = textDirection.x != 0 || textDirection.y != 0 ? std::atan2(textDirection.y, textDirection.x)
                                                                 : textRotation;
    SMatrix place = Rotation(Finite(angle) ? angle : 0, textAt).Then(m);
    SExtents box = Paragraphs(MTextLines(text, height, textWidth), 1 + column, 1, color, place);
    if (frame && box.valid) {
        double gap = height * 0.5;
        Polyline({{box.minX - gap, box.maxY + gap}, {box.maxX + gap, box.maxY + gap},
                  {box.maxX + gap, box.minY - gap}, {box.minX - gap, box.minY - gap}},
                 true, color, place);
    }
}

void CReader::Arrow(SPoint tip, SPoint from, double size, COLORREF color, const SMatrix& m)
{
    double dx = tip.x - from.x, dy = tip.y - from.y, length = std::sqrt(dx * dx + dy * dy);
    if (!(length > 1e-12) || !(size > 0) || !Finite(size) || !Room())
        return;
    dx /= length;
    dy /= length;
    SPoint back = {tip.x - dx * size, tip.y - dy * size};
    double half = size / 6;
    SPrimitive p;
    p.kind = SPrimitive::kPolygon;
    p.color = color;
    for (SPoint q : {tip, SPoint{back.x - dy * half, back.y + dx * half}, SPoint{back.x + dy * half, back.y - dx * half}})
        p.points.push_back(m.Apply(q));
    m_drawing.primitives.push_back(std::move(p));
}

SExtents CReader::Paragraphs(const std::vector<STextLine>& lines, int attach, double spacing, COLORREF color,
                    const SMatrix& place)
{
    std::vector<double> down;  // baselines below the top
    double at = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        at += i == 0 ? lines[i].height : lines[i].height * 1.66 * spacing;
        down.push_back(at);
    }
    double total = at;
    int row = (attach - 1) / 3, column = (attach - 1) % 3;  // row 0 top, 1 middle, 2 bottom
    double top = row == 0 ? 0 : row == 1 ? total / 2 : total;
    SExtents box;
    for (size_t i = 0; i < lines.size(); ++i) {
        double w = TextWidth(lines[i].text, lines[i].height);
        double left = column == 0 ? 0 : column == 1 ? -w / 2 : -w;
        box.Add(left, top);
        box.Add(left + w, top - total);
        Text(lines[i].text, {0, top - down[i]}, lines[i].height, 0, column, 0, color, place);
    }
    return box;
}

void CReader::Leader(const SRecord& r, COLORREF color, const SMatrix& m)
{
    std::vector<SPoint> vertices;
    for (size_t i = r.first; i < r.last; ++i) {
        if (m_groups[i].code == 10)
            vertices.push_back({Number(i), 0});
        else if (m_groups[i].code == 20 && !vertices.empty())
            vertices.back().y = Number(i);
    }
    Polyline(vertices, false, color, m);
    if (Num(r, 71, 1) != 0 && vertices.size() >= 2)
        Arrow(vertices[0], vertices[1], ArrowLength(), color, m);
}

void CReader::Table(const SRecord& r, COLORREF color, const SMatrix& m, int depth)
{
    if (depth >= kMaxNesting)
        return;
    double angle = Has(r, 11) ? std::atan2(Num(r, 21), Num(r, 11)) : 0;
    if (!Finite(angle))
        angle = 0;
    SMatrix place = Rotation(angle, {Num(r, 10), Num(r, 20)}).Then(m);
    auto found = m_blocks.find(Str(r, 2));
    if (found != m_blocks.end() && !found->second.records.empty()) {
        DrawBlock(found->second, 1, 1, place, color, depth);
        return;
    }
    std::vector<double> heights, widths, textHeights;
    std::vector<std::string> texts;
    for (size_t i = r.first; i < r.last; ++i) {
        int code = m_groups[i].code;
        if (code == 141 && heights.size() < kMaxTableCells) heights.push_back(Number(i));
        else if (code == 142 && widths.size() < kMaxTableCells) widths.push_back(Number(i));
        else if (code == 140) textHeights.push_back(Number(i));
        else if (code == 1) texts.push_back(Text(i));
    }
    double total = 0, across = 0;
    for (double h : heights) total += Finite(h) && h > 0 ? h : 0;
    for (double w : widths) across += Finite(w) && w > 0 ? w : 0;
    if (!(total > 0) || !(across > 0))
        return;
    // Rows run down from the insertion point, columns to the right.
    double y = 0;
    Polyline({{0, 0}, {across, 0}}, false, color, place);
    for (double h : heights) {
        y -= Finite(h) && h > 0 ? h : 0;
        Polyline({{0, y}, {across, y}}, false, color, place);
    }
    double x = 0;
    Polyline({{0, 0}, {0, -total}}, false, color, place);
    for (double w : widths) {
        x += Finite(w) && w > 0 ? w : 0;
        Polyline({{x, 0}, {x, -total}}, false, color, place);
    }
    size_t cell = 0;
    double top = 0;
    for (size_t row = 0; row < heights.size(); ++row) {
        double left = 0;
        for (size_t column = 0; column < widths.size() && cell < texts.size(); ++column, ++cell) {
            double h = cell < textHeights.size() ? textHeights[cell] : heights[row] * 0.4;
            Text(TextSymbols(texts[cell]), {left + widths[column] / 2, top - heights[row] / 2}, h, 0, 1, 2,
                 color, place);
            left += widths[column];
        }
        top -= heights[row];
    }
}

}  // namespace Vantrel::DxfReading
