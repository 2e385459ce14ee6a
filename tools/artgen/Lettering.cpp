#include "Lettering.h"

#include <vector>

namespace artgen {
namespace {

constexpr double kGap = 5;

struct Letter {
    char c;
    double width;
    std::vector<std::vector<Pt>> paths;
};

const std::vector<Letter>& Alphabet()
{
    static const std::vector<Letter> letters = [] {
        std::vector<Letter> l;
        l.push_back({'A', 14, {{{0, 20}, {7, 0}, {14, 20}}, {{3, 13}, {11, 13}}}});
        l.push_back({'B', 11,
            {Join(Join({{0, 10}, {0, 0}, {5, 0}}, ArcPoints({5, 5}, 5, 5, -90, 90, 12)), {{0, 10}}),
                Join(Join({{0, 10}, {5, 10}}, ArcPoints({5.5, 15}, 5.5, 5, -90, 90, 12)), {{0, 20}, {0, 10}})}});
        l.push_back({'F', 10, {{{10, 0}, {0, 0}, {0, 20}}, {{0, 9}, {8, 9}}}});
        l.push_back({'T', 12, {{{0, 0}, {12, 0}}, {{6, 0}, {6, 20}}}});
        l.push_back({'a', 10, {ArcPoints({5, 14.5}, 5, 5.5, 0, 360, 24), {{10, 9}, {10, 20}}}});
        l.push_back({'c', 10, {ArcPoints({5, 14}, 5, 6, -40, -320, 20)}});
        l.push_back({'d', 10, {ArcPoints({5, 14.5}, 5, 5.5, 0, 360, 24), {{10, 0}, {10, 20}}}});
        l.push_back({'e', 10, {Join({{0, 14}, {10, 14}}, ArcPoints({5, 14}, 5, 6, 0, -320, 22))}});
        l.push_back({'h', 10, {{{0, 0}, {0, 20}}, Join(ArcPoints({5, 13}, 5, 5, 180, 360, 12), {{10, 20}})}});
        l.push_back({'i', 0, {{{0, 9}, {0, 20}}, {{0, 3}}}});
        l.push_back({'k', 9, {{{0, 0}, {0, 20}}, {{9, 8}, {0, 15}}, {{3, 13}, {9, 20}}}});
        l.push_back({'r', 8, {{{0, 8}, {0, 20}}, ArcPoints({6, 14}, 6, 6, 180, 285, 10)}});
        l.push_back({'w', 13, {{{0, 8}, {3.25, 20}, {6.5, 10}, {9.75, 20}, {13, 8}}}});
        l.push_back({'?', 12, {Join(ArcPoints({6, 6}, 6, 6, 180, 420, 18), {{6, 14}}), {{6, 20}}}});
        return l;
    }();
    return letters;
}

const Letter* Find(char c)
{
    for (const Letter& letter : Alphabet()) {
        if (letter.c == c)
            return &letter;
    }
    return nullptr;
}

} // namespace

bool HasLetter(char c)
{
    return Find(c) != nullptr;
}

double LetteringWidth(std::string_view text)
{
    double width = 0;
    bool first = true;
    for (char c : text) {
        const Letter* letter = Find(c);
        if (!letter)
            continue;
        width += (first ? 0 : kGap) + letter->width;
        first = false;
    }
    return width;
}

void AddLettering(Scene& scene, std::string_view text, double x, double y, double scale, double width, Rgb colour,
    double* advance)
{
    double at = 0;
    bool first = true;
    for (char c : text) {
        const Letter* letter = Find(c);
        if (!letter)
            continue;
        if (!first)
            at += kGap;
        first = false;
        for (const std::vector<Pt>& path : letter->paths) {
            std::vector<Pt> placed;
            for (const Pt& p : path)
                placed.push_back({x + (at + p.x) * scale, y + p.y * scale});
            scene.Stroke(std::move(placed), width, colour);
        }
        at += letter->width;
    }
    if (advance)
        *advance = at * scale;
}

} // namespace artgen
