// The X drag-and-drop protocol's target side, apart from Xlib.

#include "platform/ui/internal/XdndTarget.h"

#include "platform/files/HostPath.h"
#include "platform/ui/DragTarget.h"
#include "platform/ui/internal/InputEvents.h"
#include "platform/ui/internal/Window.h"

#include <algorithm>

namespace platform {

namespace {

constexpr DWORD kEffectCopy = 1;
constexpr DWORD kEffectMove = 2;
constexpr DWORD kEffectLink = 4;
constexpr DWORD kMkLButton = 0x0001;
constexpr DWORD kMkRButton = 0x0002;
constexpr DWORD kMkShift = 0x0004;
constexpr DWORD kMkControl = 0x0008;
constexpr DWORD kMkMButton = 0x0010;

// XdndStatus flag: send a position at every move, as the answer depends
// on the point and not on a rectangle we could name.
constexpr long kStatusAccept = 1;
constexpr long kStatusEveryMove = 2;

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool SameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return Lower(x) == Lower(y);
    });
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = Lower(c);
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The local path of one file URI; false when it is none of ours.
bool LocalPath(std::string_view uri, std::string_view hostName, std::string& path)
{
    constexpr std::string_view kScheme = "file:";
    if (uri.size() < kScheme.size() || !SameText(uri.substr(0, kScheme.size()), kScheme))
        return false;
    std::string_view rest = uri.substr(kScheme.size());
    if (rest.substr(0, 2) == "//") {
        rest.remove_prefix(2);
        const size_t slash = rest.find('/');
        if (slash == std::string_view::npos)
            return false;
        const std::string_view host = rest.substr(0, slash);
        if (!host.empty() && !SameText(host, "localhost") && (hostName.empty() || !SameText(host, hostName)))
            return false;
        rest.remove_prefix(slash);
    }
    if (rest.empty() || rest[0] != '/')
        return false;
    path.clear();
    for (size_t i = 0; i < rest.size(); ++i) {
        const char c = rest[i];
        // A query or fragment has no place in a file's name; a name that
        // holds these characters comes escaped.
        if (c == '?' || c == '#' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
        if (c != '%') {
            path.push_back(c);
        } else {
            if (i + 2 >= rest.size())
                return false;
            const int high = HexValue(rest[i + 1]);
            const int low = HexValue(rest[i + 2]);
            if (high < 0 || low < 0 || (high == 0 && low == 0))
                return false;
            path.push_back(char(high * 16 + low));
            i += 2;
        }
        if (path.size() > kMaxXdndPathBytes)
            return false;
    }
    return true;
}

} // namespace

std::vector<std::string> LocalPathsFromUriList(std::string_view list, std::string_view hostName)
{
    std::vector<std::string> paths;
    list = list.substr(0, std::min(list.size(), kMaxXdndUriListBytes));
    while (!list.empty() && paths.size() < kMaxXdndFiles) {
        const size_t end = list.find('\n');
        std::string_view line = list.substr(0, end);
        list.remove_prefix(end == std::string_view::npos ? list.size() : end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        // Some sources end the list with a zero byte.
        while (!line.empty() && line.back() == '\0')
            line.remove_suffix(1);
        if (line.empty() || line[0] == '#')
            continue;
        std::string path;
        if (LocalPath(line, hostName, path))
            paths.push_back(std::move(path));
    }
    return paths;
}

XdndTarget::XdndTarget(XdndPeer& peer, const XdndAtoms& atoms)
    : m_peer(peer)
    , m_atoms(atoms)
{
}

XdndTarget::~XdndTarget()
{
    Abandon();
}

void XdndTarget::OnClientMessage(unsigned long window, unsigned long type, const long data[5])
{
    // A window's answer may run a loop that reads the connection again;
    // what comes meanwhile cannot be answered in order.
    if (m_busy || type == 0)
        return;
    const auto source = static_cast<unsigned long>(data[0]);
    if (source == 0)
        return;
    if (type == m_atoms.enter) {
        Enter(window, data);
        return;
    }
    if (source != m_source)
        return;
    if (type == m_atoms.position) {
        Position(window, data);
    } else if (type == m_atoms.leave) {
        LeaveSite();
        Reset();
    } else if (type == m_atoms.drop) {
        Drop(window, data);
    }
}

void XdndTarget::OnSourceGone(unsigned long window)
{
    if (window == 0 || window != m_source || m_busy)
        return;
    LeaveSite();
    Reset();
}

void XdndTarget::Abandon()
{
    if (m_busy)
        return;
    LeaveSite();
    Reset();
}

void XdndTarget::Enter(unsigned long window, const long data[5])
{
    const long version = (data[1] >> 24) & 0xFF;
    // A new drag, or the same source entering again: either way the last
    // one is over.
    LeaveSite();
    Reset();
    if (version < kXdndOldestVersion)
        return;
    m_source = static_cast<unsigned long>(data[0]);
    m_window = window;
    m_version = std::min(version, kXdndVersion);
    if (data[1] & 1) {
        const std::vector<unsigned long> types = m_peer.TypeList(m_source, kMaxXdndTypes);
        m_offersFiles = std::find(types.begin(), types.end(), m_atoms.uriList) != types.end();
    } else {
        for (int i = 2; i < 5; ++i)
            if (static_cast<unsigned long>(data[i]) == m_atoms.uriList)
                m_offersFiles = true;
    }
    m_peer.WatchSource(m_source);
}

DWORD XdndTarget::Keys(unsigned long action)
{
    DWORD keys = m_peer.KeysHeld();
    if (!(keys & (kMkShift | kMkControl))) {
        if (action == m_atoms.actionLink)
            keys |= kMkShift | kMkControl;
        else if (action == m_atoms.actionCopy)
            keys |= kMkControl;
    }
    // A drag is held by a button, the left one unless the desktop says.
    if (!(keys & (kMkLButton | kMkRButton | kMkMButton)))
        keys |= kMkLButton;
    return keys;
}

unsigned long XdndTarget::ActionFor(DWORD effect) const
{
    if (effect == 0)
        return 0;
    if ((m_action == m_atoms.actionMove && (effect & kEffectMove))
        || (m_action == m_atoms.actionLink && (effect & kEffectLink))
        || (m_action == m_atoms.actionCopy && (effect & kEffectCopy)))
        return m_action;
    return m_atoms.actionCopy;
}

void XdndTarget::Position(unsigned long window, const long data[5])
{
    m_window = window;
    m_point = POINT{LONG((data[2] >> 16) & 0xFFFF), LONG(data[2] & 0xFFFF)};
    m_positioned = true;
    m_action = static_cast<unsigned long>(data[4]);
    if (!m_offersFiles) {
        Answer(false, 0);
        return;
    }
    const DWORD keys = Keys(m_action);
    const DragSite site = FindDragSite(m_peer.TopLevelOf(window), m_point);
    DWORD effect = 0;
    m_busy = true;
    if (site.window != m_site || (site.target != nullptr) != m_siteHasTarget) {
        m_busy = false;
        LeaveSite();
        m_busy = true;
        m_site = site.window;
        m_siteHasTarget = site.target != nullptr;
        if (site.target)
            effect = site.target->DragEnter(keys, m_point);
        else if (site.window)
            effect = kEffectCopy;
    } else if (site.target) {
        effect = site.target->DragOver(keys, m_point);
    } else if (site.window) {
        effect = kEffectCopy;
    }
    m_busy = false;
    // The answer reached a source that has gone meanwhile, or the window's
    // callback ended the drag (a nested loop saw the source leave).
    if (m_source == 0)
        return;
    m_effect = effect & (kEffectCopy | kEffectMove | kEffectLink);
    const unsigned long action = ActionFor(m_effect);
    Answer(action != 0, action);
}

void XdndTarget::Drop(unsigned long window, const long data[5])
{
    m_window = window;
    const HWND site = m_site;
    const bool hasTarget = m_siteHasTarget;
    const DWORD effect = m_effect;
    const POINT point = m_point;
    const unsigned long action = m_action;
    if (!m_positioned || site == NULL || effect == 0 || !m_offersFiles) {
        Finish(false);
        LeaveSite();
        Reset();
        return;
    }
    std::string bytes;
    m_busy = true;
    const bool fetched = m_peer.FetchUriList(static_cast<unsigned long>(data[2]), bytes);
    m_busy = false;
    std::vector<std::string> paths;
    if (fetched)
        paths = LocalPathsFromUriList(bytes, m_peer.HostName());
    const bool accepted = !paths.empty();
    // The source is set free before the window takes the files: taking
    // them may take long or ask the user.
    Finish(accepted);
    const DWORD keys = Keys(action);
    if (!accepted) {
        LeaveSite();
        Reset();
        return;
    }
    // The window's drop ends its drag itself.
    m_site = NULL;
    Reset();
    if (hasTarget) {
        DragTarget* target = RegisteredDragTarget(site);
        if (!target)
            return;
        std::vector<std::string> files;
        files.reserve(paths.size());
        for (const std::string& path : paths)
            files.push_back(WindowsPathFor(path));
        target->Drop(files, keys, point, effect);
    } else if (Window* w = PeekWindowRecord(site)) {
        if (Window* top = TopLevelOf(*w))
            DeliverDrop(top->handle, paths, point);
    }
}

void XdndTarget::LeaveSite()
{
    const HWND site = m_site;
    const bool hasTarget = m_siteHasTarget;
    m_site = NULL;
    m_siteHasTarget = false;
    m_effect = 0;
    if (site && hasTarget) {
        if (DragTarget* target = RegisteredDragTarget(site)) {
            m_busy = true;
            target->DragLeave();
            m_busy = false;
        }
    }
}

void XdndTarget::Reset()
{
    if (m_source)
        m_peer.WatchSource(0);
    m_source = 0;
    m_window = 0;
    m_version = 0;
    m_offersFiles = false;
    m_action = 0;
    m_positioned = false;
    m_site = NULL;
    m_siteHasTarget = false;
    m_effect = 0;
}

void XdndTarget::Answer(bool accept, unsigned long action)
{
    long data[5] = {long(m_window), kStatusEveryMove | (accept ? kStatusAccept : 0), 0, 0,
        accept ? long(action) : 0};
    m_peer.Send(m_source, m_atoms.status, data);
}

void XdndTarget::Finish(bool accepted)
{
    long data[5] = {long(m_window), accepted ? 1 : 0, accepted ? long(m_atoms.actionCopy) : 0, 0, 0};
    m_peer.Send(m_source, m_atoms.finished, data);
}

} // namespace platform
