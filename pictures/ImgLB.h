#pragma once
// CImgLB: an owner-drawn list box whose items are pictures, each in a square
// cell as wide as the list, for dialogs that show a column of pictures. The
// list box owns the pictures (its destructor deletes them); an item's data
// is its index into that array. An entry may be null: its item then draws
// nothing, not even a selection frame. A picture without a picture handle
// leaves its cell blank but still shows the frames.

#include "platform/framework/Controls.h"

#include <vector>

class CImage;

class CImgLB : public CListBox {
    DECLARE_DYNCREATE(CImgLB)
public:
    CImgLB() = default;
    ~CImgLB() override;
    CImgLB(const CImgLB&) = delete;
    CImgLB& operator=(const CImgLB&) = delete;

    // Takes the picture (null allowed) and adds an item for it; the new
    // item's index, or LB_ERR (the picture deleted) when the list refused it.
    int AddImage(CImage* pImage);
    // The picture of an item; null for a null entry or a bad index.
    CImage* GetImage(int nIndex) const;

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;
    int CompareItem(LPCOMPAREITEMSTRUCT lpCompareItemStruct) override;

    // The picture's inset in its cell.
    static constexpr int kPictureInset = 6;

private:
    std::vector<CImage*> m_images;
};
