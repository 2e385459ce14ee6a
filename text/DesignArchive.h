#pragma once
// What the stored forms of text and pictures need to know about the design
// an archive carries: the file version of the design being read or written
// and the header value that follows the version in the file. Text and
// pictures stand below the design document, so the document makes itself
// known here once (SetDesignArchiveSource) and the stored forms ask through
// the archive.
//
// An archive without a source, or one the source does not recognise as a
// design's (a plain memory archive, a document of another kind), is read and
// written in the current form: version 29, header value 0.

#include "platform/base/Forward.h"
#include "platform/base/Types.h"

// The version every design is written as; older ones are read from 7 on.
constexpr LONG kDesignFileVersion = 29;

struct DesignArchiveInfo {
    LONG nVersion = kDesignFileVersion;
    LONG nHeaderValue = 0;
};

// Fills info and answers TRUE when the archive belongs to a design.
using DesignArchiveSource = BOOL (*)(const CArchive& ar, DesignArchiveInfo& info);

// One source for the whole run; NULL removes it.
void SetDesignArchiveSource(DesignArchiveSource source);
DesignArchiveSource GetDesignArchiveSource();

DesignArchiveInfo GetDesignArchiveInfo(const CArchive& ar);
