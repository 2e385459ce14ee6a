#include "text/DesignArchive.h"

namespace {
DesignArchiveSource s_source = nullptr;
}

void SetDesignArchiveSource(DesignArchiveSource source)
{
    s_source = source;
}

DesignArchiveSource GetDesignArchiveSource()
{
    return s_source;
}

DesignArchiveInfo GetDesignArchiveInfo(const CArchive& ar)
{
    DesignArchiveInfo info;
    if (s_source != nullptr && !s_source(ar, info))
        info = DesignArchiveInfo{};
    return info;
}
