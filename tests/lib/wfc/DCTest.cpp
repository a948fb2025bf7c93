// Handle and DC wrappers, the DC state saver and the default font.
#include <gtest/gtest.h>

#include <new>

#include "lib/wfc/DC.h"
#include "lib/wfc/DCStateSaver.h"
#include "lib/wfc/DefaultLogFont.h"
#include "lib/wfc/Font.h"
#include "lib/wfc/bad_alloc.h"
#include "tests/lib/wfc/DrawingTestSupport.h"

namespace {

using namespace lib::wfc;

TEST(GdiObject, FontsAreDeletedWithTheirOwnerOrWhenReplaced) {
    HFONT first, second;
    {
        CFont font;
        font.Create(DefaultLogFont());
        first = font.Handle();
        font.Create(DefaultLogFont());
        second = font.Handle();
        EXPECT_EQ(0u, ::GetObjectType(first));
        font.Attach(second);  // the same handle again is kept
        EXPECT_EQ(static_cast<DWORD>(OBJ_FONT), ::GetObjectType(second));
    }
    EXPECT_EQ(0u, ::GetObjectType(second));

    const LOGFONTA font = DefaultLogFont("Arial");
    EXPECT_TRUE(font.lfHeight == 10 && font.lfWidth == 0 && font.lfWeight == 0 && font.lfCharSet == DEFAULT_CHARSET);
    EXPECT_STREQ("Meiryo", font.lfFaceName);  // Wine reports a Windows version after Vista
}

TEST(DCStateSaver, RestoresWhatItChangedAndForgetsWhatWasPutBack) {
    CMemDC dc;
    CDIB dib;
    dib.Create(dc.Handle(), 4, 4, 24);
    CFont font;
    font.Create(DefaultLogFont());
    HGDIOBJ originalFont = ::GetCurrentObject(dc.Handle(), OBJ_FONT);
    HGDIOBJ originalBitmap = ::GetCurrentObject(dc.Handle(), OBJ_BITMAP);
    ::SetBkMode(dc.Handle(), OPAQUE);
    ::SetTextColor(dc.Handle(), RGB(1, 2, 3));
    {
        DCStateSaver saver(dc.Handle());
        saver.SelectObject(DCStateSaver::kBitmapSlot, dib.Handle());
        saver.SelectObject(DCStateSaver::kFontSlot, font.Handle());
        for (int mode : {TRANSPARENT, OPAQUE, TRANSPARENT}) saver.SetBkMode(mode);
        saver.SetTextColor(RGB(9, 9, 9));
        saver.SetTextColor(RGB(8, 8, 8));
        EXPECT_EQ(dib.Handle(), ::GetCurrentObject(dc.Handle(), OBJ_BITMAP));
        EXPECT_THROW(saver.SelectObject(DCStateSaver::kSlot0, reinterpret_cast<HGDIOBJ>(0x1234)), bad_alloc);

        // Selecting the remembered font again makes the slot forget it:
        // Restore leaves a font selected behind the saver's back in place.
        saver.SelectObject(DCStateSaver::kFontSlot, originalFont);
        ::SelectObject(dc.Handle(), font.Handle());
        saver.Restore();
        EXPECT_EQ(font.Handle(), ::GetCurrentObject(dc.Handle(), OBJ_FONT));
        EXPECT_EQ(originalBitmap, ::GetCurrentObject(dc.Handle(), OBJ_BITMAP));
        EXPECT_EQ(OPAQUE, ::GetBkMode(dc.Handle()));
        EXPECT_EQ(RGB(1, 2, 3), ::GetTextColor(dc.Handle()));

        saver.SelectObject(DCStateSaver::kFontSlot, originalFont);
        saver.SelectObject(DCStateSaver::kBitmapSlot, dib.Handle());
    }
    EXPECT_EQ(originalBitmap, ::GetCurrentObject(dc.Handle(), OBJ_BITMAP));  // the destructor restores
}

TEST(DC, MemoryDCsAreDeletedAndFailuresThrow) {
    HDC memory = CMemDC().Handle();
    EXPECT_TRUE(memory);
    EXPECT_EQ(0u, ::GetObjectType(memory));
    EXPECT_THROW(CClientDC{reinterpret_cast<HWND>(0x1234)}, bad_alloc);
    EXPECT_THROW(CPaintDC{reinterpret_cast<HWND>(0x1234)}, std::bad_alloc);
}

}  // namespace
