// Drags from another X program played as its client messages: the answers
// it gets over windows that take files and over those that do not, the
// keys its actions stand for, the drop's files, and what an untrusted
// source cannot make us do.

#include "platform/ui/DragTarget.h"
#include "platform/ui/internal/XdndTarget.h"
#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace uitest;

namespace {

// The drop effects, as the class library names them.
constexpr DWORD DROPEFFECT_NONE = 0;
constexpr DWORD DROPEFFECT_COPY = 1;
constexpr DWORD DROPEFFECT_MOVE = 2;
constexpr DWORD DROPEFFECT_LINK = 4;

constexpr unsigned long kSource = 0x500001;
constexpr unsigned long kStranger = 0x600001;
constexpr unsigned long kProxy = 0x700001;

platform::XdndAtoms Atoms()
{
    platform::XdndAtoms a;
    a.enter = 101;
    a.position = 102;
    a.status = 103;
    a.leave = 104;
    a.drop = 105;
    a.finished = 106;
    a.uriList = 200;
    a.actionCopy = 301;
    a.actionMove = 302;
    a.actionLink = 303;
    return a;
}

struct Sent {
    unsigned long to;
    unsigned long type;
    long data[5];
};

class FakeSource final : public platform::XdndPeer {
public:
    std::vector<unsigned long> TypeList(unsigned long source, size_t limit) override
    {
        typeListAsked = true;
        EXPECT_EQ(source, kSource);
        EXPECT_LE(limit, platform::kMaxXdndTypes);
        return types;
    }
    void Send(unsigned long source, unsigned long type, const long data[5]) override
    {
        Sent s{source, type, {}};
        for (int i = 0; i < 5; ++i)
            s.data[i] = data[i];
        sent.push_back(s);
    }
    bool FetchUriList(unsigned long time, std::string& bytes) override
    {
        ++fetches;
        fetchTime = time;
        bytes = uriList;
        return fetchWorks;
    }
    DWORD KeysHeld() override { return keys; }
    void WatchSource(unsigned long source) override { watched = source; }
    HWND TopLevelOf(unsigned long) override { return NULL; }
    std::string HostName() override { return "studio"; }

    std::vector<unsigned long> types;
    std::vector<Sent> sent;
    std::string uriList;
    bool fetchWorks = true;
    int fetches = 0;
    unsigned long fetchTime = 0;
    bool typeListAsked = false;
    DWORD keys = 0;
    unsigned long watched = 0;
};

class FakeWindow final : public platform::DragTarget {
public:
    DWORD DragEnter(DWORD k, POINT screen) override
    {
        calls += "enter ";
        keys = k;
        point = screen;
        return answer;
    }
    DWORD DragOver(DWORD k, POINT screen) override
    {
        calls += "over ";
        keys = k;
        point = screen;
        return answer;
    }
    void DragLeave() override { calls += "leave "; }
    DWORD Drop(const std::vector<std::string>& f, DWORD k, POINT screen, DWORD effect) override
    {
        calls += "drop ";
        files = f;
        keys = k;
        point = screen;
        dropEffect = effect;
        return effect;
    }

    std::string calls;
    DWORD answer = DROPEFFECT_MOVE;
    DWORD keys = 0;
    POINT point{};
    DWORD dropEffect = 0;
    std::vector<std::string> files;
};

class XdndTargetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        // A frame at (100, 100) that takes whole drops, holding a document
        // window with a view that follows drags and a bar beside it.
        top = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{100, 100, 600, 500});
        document = CreateWindowEx(WS_EX_MDICHILD, TestClass(), "doc", WS_CHILD | WS_VISIBLE, 10, 10, 300, 300, top,
            NULL, NULL, NULL);
        view = MakeChild(document, 1, RECT{0, 40, 280, 260});
        bar = MakeChild(document, 2, RECT{0, 0, 280, 30});
        DragAcceptFiles(top, TRUE);
        ASSERT_TRUE(platform::RegisterDragTarget(view, &window));
        Pump();
        Rec().Clear();
        source.types = {200};
    }
    void TearDown() override
    {
        platform::RevokeDragTarget(view);
        platform::headless::Reset();
    }

    POINT In(HWND hwnd, int x, int y)
    {
        POINT p{x, y};
        ClientToScreen(hwnd, &p);
        return p;
    }

    void Message(unsigned long type, long l0, long l1 = 0, long l2 = 0, long l3 = 0, long l4 = 0)
    {
        const long data[5] = {l0, l1, l2, l3, l4};
        target.OnClientMessage(kProxy, type, data);
    }
    void Enter(long version = 5, unsigned long from = kSource)
    {
        Message(atoms.enter, long(from), version << 24, 200, 0, 0);
    }
    void Position(POINT p, unsigned long action, unsigned long from = kSource)
    {
        Message(atoms.position, long(from), 0, long(p.x) << 16 | p.y, 1234, long(action));
    }
    // The last status: accepted, and the action.
    std::pair<bool, unsigned long> Status()
    {
        for (auto it = source.sent.rbegin(); it != source.sent.rend(); ++it)
            if (it->type == atoms.status) {
                EXPECT_EQ(it->to, kSource);
                EXPECT_EQ(it->data[0], long(kProxy));
                return {(it->data[1] & 1) != 0, static_cast<unsigned long>(it->data[4])};
            }
        ADD_FAILURE() << "no status sent";
        return {false, 0};
    }
    int Count(unsigned long type) const
    {
        int n = 0;
        for (const Sent& s : source.sent)
            n += s.type == type;
        return n;
    }
    const Sent* Finished() const
    {
        for (const Sent& s : source.sent)
            if (s.type == atoms.finished)
                return &s;
        return nullptr;
    }

    platform::XdndAtoms atoms = Atoms();
    FakeSource source;
    FakeWindow window;
    platform::XdndTarget target{source, atoms};
    HWND top = NULL, document = NULL, view = NULL, bar = NULL;
};

TEST_F(XdndTargetTest, EachMoveAsksTheWindowUnderThePointerWithTheKeysTheActionStandsFor)
{
    Enter();
    EXPECT_EQ(source.watched, kSource);
    const POINT p = In(view, 20, 30);
    Position(p, atoms.actionMove);
    EXPECT_EQ(window.calls, "enter ");
    EXPECT_EQ(window.keys, DWORD(MK_LBUTTON));
    EXPECT_EQ(window.point.x, p.x);
    EXPECT_EQ(window.point.y, p.y);
    EXPECT_EQ(Status(), std::make_pair(true, atoms.actionMove));

    // Copy stands for Ctrl, link for Shift and Ctrl; keys the desktop
    // reports win over the action.
    Position(p, atoms.actionCopy);
    EXPECT_EQ(window.keys, DWORD(MK_LBUTTON | MK_CONTROL));
    Position(p, atoms.actionLink);
    EXPECT_EQ(window.keys, DWORD(MK_LBUTTON | MK_SHIFT | MK_CONTROL));
    source.keys = MK_SHIFT | MK_RBUTTON;
    Position(p, atoms.actionLink);
    EXPECT_EQ(window.keys, DWORD(MK_SHIFT | MK_RBUTTON));
    source.keys = 0;
    EXPECT_EQ(window.calls, "enter over over over ");

    // The window's effect is answered as the action asked when it has it,
    // else as a copy, which every source allows.
    window.answer = DROPEFFECT_LINK;
    Position(p, atoms.actionLink);
    EXPECT_EQ(Status(), std::make_pair(true, atoms.actionLink));
    window.answer = DROPEFFECT_MOVE;
    Position(p, atoms.actionCopy);
    EXPECT_EQ(Status(), std::make_pair(true, atoms.actionCopy));
    window.answer = DROPEFFECT_NONE;
    Position(p, atoms.actionCopy);
    EXPECT_EQ(Status(), std::make_pair(false, 0ul));

    // Off the view: it is left, and the bar beside it takes nothing, nor
    // does the frame around the document window take it in the document's
    // stead. The frame's own area takes whole drops.
    Position(In(bar, 5, 5), atoms.actionCopy);
    EXPECT_EQ(window.calls, "enter over over over over over over leave ");
    EXPECT_EQ(Status(), std::make_pair(false, 0ul));
    Position(In(top, 400, 300), atoms.actionMove);
    EXPECT_EQ(Status(), std::make_pair(true, atoms.actionCopy));
    Position(p, atoms.actionMove);
    EXPECT_EQ(window.calls, "enter over over over over over over leave enter ");

    Message(atoms.leave, long(kSource));
    EXPECT_EQ(window.calls, "enter over over over over over over leave enter leave ");
    EXPECT_EQ(source.watched, 0ul);
    EXPECT_EQ(Count(atoms.finished), 0);
}

TEST_F(XdndTargetTest, ADropGivesTheWindowTheLocalFilesAndSetsTheSourceFree)
{
    Enter();
    const POINT p = In(view, 50, 60);
    Position(p, atoms.actionCopy);
    source.uriList = "# dragged\r\nfile:///home/ann/My%20Pictures/cat.png\r\n"
                     "file://studio/tmp/x.bmp\r\nhttp://example.org/y.png\r\nfile://elsewhere/z.png\r\n";
    Message(atoms.drop, long(kSource), 0, 98765);
    EXPECT_EQ(source.fetches, 1);
    EXPECT_EQ(source.fetchTime, 98765ul);
    EXPECT_EQ(window.calls, "enter drop ");
    EXPECT_EQ(window.files, (std::vector<std::string>{"C:\\home\\ann\\My Pictures\\cat.png", "C:\\tmp\\x.bmp"}));
    EXPECT_EQ(window.dropEffect, DWORD(DROPEFFECT_MOVE));
    EXPECT_EQ(window.point.x, p.x);
    const Sent* finished = Finished();
    ASSERT_NE(finished, nullptr);
    EXPECT_EQ(finished->to, kSource);
    EXPECT_EQ(finished->data[0], long(kProxy));
    EXPECT_EQ(finished->data[1] & 1, 1);
    // A copy whatever was answered: the source must not remove the files.
    EXPECT_EQ(finished->data[2], long(atoms.actionCopy));
    EXPECT_FALSE(target.Dragging());

    // The frame's own area gets them as a whole drop.
    source.sent.clear();
    Enter();
    Position(In(top, 400, 300), atoms.actionCopy);
    source.uriList = "file:///tmp/a.png\n";
    Message(atoms.drop, long(kSource), 0, 1);
    Pump();
    int drops = 0;
    for (const Seen& s : Rec().log)
        if (s.message == WM_DROPFILES && s.hwnd == top) {
            ++drops;
            DragFinish(reinterpret_cast<HDROP>(s.wParam));
        }
    EXPECT_EQ(drops, 1);
    ASSERT_NE(Finished(), nullptr);
    EXPECT_EQ(Finished()->data[1] & 1, 1);
}

TEST_F(XdndTargetTest, RefusedOrEmptyDropsAreFinishedUnacceptedAndLeaveTheWindow)
{
    // Refused where it fell: nothing is read.
    Enter();
    window.answer = DROPEFFECT_NONE;
    Position(In(view, 5, 5), atoms.actionCopy);
    Message(atoms.drop, long(kSource), 0, 1);
    EXPECT_EQ(source.fetches, 0);
    ASSERT_NE(Finished(), nullptr);
    EXPECT_EQ(Finished()->data[1] & 1, 0);
    EXPECT_EQ(window.calls, "enter leave ");

    // The selection cannot be read, or names nothing of ours.
    for (bool works : {false, true}) {
        source.sent.clear();
        window.calls.clear();
        window.answer = DROPEFFECT_COPY;
        source.fetchWorks = works;
        source.uriList = "file://elsewhere/a.png\r\n";
        Enter();
        Position(In(view, 5, 5), atoms.actionCopy);
        Message(atoms.drop, long(kSource), 0, 1);
        ASSERT_NE(Finished(), nullptr);
        EXPECT_EQ(Finished()->data[1] & 1, 0);
        EXPECT_EQ(window.calls, "enter leave ");
    }

    // A drop without a position before it.
    source.sent.clear();
    Enter();
    Message(atoms.drop, long(kSource), 0, 1);
    ASSERT_NE(Finished(), nullptr);
    EXPECT_EQ(Finished()->data[1] & 1, 0);
}

TEST_F(XdndTargetTest, StrangersOldVersionsAndOtherTypesGetNoFilesIn)
{
    // Messages of a source that did not enter are not answered.
    Position(In(view, 5, 5), atoms.actionCopy);
    Message(atoms.drop, long(kSource), 0, 1);
    EXPECT_TRUE(source.sent.empty());

    // Too old a protocol.
    Enter(2);
    Position(In(view, 5, 5), atoms.actionCopy);
    EXPECT_TRUE(source.sent.empty());
    EXPECT_FALSE(target.Dragging());

    // Another source while one drags: ignored, until it enters itself,
    // which ends the first drag.
    Enter();
    Position(In(view, 5, 5), atoms.actionCopy, kStranger);
    EXPECT_TRUE(source.sent.empty());
    Position(In(view, 5, 5), atoms.actionCopy);
    EXPECT_EQ(Count(atoms.status), 1);
    Enter(5, kStranger);
    EXPECT_EQ(window.calls, "enter leave ");
    EXPECT_EQ(target.Source(), kStranger);
    target.OnSourceGone(kSource);
    EXPECT_TRUE(target.Dragging());
    target.OnSourceGone(kStranger);
    EXPECT_FALSE(target.Dragging());

    // No text/uri-list among the types, here in the type list: refused
    // everywhere without asking the window.
    window.calls.clear();
    source.types = {201, 202, 203, 204};
    Message(atoms.enter, long(kSource), 5L << 24 | 1, 201, 202, 203);
    EXPECT_TRUE(source.typeListAsked);
    Position(In(view, 5, 5), atoms.actionCopy);
    EXPECT_EQ(Status(), std::make_pair(false, 0ul));
    EXPECT_EQ(window.calls, "");

    // A source that goes away mid-drag leaves the window.
    Enter();
    Position(In(view, 5, 5), atoms.actionCopy);
    target.OnSourceGone(kSource);
    EXPECT_EQ(window.calls, "enter leave ");
    EXPECT_FALSE(target.Dragging());

    // A modal dialog up: the frame takes nothing.
    Enter();
    EnableWindow(top, FALSE);
    Position(In(view, 5, 5), atoms.actionCopy);
    EXPECT_EQ(Status(), std::make_pair(false, 0ul));
    EnableWindow(top, TRUE);
}

TEST(XdndUriList, OnlyLocalFilesWellEscapedAndBounded)
{
    using platform::LocalPathsFromUriList;
    const std::vector<std::string> none;
    EXPECT_EQ(LocalPathsFromUriList("file:///a/b%20c%C3%A9.png\n", "h"), std::vector<std::string>{"/a/b c\xC3\xA9.png"});
    EXPECT_EQ(LocalPathsFromUriList("FILE://LocalHost/x\r\nfile://H/y\r\nfile:/z", "h"),
        (std::vector<std::string>{"/x", "/y", "/z"}));
    // Another host, another scheme, no path, a relative one.
    EXPECT_EQ(LocalPathsFromUriList("file://other/x\nsmb://h/x\nfile://h\nfile:x\n/plain/path\n", "h"), none);
    // Bad or zero escapes, a fragment, control characters.
    EXPECT_EQ(LocalPathsFromUriList("file:///a%2\nfile:///a%zz\nfile:///a%00b\nfile:///a#b\nfile:///a\tb\n", "h"),
        none);
    // No host name known: only the empty host and localhost are ours.
    EXPECT_EQ(LocalPathsFromUriList("file:///x\nfile://h/y\n", ""), std::vector<std::string>{"/x"});

    // At most a thousand files, each path at most 4096 bytes.
    std::string many;
    for (int i = 0; i < 1200; ++i)
        many += "file:///f" + std::to_string(i) + "\r\n";
    const auto paths = LocalPathsFromUriList(many, "h");
    ASSERT_EQ(paths.size(), platform::kMaxXdndFiles);
    EXPECT_EQ(paths.back(), "/f999");
    const std::string longName = "file:///" + std::string(platform::kMaxXdndPathBytes, 'a');
    EXPECT_EQ(LocalPathsFromUriList(longName + "\nfile:///ok", "h"), std::vector<std::string>{"/ok"});
    // A list past the limit is read up to it.
    const std::string huge = "file:///first\n" + std::string(platform::kMaxXdndUriListBytes, 'x') + "\nfile:///last";
    EXPECT_EQ(LocalPathsFromUriList(huge, "h"), std::vector<std::string>{"/first"});
}

} // namespace
