// Feeds untrusted bytes to the text import of the Text Effects dialog, as a
// whole file and as the start of a longer one. Any input must give at most
// the dialog's 10,240 characters with no NUL or form feed and every line
// end a CR LF pair; the same text imported again must come back unchanged.

#include "text/dialogs/TextImport.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition, const char* problem)
{
    if (!condition) {
        std::fprintf(stderr, "TextImportFuzz: %s\n", problem);
        abort();
    }
}

void CheckText(const std::string& text)
{
    Check(text.size() <= size_t(kImportedTextMax), "text longer than the dialog holds");
    for (size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        Check(ch != '\0' && ch != '\f', "NUL or form feed left in");
        if (ch == '\r')
            Check(i + 1 < text.size() && text[i + 1] == '\n', "CR without its LF");
        if (ch == '\n')
            Check(i > 0 && text[i - 1] == '\r', "LF without its CR");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    for (bool bTruncated : {false, true}) {
        const std::string text = ConvertImportedText(data, size, bTruncated);
        CheckText(text);
        // Converted text is 1252 with CR LF line ends already: taken again
        // it stays as it is, unless it happens to read as UTF-8.
        const std::string again = ConvertImportedText(text.data(), text.size(), false);
        CheckText(again);
        bool bAscii = true;
        for (char ch : text)
            bAscii = bAscii && static_cast<unsigned char>(ch) < 0x80;
        if (bAscii)
            Check(again == text, "plain text changed on a second import");
    }
    return 0;
}
