// Feeds untrusted bytes to the composite pictures' temporary files ("o4i"):
// the bytes become such a file in the fuzz run's folder, which is read by
// the children holder and by a picture loading it by name. The records may
// name any file, the fuzz file itself included. Any input must end in a
// clean return; a holder that loaded has its first child whenever it has
// any, its children hold pictures, and every picture is freed with them.

#include "fuzz/FuzzProgramFolder.h"
#include "pictures/Image.h"
#include "pictures/ImageChildren.h"
#include "pictures/PictureEngine.h"
#include "platform/base/Exception.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzProgramFolder folder("o4ifuzz");
    if (size > 0x10000)
        return 0;
    {
        std::ofstream out(folder.host + "/o4iFUZZ.tmp", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const std::string path = folder.windows + "o4iFUZZ.tmp";

    CImageChildren children;
    if (children.LoadTemp(path.c_str()) && children.m_pImage == nullptr)
        abort();
    for (const CImage* pChild : {children.m_pImage, children.m_pMask}) {
        if (pChild != nullptr && pChild->m_nHandle == kImageNoPicture)
            abort();
    }
    children.Clear();

    try {
        CImage image(path.c_str(), CImage::kDefaultLoadMode);
        if (image.m_nHandle == kImageComposite && image.m_children.m_pImage == nullptr)
            abort();
    } catch (CException* e) {
        e->Delete();
    }
    // Every picture the input made is gone with its holder.
    if (GetPicCount() != 0)
        abort();
    return 0;
}
