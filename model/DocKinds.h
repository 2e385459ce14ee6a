#pragma once
// The project kinds: each a CDrawDoc that fixes the number of surfaces and
// printed sides, their names, how the page lies on the printer sheet and the
// kind number that selects the design file's class ID.
//
//   CPostcardDoc  two sides "Front" and "Back"; CTovellDoc (shirt) is one
//   CPosterDoc    one surface printed as tiles; apparel, mouse pad,
//                 calendar and general designs are posters
//   CBusCardDoc   one card repeated over a label sheet; CGiftTagDoc (label)
//
// The run-time class records of the apparel, mouse pad, calendar, general
// and shirt kinds name CDrawDoc as their base (their constructors still run
// the poster's or postcard's); the gift tag's names CBusCardDoc.

#include "model/DrawDoc.h"

// Project kinds (quick-info value 0, GetDocKind).
enum : int {
    DOC_KIND_SHIRT = 0,
    DOC_KIND_APPAREL = 1,
    DOC_KIND_MOUSEPAD = 2,
    DOC_KIND_CALENDAR = 3,
    DOC_KIND_LABEL = 4,
    DOC_KIND_GENERAL = 5,
    DOC_KIND_NONE = 6
};

// Kind resource ids (the surface-kind strips).
#define KIND_RESOURCE_TWO_SIDED 470
#define KIND_RESOURCE_POSTER 471
// The first surface hint id of the two-sided kinds.
#define SURFACE_HINT_FIRST 8016

class CPostcardDoc : public CDrawDoc {
    DECLARE_DYNCREATE(CPostcardDoc)
protected:
    CPostcardDoc();

public:
    void CreateSurfaces() override;
    UINT GetKindResourceId() override;
    int GetSurfaceCount() override;
    int GetPrintPageCount() override;
    void CreatePageGuideLines() override;
    int GetSideCount() override;
    void PreparePrintPage(int nSurface, PagePrintInfo& info, CRect& rectMargins) override;
    UINT GetSurfaceHintId() override;
    // The card is turned over between its sides.
    int GetTwoSidedMethod() override;
};

class CTovellDoc : public CPostcardDoc {
    DECLARE_DYNCREATE(CTovellDoc)
protected:
    CTovellDoc();

public:
    int GetDocKind() override;
    // A shirt's sides go on separate transfers: nothing is turned over.
    int GetTwoSidedMethod() override;
};

class CPosterDoc : public CDrawDoc {
    DECLARE_DYNCREATE(CPosterDoc)
protected:
    CPosterDoc();

public:
    UINT GetKindResourceId() override;
    int GetSurfaceCount() override;
    int GetPrintPageCount() override;
    void PreparePrintPage(int nSurface, PagePrintInfo& info, CRect& rectMargins) override;
    // Neighbouring tiles overlap by the printer margins.
    CSize GetSurfaceSize(CSize size) override;
};

class CApparelDoc : public CPosterDoc {
    DECLARE_DYNCREATE(CApparelDoc)
protected:
    CApparelDoc();

public:
    int GetDocKind() override;
};

class CMousepadDoc : public CPosterDoc {
    DECLARE_DYNCREATE(CMousepadDoc)
protected:
    CMousepadDoc();

public:
    int GetDocKind() override;
};

class CCalendarDoc : public CPosterDoc {
    DECLARE_DYNCREATE(CCalendarDoc)
protected:
    CCalendarDoc();

public:
    int GetDocKind() override;
    UINT GetKindResourceId() override;
    // Places a calendar of this month (weeks starting on Sunday) inside the
    // work area of the current surface, less a margin, and posts
    // WM_TW_NEW_CALENDAR_ITEM with it to that view, which selects it.
    // FALSE, with nothing added, when the document has no view.
    BOOL AddNewCalendar();
    // The space between the printable area and a new calendar, in
    // hundredths of an inch.
    static constexpr int kNewCalendarMargin = 50;
};

class CGeneralDoc : public CPosterDoc {
    DECLARE_DYNCREATE(CGeneralDoc)
protected:
    CGeneralDoc();

public:
    int GetDocKind() override;
};

class CBusCardDoc : public CDrawDoc {
    DECLARE_DYNCREATE(CBusCardDoc)
protected:
    CBusCardDoc();

public:
    int GetSurfaceCount() override;
    void CreatePageGuideLines() override;
    void PreparePrintPage(int nSurface, PagePrintInfo& info, CRect& rectMargins) override;
};

class CGiftTagDoc : public CBusCardDoc {
    DECLARE_DYNCREATE(CGiftTagDoc)
protected:
    CGiftTagDoc();

public:
    int GetDocKind() override;
};

// The project kind of a design file (0..5), or 6 when it is not a compound
// file, its class cannot be read or no kind claims its class ID.
int IdentifyDocumentFile(LPCTSTR lpszPathName);
