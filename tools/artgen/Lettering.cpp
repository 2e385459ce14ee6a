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
        l.push_back({'C', 14, {ArcPoints({7, 10}, 7, 10, -40, -320, 24)}});
        l.push_back({'E', 10, {{{10, 0}, {0, 0}, {0, 20}, {10, 20}}, {{0, 9}, {8, 9}}}});
        l.push_back({'I', 0, {{{0, 0}, {0, 20}}}});
        l.push_back({'N', 13, {{{0, 20}, {0, 0}, {13, 20}, {13, 0}}}});
        l.push_back({'O', 14, {ArcPoints({7, 10}, 7, 10, 0, 360, 28)}});
        l.push_back({'P', 10, {Join(Join({{0, 20}, {0, 0}, {5, 0}}, ArcPoints({5, 5}, 5, 5, -90, 90, 12)), {{0, 10}})}});
        l.push_back({'S', 11, {Join(ArcPoints({5.5, 5}, 5.5, 5, -30, -270, 14), ArcPoints({5.5, 15}, 5.5, 5, -90, 150, 14))}});
        l.push_back({'U', 14, {Join(Join({{0, 0}}, ArcPoints({7, 13}, 7, 7, 180, 0, 14)), {{14, 0}})}});
        l.push_back({'W', 20, {{{0, 0}, {5, 20}, {10, 4}, {15, 20}, {20, 0}}}});
        l.push_back({'f', 8, {Join(ArcPoints({7, 4}, 3.5, 4, -30, -180, 8), {{3.5, 20}}), {{0, 9}, {8, 9}}}});
        l.push_back({'g', 10, {ArcPoints({5, 14.5}, 5, 5.5, 0, 360, 24), Join({{10, 9}, {10, 23}}, ArcPoints({5, 23}, 5, 3, 0, 150, 8))}});
        l.push_back({'l', 0, {{{0, 0}, {0, 20}}}});
        l.push_back({'n', 10, {{{0, 8}, {0, 20}}, Join(ArcPoints({5, 13}, 5, 5, 180, 360, 12), {{10, 20}})}});
        l.push_back({'o', 10, {ArcPoints({5, 14}, 5, 6, 0, 360, 24)}});
        l.push_back({'p', 10, {ArcPoints({5, 14.5}, 5, 5.5, 0, 360, 24), {{0, 9}, {0, 26}}}});
        l.push_back({'s', 9, {Join(ArcPoints({4.5, 11}, 4.5, 3, -30, -270, 12), ArcPoints({4.5, 17}, 4.5, 3, -90, 150, 12))}});
        l.push_back({'t', 7, {Join({{3, 3}}, ArcPoints({6, 17}, 3, 3, 180, 90, 6)), {{0, 9}, {7, 9}}}});
        l.push_back({'u', 10, {Join(Join({{0, 8}}, ArcPoints({5, 15}, 5, 5, 180, 0, 12)), {{10, 8}}), {{10, 8}, {10, 20}}}});
        l.push_back({'x', 9, {{{0, 8}, {9, 20}}, {{9, 8}, {0, 20}}}});
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
