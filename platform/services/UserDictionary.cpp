#include "platform/services/internal/UserDictionary.h"

#include "platform/base/CodePage.h"
#include "platform/services/Spell32.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <unordered_set>

namespace platform {

bool IsSpellWord(std::string_view word)
{
    if (word.empty() || word.size() > kSpellWordMaxBytes)
        return false;
    char found[kSpellWordMaxBytes + 1];
    int nStart = 0;
    int nEnd = 0;
    return StParseLine(word.data(), found, &nStart, &nEnd, int(word.size())) > 0 && nStart == 0 &&
        size_t(nEnd) == word.size();
}

std::vector<std::string> UserDictionaryWords(std::string_view bytes)
{
    std::vector<std::string> words;
    std::unordered_set<std::string> seen;
    size_t pos = 0;
    while (pos < bytes.size() && words.size() < kUserDictionaryMaxWords) {
        size_t end = bytes.find('\n', pos);
        if (end == std::string_view::npos)
            end = bytes.size();
        std::string_view line = bytes.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        // A 1252 character takes at most three bytes of UTF-8.
        if (line.empty() || line.size() > 3 * kSpellWordMaxBytes || Utf8WellFormedLength(line) != line.size())
            continue;
        bool bLossless = false;
        std::string word = Utf8To1252(line, &bLossless);
        if (!bLossless || !IsSpellWord(word))
            continue;
        if (seen.insert(word).second)
            words.push_back(std::move(word));
    }
    return words;
}

std::string UserDictionaryWithWord(std::string_view oldBytes, std::string_view word)
{
    std::string bytes(oldBytes);
    if (!bytes.empty() && bytes.back() != '\n')
        bytes += '\n';
    bytes += Utf8From1252(word);
    bytes += '\n';
    return bytes;
}

UserDictionaryRead ReadUserDictionaryFile(const std::string& hostPath, std::string& bytes)
{
    bytes.clear();
    // Without O_NONBLOCK a FIFO planted under the file's name would hold the
    // program at its first spelling check.
    const int fd = open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOENT ? UserDictionaryRead::Missing : UserDictionaryRead::Failed;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return UserDictionaryRead::Failed;
    }
    // Read to the end rather than to fstat's size, which may be stale; one
    // byte past the bound tells that the file is larger.
    char buffer[65536];
    while (bytes.size() <= kUserDictionaryMaxBytes) {
        const ssize_t n = read(fd, buffer, std::min(sizeof buffer, kUserDictionaryMaxBytes + 1 - bytes.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            close(fd);
            bytes.clear();
            return UserDictionaryRead::Failed;
        }
        if (n == 0)
            break;
        bytes.append(buffer, size_t(n));
    }
    close(fd);
    if (bytes.size() <= kUserDictionaryMaxBytes)
        return UserDictionaryRead::Read;
    const size_t lastLineEnd = bytes.rfind('\n', kUserDictionaryMaxBytes - 1);
    bytes.resize(lastLineEnd == std::string::npos ? 0 : lastLineEnd + 1);
    return UserDictionaryRead::Truncated;
}

} // namespace platform
